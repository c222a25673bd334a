#pragma once
// Two copies of the program started from one folder share one recorded.xml.
// Each keeps its own list in memory; before it writes, it merges what the
// file holds now with what it saw there last, so no copy drops the
// recordings of another.

#include <string>
#include <vector>

namespace recordings {

// The list to write. seen: what this copy last read from or wrote to the
// file; mine: its list now, which has only grown at its end or been cleared
// since; stored: what the file holds now.
// Entries another copy added since are kept, in their order, ahead of those
// this copy added meanwhile, and listed once when both added the same path.
// What either copy cleared stays cleared: an entry this copy saw and no
// longer lists, or one it saw that the file no longer holds, is not written.
std::vector<std::string> mergeCatalogue(const std::vector<std::string>& seen,
                                        const std::vector<std::string>& mine,
                                        const std::vector<std::string>& stored);

} // namespace recordings
