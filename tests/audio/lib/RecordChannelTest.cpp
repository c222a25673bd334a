// Recording channels on the virtual device: what reaches the callback and
// the encoders, pause / stop / end, and loss accounting.
#include "RecordingFixture.h"

#include <cmath>

namespace audiolib::testing {
namespace {

const VirtualInput kMic{"Microphone", 441.0, 30000};

// True when `samples` are frames first..first+n of the input's sine on both
// channels, scaled by gain.
::testing::AssertionResult isSine(const std::vector<int16_t>& samples, const VirtualInput& in,
                                  uint64_t first, double gain = 1.0) {
    for (size_t i = 0; i + 1 < samples.size(); i += 2) {
        const double want = VirtualBackend::sineSample(in, first + i / 2) * gain;
        if (std::abs(samples[i] - want) > 1.0 || std::abs(samples[i + 1] - want) > 1.0)
            return ::testing::AssertionFailure()
                   << "frame " << first + i / 2 << ": " << samples[i] << " want " << want;
    }
    return ::testing::AssertionSuccess();
}

TEST_F(VirtualRecording, SelectedInputReachesCallbackAndEncoderInOrder) {
    const Handle h = startWithEncoder(1);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(device->lastCaptureInput(), 1);
    ASSERT_TRUE(channelPlay(h, false));
    EXPECT_EQ(device->pushBlocks(10), 10u);
    EXPECT_EQ(callback.calls, 10);
    EXPECT_FALSE(callback.wrongHandle);
    EXPECT_EQ(callback.samples.size(), 10 * kBlock * 2);
    EXPECT_TRUE(isSine(callback.samples, kMic, 0));
    // Asked from inside the callback, on the capture thread.
    EXPECT_EQ(callback.encoderActive, kActivePlaying);
    ASSERT_TRUE(channelStop(h));
    EXPECT_EQ(encoder->samples, callback.samples);
    EXPECT_EQ(encoder->finishes.load(), 1);
}

TEST_F(VirtualRecording, NoInputSwitchedOnRecordsTheDefaultSource) {
    const Handle h = recordStart(44100, 2, 0, recordToLog, &callback);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(device->lastCaptureInput(), -1);
    // Created running without kRecordPause.
    EXPECT_EQ(channelIsActive(h), kActivePlaying);
    device->pushBlocks(1);
    EXPECT_TRUE(isSine(callback.samples, device->config().inputs[0], 0));
    channelStop(h);
}

TEST_F(VirtualRecording, LevelIsAGainOnOurSamples) {
    {
        const Handle h = startWithEncoder(1, 0.0f);
        channelPlay(h, false);
        device->pushBlocks(2);
        channelStop(h);
        for (int16_t s : callback.samples)
            ASSERT_EQ(s, 0);
    }
    callback = {};
    {
        const Handle h = startWithEncoder(1, 0.5f);
        channelPlay(h, false);
        device->pushBlocks(2);
        EXPECT_TRUE(isSine(callback.samples, kMic, 0, 0.5));
        // The level may change while recording.
        recordSetInput(1, 0, 1.0f);
        device->pushBlocks(1);
        channelStop(h);
        const std::vector<int16_t> last(callback.samples.end() - kBlock * 2,
                                        callback.samples.end());
        EXPECT_TRUE(isSine(last, kMic, 2 * kBlock));
    }
    callback = {};
    {
        // 30000 amplified twice: saturates instead of wrapping around.
        const Handle h = startWithEncoder(1, 2.0f);
        channelPlay(h, false);
        device->pushBlocks(1);
        channelStop(h);
        const auto [lo, hi] = std::minmax_element(callback.samples.begin(), callback.samples.end());
        EXPECT_EQ(*hi, 32767);
        EXPECT_EQ(*lo, -32768);
    }
}

TEST_F(VirtualRecording, PausedChannelFeedsNothing) {
    const Handle h = startWithEncoder(0);
    // Created paused.
    EXPECT_EQ(channelIsActive(h), kActivePaused);
    EXPECT_EQ(device->pushBlocks(3), 0u);
    channelPlay(h, false);
    device->pushBlocks(4);
    ASSERT_TRUE(channelPause(h));
    EXPECT_FALSE(channelPause(h));
    EXPECT_EQ(errorCode(), kErrAlready);
    EXPECT_EQ(channelIsActive(h), kActivePaused);
    EXPECT_EQ(encodeIsActive(h), kActivePaused);
    EXPECT_EQ(device->pushBlocks(5), 0u);
    channelPlay(h, false);
    device->pushBlocks(3);
    channelStop(h);
    EXPECT_EQ(callback.calls, 7);
    EXPECT_EQ(encoder->frames(), 7 * kBlock);
}

TEST_F(VirtualRecording, StopDrainsFinishesOnceAndReleasesTheHandle) {
    encoder->delayMs = 2;
    const Handle h = startWithEncoder(0);
    channelPlay(h, false);
    device->pushBlocks(50);
    ASSERT_TRUE(channelStop(h));
    // Everything captured before the stop is in the file when stop returns.
    EXPECT_EQ(encoder->frames(), 50 * kBlock);
    EXPECT_EQ(encoder->finishes.load(), 1);
    EXPECT_EQ(device->openCaptures(), 0);
    EXPECT_FALSE(channelStop(h));
    EXPECT_EQ(errorCode(), kErrHandle);
    EXPECT_EQ(channelIsActive(h), kActiveStopped);
    EXPECT_EQ(encodeIsActive(h), 0);
    recordFree();
    EXPECT_EQ(encoder->finishes.load(), 1);
}

TEST_F(VirtualRecording, RefusingCallbackEndsTheRecording) {
    callback.refuseAt = 3;
    const Handle h = startWithEncoder(0);
    channelPlay(h, false);
    device->pushBlocks(6);
    EXPECT_EQ(callback.calls, 3);
    EXPECT_EQ(channelIsActive(h), kActiveStopped);
    EXPECT_EQ(channelEndCause(h), EndCause::CallbackRefused);
    EXPECT_FALSE(channelPlay(h, false));
    EXPECT_EQ(errorCode(), kErrEnded);
    // The file is completed without waiting for the stop.
    EXPECT_TRUE(eventually([&] { return encoder->finishes.load() == 1; }));
    EXPECT_EQ(encoder->frames(), 2 * kBlock);
    EXPECT_TRUE(channelStop(h));
    EXPECT_EQ(encoder->finishes.load(), 1);
}

TEST_F(VirtualRecording, FailingEncoderEndsTheRecording) {
    encoder->failAfterWrites = 2;
    const Handle h = startWithEncoder(0);
    channelPlay(h, false);
    // One block at a time, so that each is its own write.
    ASSERT_TRUE(eventually([&] {
        device->pushBlocks(1);
        return channelIsActive(h) == kActiveStopped;
    }));
    EXPECT_EQ(channelEndCause(h), EndCause::EncoderFailed);
    EXPECT_EQ(encodeIsActive(h), 0);
    EXPECT_TRUE(channelStop(h));
}

TEST_F(VirtualRecording, VanishingInputEndsTheRecording) {
    const Handle h = startWithEncoder(2);
    channelPlay(h, false);
    device->pushBlocks(2);
    device->loseInput();
    EXPECT_EQ(channelIsActive(h), kActiveStopped);
    EXPECT_EQ(channelEndCause(h), EndCause::InputLost);
    EXPECT_TRUE(channelStop(h));
    EXPECT_EQ(encoder->frames(), 2 * kBlock);
}

TEST_F(VirtualRecording, LostBlocksAndOverrunsAddUp) {
    encoder->delayMs = 40;
    const Handle h = startWithEncoder(0);
    channelPlay(h, false);
    const size_t pushed = device->pushBlocks(1500);
    device->reportOverrun(441);
    const uint64_t lost = channelLostBlocks(h);
    const uint64_t lostFrames = channelLostFrames(h);
    encoder->delayMs = 0;
    channelStop(h);
    EXPECT_GT(lost, 1u);
    // Each pushed block either reached the encoder or was counted lost.
    EXPECT_EQ(encoder->frames() / kBlock + (lost - 1), pushed);
    EXPECT_EQ(lostFrames, (lost - 1) * kBlock + 441);
}

// What a channel's finish notify was told, from the writer thread.
struct FinishLog {
    std::atomic<int> calls{0};
    std::atomic<FinishOutcome> last{FinishOutcome::Complete};
    FinishNotify notify() {
        return [this](FinishOutcome o) {
            last = o;
            ++calls;
        };
    }
};

TEST_F(VirtualRecording, ASlowFinishGoesOnAfterTheStopWhileANewRecordingRuns) {
    encoder->finishDelayMs = 1500;
    encoder->finishAs = FinishOutcome::EncoderUnfinished;
    FinishLog first;
    const Handle h = startWithEncoder(0);
    ASSERT_TRUE(encodeSetFinishNotify(h, first.notify()));
    channelPlay(h, false);
    device->pushBlocks(10);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(channelStop(h));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_EQ(first.calls.load(), 0) << "the encoder is still finishing";
    EXPECT_FALSE(channelStop(h));
    EXPECT_EQ(errorCode(), kErrHandle);

    // The next recording has a writer of its own: it neither waits for the
    // first nor gets its outcome.
    auto other = std::make_shared<EncoderLog>();
    FinishLog second;
    const Handle next = recordStart(44100, 2, 0, nullptr, nullptr);
    ASSERT_NE(next, 0u);
    ASSERT_EQ(attachEncoder(next, std::make_unique<KeepingEncoder>(other)), next);
    ASSERT_TRUE(encodeSetFinishNotify(next, second.notify()));
    device->pushBlocks(5);
    ASSERT_TRUE(channelStop(next));
    EXPECT_EQ(other->frames(), 5 * kBlock);
    EXPECT_EQ(second.calls.load(), 1);
    EXPECT_EQ(second.last.load(), FinishOutcome::Complete);

    ASSERT_TRUE(eventually([&] { return first.calls.load() == 1; }));
    EXPECT_EQ(first.last.load(), FinishOutcome::EncoderUnfinished);
    EXPECT_EQ(encoder->frames(), 10 * kBlock) << "everything captured reached the encoder";
    recordFree();
    EXPECT_EQ(first.calls.load(), 1);
    EXPECT_EQ(encoder->finishes.load(), 1);
}

TEST_F(VirtualRecording, FreeWaitsForAFinishStillGoingOn) {
    encoder->finishDelayMs = 1000;
    FinishLog log;
    const Handle h = startWithEncoder(0);
    ASSERT_TRUE(encodeSetFinishNotify(h, log.notify()));
    ASSERT_TRUE(channelStop(h));
    ASSERT_EQ(log.calls.load(), 0);
    ASSERT_TRUE(recordFree());
    EXPECT_EQ(log.calls.load(), 1);
}

TEST_F(VirtualRecording, ANotifySetAfterTheEndIsToldAtOnce) {
    callback.refuseAt = 1;
    encoder->finishAs = FinishOutcome::FileIncomplete;
    const Handle h = startWithEncoder(0);
    channelPlay(h, false);
    device->pushBlocks(2);
    ASSERT_TRUE(eventually([&] { return encoder->finishes.load() == 1; }));
    FinishLog log;
    // The writer may still be between finishing and telling.
    ASSERT_TRUE(encodeSetFinishNotify(h, log.notify()));
    ASSERT_TRUE(eventually([&] { return log.calls.load() == 1; }));
    EXPECT_EQ(log.last.load(), FinishOutcome::FileIncomplete);
    EXPECT_TRUE(channelStop(h));
    EXPECT_EQ(log.calls.load(), 1);
    EXPECT_FALSE(encodeSetFinishNotify(h, log.notify()));
}

bool stopFromInside(Handle channel, const void*, uint32_t, void* user) {
    *static_cast<int*>(user) = channelStop(channel) ? kOk : errorCode();
    return true;
}

TEST_F(VirtualRecording, CallbackCannotStopItsOwnChannel) {
    int result = -1;
    const Handle h = recordStart(44100, 2, 0, stopFromInside, &result);
    device->pushBlocks(1);
    EXPECT_EQ(result, kErrNotAvail);
    EXPECT_EQ(channelIsActive(h), kActivePlaying);
    EXPECT_TRUE(channelStop(h));
}

TEST_F(VirtualRecording, OldHandlesNeverReachNewChannels) {
    const Handle first = startWithEncoder(0);
    ASSERT_NE(first, 0u);
    ASSERT_TRUE(recordFree());
    // recordFree stopped the channel and completed its encoder.
    EXPECT_EQ(encoder->finishes.load(), 1);
    EXPECT_EQ(channelIsActive(first), kActiveStopped);
    EXPECT_EQ(errorCode(), kErrHandle);
    SetUp();
    const Handle second = recordStart(44100, 2, kRecordPause, nullptr, nullptr);
    ASSERT_NE(second, 0u);
    EXPECT_NE(second, first);
    EXPECT_FALSE(channelPlay(first, false));
    EXPECT_EQ(channelIsActive(second), kActivePaused);
}

TEST_F(VirtualRecording, BadRequestsFailCleanly) {
    EXPECT_EQ(recordStart(48000, 2, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(errorCode(), kErrFormat);
    EXPECT_EQ(recordStart(44100, 1, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(errorCode(), kErrFormat);
    EXPECT_EQ(attachEncoder(12345, std::make_unique<KeepingEncoder>(encoder)), 0u);
    EXPECT_EQ(errorCode(), kErrHandle);
    EXPECT_EQ(encodeIsActive(12345), 0);
    EXPECT_EQ(channelEndCause(12345), EndCause::None);
    EXPECT_EQ(errorCode(), kErrHandle);
    EXPECT_FALSE(channelPause(0));
    EXPECT_EQ(errorCode(), kErrHandle);
    const Handle h = recordStart(44100, 2, kRecordPause, nullptr, nullptr);
    EXPECT_EQ(attachEncoder(h, nullptr), 0u);
    EXPECT_EQ(encodeIsActive(h), 0);
    recordFree();
    EXPECT_EQ(recordStart(44100, 2, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(errorCode(), kErrInit);
}

} // namespace
} // namespace audiolib::testing
