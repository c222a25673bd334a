#pragma once
// Internal to the virtual backend: one capture stream on one input.

#include "audio/lib/virtual/VirtualBackend.h"

#include <atomic>
#include <memory>
#include <thread>

namespace audiolib {

class VirtualCapture final : public CaptureStream {
public:
    VirtualCapture(VirtualBackend& backend, const VirtualInput& input, CaptureSink& sink);
    ~VirtualCapture() override;
    VirtualCapture(const VirtualCapture&) = delete;
    VirtualCapture& operator=(const VirtualCapture&) = delete;

    bool setPaused(bool paused) override;

    // The next block, on the calling thread. False while paused or lost.
    bool deliver();
    void lose() { lost_ = true; }
    const std::string& inputName() const { return input_.name; }
    void overrun(uint64_t frames) { sink_.onOverrun(frames); }
    void startPacing();

private:
    void pace();

    VirtualBackend& backend_;
    const VirtualInput input_;
    CaptureSink& sink_;
    std::unique_ptr<int16_t[]> block_;
    uint64_t frame_ = 0;
    std::atomic<bool> paused_{true};
    std::atomic<bool> lost_{false};
    bool lostReported_ = false;
    std::atomic<bool> quit_{false};
    std::thread thread_;
};

} // namespace audiolib
