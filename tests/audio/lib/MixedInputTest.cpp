// The mixed input on the virtual device: listed after the device's own
// inputs, and recording both defaults into one stream.
#include "RecordingFixture.h"

#include "audio/lib/MixedInput.h"

#include <cmath>
#include <numbers>

namespace audiolib::testing {
namespace {

double toneLevel(const std::vector<int16_t>& samples, size_t firstFrame, size_t frames, double hz) {
    double re = 0;
    double im = 0;
    for (size_t i = firstFrame; i < firstFrame + frames; ++i) {
        const double w = 2 * std::numbers::pi * hz * static_cast<double>(i) / 44100.0;
        re += samples[2 * i] * std::cos(w);
        im += samples[2 * i] * std::sin(w);
    }
    return 2 * std::hypot(re, im) / static_cast<double>(frames);
}

// The fixture's device, with a default source and a default output's monitor.
class MixedRecording : public VirtualRecording {
protected:
    void SetUp() override {
        VirtualConfig config;
        // Paced at real time: the mixer places blocks in time by when they
        // arrive, as a server delivers them.
        config.speed = 1;
        config.blockFrames = kBlock;
        config.inputs = {{"Line In", 1000.0, 16384},
                         {"Microphone", 441.0, 12000},
                         {"Monitor of Speakers", 2205.0, 8000}};
        config.defaultSource = 1;
        config.defaultMonitor = 2;
        auto backend = std::make_unique<VirtualBackend>(config);
        device = backend.get();
        installBackend(std::move(backend));
        ASSERT_TRUE(recordInit(-1));
    }
};

TEST_F(MixedRecording, IsListedAfterTheDeviceInputsAndRecordsBothDefaults) {
    EXPECT_STREQ(recordGetInputName(3), "Microphone + computer sound");
    EXPECT_STREQ(recordGetInputId(3), kMixedInputId);
    EXPECT_EQ(recordGetInputName(4), nullptr);

    ASSERT_TRUE(recordSetInput(3, kInputOn, 0.5f));
    const Handle h = recordStart(44100, 2, kRecordPause, recordToLog, &callback);
    ASSERT_NE(h, 0u);
    ASSERT_EQ(attachEncoder(h, std::make_unique<KeepingEncoder>(encoder)), h);
    EXPECT_EQ(device->openCaptures(), 2);
    ASSERT_TRUE(channelPlay(h, false));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (encoder->frames() < 75 * kBlock && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_GE(encoder->frames(), 75 * kBlock);
    EXPECT_EQ(channelLostFrames(h), 0u);
    ASSERT_TRUE(channelStop(h));
    EXPECT_EQ(device->openCaptures(), 0);

    // The file is the callback's stream.
    EXPECT_EQ(encoder->samples, callback.samples);
    // Each at its own level, under the input's gain.
    EXPECT_NEAR(toneLevel(encoder->samples, 22050, 22050, 441), 6000, 600);
    EXPECT_NEAR(toneLevel(encoder->samples, 22050, 22050, 2205), 4000, 400);
}

TEST_F(MixedRecording, OneSideGoneIsToldAndTheOtherRecordsOnBothGoneIsALostInput) {
    ASSERT_TRUE(recordSetInput(3, kInputOn, 1.0f));
    const Handle h = recordStart(44100, 2, 0, nullptr, nullptr);
    ASSERT_NE(h, 0u);
    ASSERT_EQ(attachEncoder(h, std::make_unique<KeepingEncoder>(encoder)), h);
    ASSERT_TRUE(eventually([&] { return encoder->frames() > 0; }));
    device->loseInput("Monitor of Speakers");
    ASSERT_TRUE(eventually([&] { return channelLostParts(h) == kLostComputerSound; }));
    const size_t lostAt = encoder->frames();
    ASSERT_TRUE(eventually([&] { return encoder->frames() >= lostAt + 22050; }));
    EXPECT_EQ(channelEndCause(h), EndCause::None);
    {
        std::lock_guard lock(encoder->mutex);
        EXPECT_NEAR(toneLevel(encoder->samples, lostAt + 4410, 11025, 441), 12000, 1200);
        EXPECT_LT(toneLevel(encoder->samples, lostAt + 4410, 11025, 2205), 100);
    }
    device->loseInput("Microphone");
    EXPECT_TRUE(eventually([&] { return channelEndCause(h) == EndCause::InputLost; }));
    channelStop(h);
}

} // namespace
} // namespace audiolib::testing
