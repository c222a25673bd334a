#include "recordings/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace recordings {

FileLock::FileLock(const std::string& path, std::chrono::milliseconds wait) {
    FFd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (FFd < 0)
        return;
    // flock, not fcntl: its locks belong to the open file, so two stores in
    // one process exclude each other as two processes do.
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(FFd, LOCK_EX | LOCK_NB) == 0) {
            FHeld = true;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR)
            return;
        if (std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

FileLock::~FileLock() {
    // Closing the descriptor releases the lock.
    if (FFd >= 0)
        ::close(FFd);
}

} // namespace recordings
