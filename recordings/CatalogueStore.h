#pragma once
// Where the running program keeps its catalogue: opening it at start-up so
// that no recording is ever forgotten, and writing it after each change
// without dropping what another copy of the program wrote meanwhile.

#include "base/Result.h"
#include "recordings/TRecordFiles.h"

#include <memory>
#include <string>
#include <vector>

namespace recordings {

// The catalogue at path, or an empty one when there is none. A file that
// exists but yields no catalogue (unless it is empty), or reads as an empty
// one although it holds paths, is copied to path + ".bad" (numbered when
// that exists), so the next write does not destroy what may still be
// recovered by hand. Never none: recordings of this run are listed and kept
// either way.
std::unique_ptr<TRecordFiles> openCatalogue(const std::string& path);

// One copy's view of the catalogue file at a path, shared with any other
// copy started from the same folder.
class CatalogueStore {
public:
    explicit CatalogueStore(std::string path);

    // openCatalogue, remembering what was read.
    std::unique_ptr<TRecordFiles> open();

    // Writes list merged (mergeCatalogue) with what the file holds now, under
    // the lock of path + ".lock", replacing the file atomically. On success
    // list becomes what was written; on failure nothing changes, and the
    // next save merges again.
    Result save(TRecordFiles& list);

private:
    std::string FPath;
    // What this copy last read from the file or wrote to it.
    std::vector<std::string> FSeen;
};

} // namespace recordings
