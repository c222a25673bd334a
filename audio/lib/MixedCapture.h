#pragma once
// The capture of the mixed input: the default source and the monitor of the
// default output, opened together, summed into one stream for the sink.
//
//   backend thread --onCapture--> Part --SpscRing--> mixer thread
//   backend thread --onCapture--> Part --SpscRing-/   (StreamMixer)
//                                                     --onCapture--> sink
//
// The backend threads only copy into the rings, as a single capture does;
// the resampling and summing run on the mixer thread, which delivers to the
// sink as a backend thread would. One input that disappears leaves the other
// recording; only when both are gone is the input lost to the sink.

#include "audio/lib/Backend.h"
#include "audio/lib/SpscRing.h"
#include "audio/lib/StreamMixer.h"

#include <atomic>
#include <memory>
#include <semaphore>
#include <thread>

namespace audiolib {

class MixedCapture final : public CaptureStream {
public:
    // Opens both captures paused on `backend`; nullptr when either fails.
    static std::unique_ptr<CaptureStream> open(Backend& backend, StreamFormat format,
                                               CaptureSink& sink);
    // Opens nothing by itself: see open().
    MixedCapture(double rate, CaptureSink& sink);
    ~MixedCapture() override;
    MixedCapture(const MixedCapture&) = delete;
    MixedCapture& operator=(const MixedCapture&) = delete;

    bool setPaused(bool paused) override;

private:
    struct Stamp {
        uint64_t total;
        double seconds;
    };
    // One of the two inputs, as its backend stream sees it.
    class Part final : public CaptureSink {
    public:
        explicit Part(MixedCapture& owner);
        void onCapture(const int16_t* samples, size_t frames) override;
        void onInputLost() override;
        void onServerLost() override;
        void onOverrun(uint64_t frames) override;

        SpscRing<int16_t> samples;
        SpscRing<Stamp> stamps;
        std::atomic<bool> lost{false};
        std::atomic<bool> gap{false}; // frames went missing: line up afresh
        uint64_t stamped = 0;         // the mixer thread's own: the latest stamp
        uint64_t taken = 0;           // and the frames it has moved on

    private:
        MixedCapture& owner_;
        uint64_t total_ = 0; // the backend thread's own
    };

    void wake();
    void mixLoop();
    bool moveIn(Part& part, StreamMixer::Part which, int16_t* buffer);
    void noticeLoss(Part& part, StreamMixer::Part which);
    void deliver(bool last, int16_t* buffer);

    CaptureSink& sink_;
    StreamMixer mixer_;    // the mixer thread's own
    Part lead_{*this};     // the default source
    Part follower_{*this}; // the monitor of the default output
    std::unique_ptr<CaptureStream> leadCapture_;
    std::unique_ptr<CaptureStream> followerCapture_;
    std::thread thread_;
    std::counting_semaphore<> wake_{0};
    std::atomic<bool> wakePending_{false};
    std::atomic<bool> resumed_{false};
    std::atomic<bool> quit_{false};
};

} // namespace audiolib
