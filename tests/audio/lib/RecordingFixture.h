#pragma once
// A recording device of three virtual inputs driven block by block from the
// test, and an encoder that keeps what it is given.

#include "audio/lib/AudioLib.h"
#include "audio/lib/Channel.h"
#include "audio/lib/virtual/VirtualBackend.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace audiolib::testing {

constexpr size_t kBlock = 882;

// Shared between the test and an encoder the channel owns.
struct EncoderLog {
    std::mutex mutex;
    std::vector<int16_t> samples;
    std::atomic<int> writes{0};
    std::atomic<int> finishes{0};
    int failAfterWrites = -1; // write number that returns false
    std::atomic<int> delayMs{0};
    std::atomic<int> finishDelayMs{0};
    FinishOutcome finishAs = FinishOutcome::Complete;

    size_t frames() {
        std::lock_guard lock(mutex);
        return samples.size() / 2;
    }
};

class KeepingEncoder : public ChannelEncoder {
public:
    explicit KeepingEncoder(std::shared_ptr<EncoderLog> log) : log_(std::move(log)) {}
    bool write(const int16_t* s, size_t frames) override {
        if (const int ms = log_->delayMs.load(); ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        const int n = ++log_->writes;
        if (n == log_->failAfterWrites)
            return false;
        std::lock_guard lock(log_->mutex);
        log_->samples.insert(log_->samples.end(), s, s + frames * 2);
        return true;
    }
    FinishOutcome finish() override {
        if (const int ms = log_->finishDelayMs.load(); ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        ++log_->finishes;
        return log_->finishAs;
    }
    bool active() const override { return true; }

private:
    std::shared_ptr<EncoderLog> log_;
};

// What the record callback saw.
struct CallbackLog {
    Handle expected = 0;
    std::vector<int16_t> samples;
    int calls = 0;
    int refuseAt = -1;      // call number that returns false
    int encoderActive = -1; // encodeIsActive() from inside the last call
    bool wrongHandle = false;
};

inline bool recordToLog(Handle channel, const void* buffer, uint32_t length, void* user) {
    auto* log = static_cast<CallbackLog*>(user);
    ++log->calls;
    if (log->expected != 0 && channel != log->expected)
        log->wrongHandle = true;
    const auto* s = static_cast<const int16_t*>(buffer);
    log->samples.insert(log->samples.end(), s, s + length / 2);
    log->encoderActive = encodeIsActive(channel);
    return log->calls != log->refuseAt;
}

class VirtualRecording : public ::testing::Test {
protected:
    void SetUp() override {
        VirtualConfig config;
        config.manual = true;
        config.blockFrames = kBlock;
        config.inputs = {{"Line In", 1000.0, 16384},
                         {"Microphone", 441.0, 30000},
                         {"Monitor of Speakers", 2205.0, 8000}};
        auto backend = std::make_unique<VirtualBackend>(config);
        device = backend.get();
        installBackend(std::move(backend));
        ASSERT_TRUE(recordInit(-1));
    }
    void TearDown() override { recordFree(); }

    // Starts a paused recording from `input` with a keeping encoder.
    Handle startWithEncoder(int input, float level = 1.0f) {
        if (input >= 0) {
            EXPECT_TRUE(recordSetInput(input, kInputOn, -1.0f));
            EXPECT_TRUE(recordSetInput(input, 0, level));
        }
        const Handle h = recordStart(44100, 2, kRecordPause, recordToLog, &callback);
        callback.expected = h;
        if (h != 0) {
            EXPECT_EQ(attachEncoder(h, std::make_unique<KeepingEncoder>(encoder)), h);
        }
        return h;
    }

    // Waits (bounded) until the writer thread has got to `cond`.
    template <typename Cond> static bool eventually(Cond cond) {
        for (int i = 0; i < 400 && !cond(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return cond();
    }

    VirtualBackend* device = nullptr;
    CallbackLog callback;
    std::shared_ptr<EncoderLog> encoder = std::make_shared<EncoderLog>();
};

} // namespace audiolib::testing
