#pragma once
// Internal to the virtual backend: an output that pulls and counts frames.

#include "audio/lib/virtual/VirtualBackend.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace audiolib {

class VirtualPlayback final : public PlaybackStream {
public:
    VirtualPlayback(VirtualBackend& backend, StreamFormat format, PlaybackSource& source);
    ~VirtualPlayback() override;
    VirtualPlayback(const VirtualPlayback&) = delete;
    VirtualPlayback& operator=(const VirtualPlayback&) = delete;

    bool setPaused(bool paused) override;
    void flush() override;
    uint64_t framesPlayed() const override { return played_.load(); }

    // Pulls up to `frames` on the calling thread; returns the frames got.
    size_t pull(size_t frames);
    void startPacing();

private:
    void pace();

    VirtualBackend& backend_;
    const StreamFormat format_;
    PlaybackSource& source_;
    std::unique_ptr<int16_t[]> block_;
    // A flush must not fall between a pull and its count.
    std::mutex pulling_;
    std::atomic<uint64_t> played_{0};
    std::atomic<bool> paused_{true};
    std::atomic<bool> quit_{false};
    std::thread thread_;
};

} // namespace audiolib
