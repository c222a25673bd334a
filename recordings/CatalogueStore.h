#pragma once
// Where the running program keeps its catalogue: opening it at start-up so
// that no recording is ever forgotten, and writing it after each change.

#include "recordings/TRecordFiles.h"

#include <memory>
#include <string>

namespace recordings {

// The suffix under which a catalogue file that cannot be read is kept.
inline constexpr const char* kBadSuffix = ".bad";

// The catalogue at path, or an empty one when there is none. A file that
// exists but yields no catalogue is renamed to path + ".bad" unless it is
// empty, so the next write does not destroy what may still be recovered by
// hand. Never none: recordings of this run are listed and kept either way.
std::unique_ptr<TRecordFiles> openCatalogue(const std::string& path);

} // namespace recordings
