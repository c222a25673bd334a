#include "recordings/CatalogueMerge.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace recordings {

std::vector<std::string> mergeCatalogue(const std::vector<std::string>& seen,
                                        const std::vector<std::string>& mine,
                                        const std::vector<std::string>& stored) {
    // The list only grows at its end or is cleared, so what it still holds of
    // what was seen is the part both start with; the rest is this copy's own.
    const auto ownFrom = std::mismatch(seen.begin(), seen.end(), mine.begin(), mine.end()).second;

    // Counted, not just looked up: a path recorded twice is listed twice.
    std::unordered_map<std::string_view, std::size_t> onDisk;
    for (const std::string& path : stored)
        ++onDisk[path];
    std::unordered_map<std::string_view, std::size_t> seenBefore;
    for (const std::string& path : seen)
        ++seenBefore[path];
    const std::unordered_set<std::string_view> ownAdded(ownFrom, mine.end());

    std::vector<std::string> merged;
    merged.reserve(stored.size() + static_cast<std::size_t>(mine.end() - ownFrom));
    for (auto it = mine.begin(); it != ownFrom; ++it) {
        const auto left = onDisk.find(*it);
        if (left == onDisk.end() || left->second == 0)
            continue; // another copy cleared it
        --left->second;
        merged.push_back(*it);
    }
    for (const std::string& path : stored) {
        const auto before = seenBefore.find(path);
        if (before != seenBefore.end() && before->second > 0) {
            --before->second;
            continue; // already there when this copy looked
        }
        if (!ownAdded.contains(path))
            merged.push_back(path);
    }
    merged.insert(merged.end(), ownFrom, mine.end());
    return merged;
}

} // namespace recordings
