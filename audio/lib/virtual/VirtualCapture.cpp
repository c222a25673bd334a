#include "audio/lib/virtual/VirtualCapture.h"

#include <chrono>

namespace audiolib {

VirtualCapture::VirtualCapture(VirtualBackend& backend, const VirtualInput& input,
                               CaptureSink& sink)
    : backend_(backend), input_(input), sink_(sink),
      block_(std::make_unique<int16_t[]>(backend.config().blockFrames * 2)) {}

VirtualCapture::~VirtualCapture() {
    // Unlisted first, so that pushBlocks() never reaches a dying stream.
    backend_.forget(this);
    quit_ = true;
    if (thread_.joinable())
        thread_.join();
}

bool VirtualCapture::setPaused(bool paused) {
    paused_ = paused;
    return true;
}

bool VirtualCapture::deliver() {
    if (lost_) {
        if (!lostReported_) {
            lostReported_ = true;
            sink_.onInputLost();
        }
        return false;
    }
    if (paused_)
        return false;
    const size_t frames = backend_.config().blockFrames;
    for (size_t i = 0; i < frames; ++i) {
        const int16_t s = VirtualBackend::sineSample(input_, frame_ + i);
        block_[2 * i] = s;
        block_[2 * i + 1] = s;
    }
    frame_ += frames;
    sink_.onCapture(block_.get(), frames);
    return true;
}

void VirtualCapture::startPacing() {
    thread_ = std::thread([this] { pace(); });
}

void VirtualCapture::pace() {
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
        static_cast<double>(backend_.config().blockFrames) / 44100.0 / backend_.config().speed));
    auto next = Clock::now() + period;
    while (!quit_) {
        if (paused_ && !lost_) {
            // A corked stream delivers nothing; time restarts on resume.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            next = Clock::now() + period;
            continue;
        }
        std::this_thread::sleep_until(next);
        next += period;
        deliver();
    }
}

} // namespace audiolib
