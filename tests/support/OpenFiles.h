#pragma once
// How far this process has read into a file, as the system sees it: what a
// test can wait on when a thread of the code under test reads ahead unseen.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

// The largest offset among this process's open descriptors on the file; 0
// when none holds it open.
inline std::uint64_t ReadOffsetInto(const std::filesystem::path& file) {
    std::error_code ec;
    const std::filesystem::path target = std::filesystem::canonical(file, ec);
    std::uint64_t furthest = 0;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
        std::error_code gone; // descriptors come and go while we look
        if (std::filesystem::read_symlink(fd.path(), gone) != target)
            continue;
        std::ifstream info("/proc/self/fdinfo/" + fd.path().filename().string());
        std::string key;
        std::uint64_t pos = 0;
        if (info >> key >> pos && key == "pos:")
            furthest = std::max(furthest, pos);
    }
    return furthest;
}

// True while any process holds a file of the folder open (writing a
// recording, say).
inline bool AnyFileHeldOpenIn(const std::filesystem::path& folder) {
    std::error_code ec;
    const std::filesystem::path inside = std::filesystem::canonical(folder, ec);
    for (const auto& process : std::filesystem::directory_iterator("/proc", ec)) {
        std::error_code gone; // processes and descriptors come and go while we look
        for (const auto& fd : std::filesystem::directory_iterator(process.path() / "fd", gone))
            if (std::filesystem::read_symlink(fd.path(), gone).parent_path() == inside)
                return true;
    }
    return false;
}
