#pragma once
// An advisory lock that keeps two writers of one file (two copies of the
// program, or two stores in one) from interleaving read, merge and write.
// It lives on a file of its own beside the data, as the data file itself is
// replaced by a rename and a lock on it would lock the old file.

#include <chrono>
#include <string>

namespace recordings {

class FileLock {
public:
    // Waits up to `wait` for the exclusive lock on path, creating the file
    // when it is missing.
    FileLock(const std::string& path, std::chrono::milliseconds wait);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // False when the file could not be opened or another holder kept the
    // lock for the whole wait.
    bool held() const { return FHeld; }

private:
    int FFd = -1;
    bool FHeld = false;
};

} // namespace recordings
