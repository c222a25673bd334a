#pragma once
// Where the running program keeps its catalogue: opening it at start-up so
// that no recording is ever forgotten, and writing it after each change.

#include "recordings/TRecordFiles.h"

#include <memory>
#include <string>

namespace recordings {

// The catalogue at path, or an empty one when there is none. A file that
// exists but yields no catalogue (unless it is empty), or reads as an empty
// one although it holds paths, is copied to path + ".bad" (numbered when
// that exists), so the next write does not destroy what may still be
// recovered by hand. Never none: recordings of this run are listed and kept
// either way.
std::unique_ptr<TRecordFiles> openCatalogue(const std::string& path);

} // namespace recordings
