#include "recordings/WholeFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace recordings {
namespace {

// Closes on every path out of the read.
class Fd {
public:
    explicit Fd(int fd) : FFd(fd) {}
    ~Fd() {
        if (FFd >= 0)
            ::close(FFd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return FFd; }

private:
    int FFd;
};

} // namespace

ReadResult readWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return ReadResult::Failed;
    // Read straight into the result; a file that grows meanwhile is read on
    // in steps until its end.
    std::size_t filled = 0;
    bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
    for (;;) {
        if (filled == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t n = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            bytes.clear();
            return ReadResult::Failed;
        }
        if (n == 0) {
            bytes.resize(filled);
            return ReadResult::Ok;
        }
        filled += static_cast<std::size_t>(n);
    }
}

} // namespace recordings
