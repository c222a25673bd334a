#pragma once
// A recording channel: capture from one input, the record callback, and a
// writer thread that feeds the channel's encoders.
//
//   backend thread --onCapture--> gain, callback --SpscRing--> writer thread
//                                                              --> encoders
//
// The backend thread never waits: a block that finds the ring full is
// dropped and counted. The writer thread alone talks to the encoders, so a
// slow disk or encoder only ever costs blocks, never a stalled capture. Nor
// does it stall a stop: an encoder slow to finish goes on doing so on the
// writer thread after stop() returned, and the finish notify tells the end.

#include "audio/lib/AudioLib.h"
#include "audio/lib/Backend.h"
#include "audio/lib/Channel.h"
#include "audio/lib/SilenceCut.h"
#include "audio/lib/SpscRing.h"

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <semaphore>
#include <thread>
#include <vector>

namespace audiolib {

struct InputState;

class RecordChannel final : public Channel,
                            public CaptureSink,
                            public std::enable_shared_from_this<RecordChannel> {
public:
    // input: the switches and level the gain is read from, or nullptr for
    // the server's default source at unity gain.
    RecordChannel(RecordProc proc, void* user, const InputState* input);
    ~RecordChannel() override;
    RecordChannel(const RecordChannel&) = delete;
    RecordChannel& operator=(const RecordChannel&) = delete;

    // Opens the capture (paused) on `input` of the backend and starts the
    // writer. The handle is what the callback receives.
    bool open(Backend& backend, int input, Handle handle);

    bool play(bool restart) override;
    bool pause() override;
    // Ends capture and releases the handle; the writer drains the ring into
    // the encoders and finishes them. Waits for that up to kStopWaitMs, then
    // leaves the writer to it (kept until finishStoppedChannels()).
    bool stop() override;
    int isActive() const override;
    bool recording() const override { return true; }

    bool attach(std::unique_ptr<ChannelEncoder> encoder);
    void setFinishNotify(FinishNotify notify);
    // Leaves long quiet stretches out of what the encoders get (see
    // SilenceCut). Before open() only.
    void skipSilence();
    // What encodeIsActive() reports: 0 without a live encoder.
    int encoderState() const;
    EndCause endCause() const { return static_cast<EndCause>(endCause_.load()); }
    uint64_t lostBlocks() const { return lost_.load(); }
    uint64_t lostFrames() const { return lostFrames_.load(); }
    uint32_t lostParts() const { return lostParts_.load(); }
    Handle handle() const { return handle_; }
    // True until the writer has finished the encoders and is through.
    bool finishing() const {
        return writerDone_.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
    }

    // The recording channel whose callback runs on this thread right now, so
    // that encodeIsActive() from inside the callback needs no lock.
    static const RecordChannel* current();

    void onCapture(const int16_t* samples, size_t frames) override;
    void onInputLost() override;
    void onServerLost() override;
    void onOverrun(uint64_t frames) override;
    void onPartLost(uint32_t part) override { lostParts_.fetch_or(part); }

private:
    void endCapture();
    void announce(FinishOutcome outcome);
    void end(EndCause cause);
    void writerLoop();
    void drain(int16_t* buffer, size_t capacity);
    void checkEncoders();
    // Through the silence cut, when there is one, to feed().
    void pass(const int16_t* samples, size_t frames);
    void feed(const int16_t* samples, size_t frames);
    void shutDown();

    const RecordProc proc_;
    void* const user_;
    const InputState* const input_;
    Handle handle_ = 0;

    std::unique_ptr<CaptureStream> capture_;
    SpscRing<int16_t> ring_;
    std::unique_ptr<int16_t[]> scratch_; // the capture thread's own
    std::thread writer_;
    std::promise<void> writerExit_;
    std::future<void> writerDone_ = writerExit_.get_future();
    // Wakes the writer: enough blocks arrived, or the channel stops or ends.
    // Releasing it never blocks, so the capture thread may.
    std::counting_semaphore<> wake_{0};
    std::atomic<bool> wakePending_{false};

    std::mutex encodersMutex_; // writer thread and attach(), never capture
    std::vector<std::unique_ptr<ChannelEncoder>> encoders_;
    bool encodersFinished_ = false; // under encodersMutex_
    // The writer's own once it runs.
    std::unique_ptr<SilenceCut> cut_;
    std::atomic<int> liveEncoders_{0};

    std::mutex finishMutex_; // writer thread and setFinishNotify()
    std::optional<FinishOutcome> outcome_;
    FinishNotify notify_;

    std::atomic<bool> paused_{true};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> stopped_{false};
    std::atomic<int> endCause_{static_cast<int>(EndCause::None)};
    std::atomic<uint64_t> lost_{0};
    std::atomic<uint64_t> lostFrames_{0};
    std::atomic<uint32_t> lostParts_{0};
};

// Waits for the writers of stopped channels that were still finishing, and
// releases them: recordFree() leaves no thread or encoder behind.
void finishStoppedChannels();

} // namespace audiolib
