#pragma once
// The file a muxer writes into, through an AVIOContext of our own: it knows
// how many bytes really reached the file. avio's own position counts bytes
// whose write failed (a full disk), so sizes taken from it would describe
// sound that is not there.
//
// Once an append fails nothing more is appended, so the file never gets a
// gap; writes inside what is already there (a header's fields) still go.

extern "C" {
#include <libavformat/avio.h>
}

#include <cstdint>
#include <memory>
#include <string>

namespace audiolib::ffmpeg {

class CountedFile {
public:
    // Creates (truncates) `path`. Null with errno kept when it cannot.
    static std::unique_ptr<CountedFile> create(const std::string& path);
    ~CountedFile();
    CountedFile(const CountedFile&) = delete;
    CountedFile& operator=(const CountedFile&) = delete;

    AVIOContext* io() const { return io_; }
    // Our descriptor of the file, for reading back, fixing up and syncing:
    // -1 unless it is a regular file (a device such as /dev/null is not
    // ours to fix up).
    int regularFd() const { return regular_ ? fd_ : -1; }
    // Bytes of the file that were written, from its first byte on.
    uint64_t bytesOnDisk() const { return end_; }
    bool appendFailed() const { return appendFailed_; }
    // Shortens the file to `bytes` (never lengthens it).
    bool cutTo(uint64_t bytes);

private:
    CountedFile() = default;
    static int writePacket(void* opaque, uint8_t* buf, int size);
    static int64_t seekTo(void* opaque, int64_t offset, int whence);
    int write(const uint8_t* buf, int size);

    int fd_ = -1;
    bool regular_ = false;
    AVIOContext* io_ = nullptr;
    uint64_t pos_ = 0;
    uint64_t end_ = 0;
    bool appendFailed_ = false;
};

} // namespace audiolib::ffmpeg
