#include "audio/lib/ffmpeg/CountedFile.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace audiolib::ffmpeg {
namespace {

constexpr int kBufferBytes = 64 * 1024;

} // namespace

std::unique_ptr<CountedFile> CountedFile::create(const std::string& path) {
    std::unique_ptr<CountedFile> f(new CountedFile);
    f->fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (f->fd_ < 0)
        return nullptr;
    struct stat st {};
    f->regular_ = ::fstat(f->fd_, &st) == 0 && S_ISREG(st.st_mode);
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
    if (!buffer) {
        errno = ENOMEM;
        return nullptr;
    }
    // Only a regular file seeks: the muxers then write their headers'
    // sizes at the end; into a pipe or device they stream.
    f->io_ = avio_alloc_context(buffer, kBufferBytes, 1, f.get(), nullptr, &writePacket,
                                f->regular_ ? &seekTo : nullptr);
    if (!f->io_) {
        av_free(buffer);
        errno = ENOMEM;
        return nullptr;
    }
    return f;
}

CountedFile::~CountedFile() {
    if (io_) {
        av_freep(&io_->buffer);
        avio_context_free(&io_);
    }
    if (fd_ >= 0)
        ::close(fd_);
}

bool CountedFile::cutTo(uint64_t bytes) {
    if (bytes >= end_)
        return true;
    if (!regular_ || ::ftruncate(fd_, static_cast<off_t>(bytes)) != 0)
        return false;
    end_ = bytes;
    return true;
}

int CountedFile::writePacket(void* opaque, uint8_t* buf, int size) {
    return static_cast<CountedFile*>(opaque)->write(buf, size);
}

int64_t CountedFile::seekTo(void* opaque, int64_t offset, int whence) {
    auto* f = static_cast<CountedFile*>(opaque);
    int64_t to = offset;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return static_cast<int64_t>(f->end_);
    case SEEK_SET:
        break;
    case SEEK_CUR:
        to += static_cast<int64_t>(f->pos_);
        break;
    case SEEK_END:
        to += static_cast<int64_t>(f->end_);
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (to < 0)
        return AVERROR(EINVAL);
    f->pos_ = static_cast<uint64_t>(to);
    return to;
}

int CountedFile::write(const uint8_t* buf, int size) {
    const auto want = static_cast<size_t>(size);
    if (appendFailed_ && pos_ + want > end_)
        return AVERROR(ENOSPC);
    size_t done = 0;
    int err = 0;
    while (done < want) {
        const ssize_t n =
            regular_ ? ::pwrite(fd_, buf + done, want - done, static_cast<off_t>(pos_ + done))
                     : ::write(fd_, buf + done, want - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        err = n < 0 ? errno : ENOSPC;
        break;
    }
    pos_ += done;
    end_ = std::max(end_, pos_);
    if (err == 0)
        return size;
    appendFailed_ = true;
    return AVERROR(err);
}

} // namespace audiolib::ffmpeg
