#include "audio/lib/virtual/VirtualPlayback.h"

#include <chrono>

namespace audiolib {

VirtualPlayback::VirtualPlayback(VirtualBackend& backend, StreamFormat format,
                                 PlaybackSource& source)
    : backend_(backend), format_(format), source_(source),
      block_(std::make_unique<int16_t[]>(backend.config().blockFrames * format.channels)) {}

VirtualPlayback::~VirtualPlayback() {
    backend_.forget(this);
    quit_ = true;
    if (thread_.joinable())
        thread_.join();
}

bool VirtualPlayback::setPaused(bool paused) {
    // Waits for a pull in progress, so nothing counts as heard after a pause
    // has returned, as with a corked server stream.
    std::lock_guard lock(pulling_);
    paused_ = paused;
    return true;
}

void VirtualPlayback::flush() {
    std::lock_guard lock(pulling_);
    played_ = 0;
}

size_t VirtualPlayback::pull(size_t frames) {
    std::lock_guard lock(pulling_);
    if (paused_)
        return 0;
    const size_t blockFrames = backend_.config().blockFrames;
    size_t got = 0;
    while (got < frames) {
        const size_t want = std::min(blockFrames, frames - got);
        const size_t n = source_.pull(block_.get(), want);
        if (n > 0 && backend_.playbackTap())
            backend_.playbackTap()(block_.get(), n);
        got += n;
        if (n < want)
            break;
    }
    played_ += got;
    return got;
}

void VirtualPlayback::startPacing() {
    thread_ = std::thread([this] { pace(); });
}

void VirtualPlayback::pace() {
    using Clock = std::chrono::steady_clock;
    const size_t blockFrames = backend_.config().blockFrames;
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
        static_cast<double>(blockFrames) / format_.rate / backend_.config().speed));
    auto next = Clock::now() + period;
    while (!quit_) {
        if (paused_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            next = Clock::now() + period;
            continue;
        }
        std::this_thread::sleep_until(next);
        next += period;
        pull(blockFrames);
    }
}

} // namespace audiolib
