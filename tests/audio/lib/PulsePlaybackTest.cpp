// Playback on the real sound server: each kind of file is played into the
// null sink "rec" while parec records its monitor; what comes out must be
// the file's tone, and the position, seek, end and spectrum must follow what
// the server actually played.
#include "audio/lib/AudioLib.h"
#include "tests/audio/lib/SoundFiles.h"
#include "tests/audio/lib/support/AudioCheck.h"
#include "tests/audio/lib/support/MonitorRecording.h"
#include "tests/support/WaitFor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>

namespace audiolib {
namespace {

using namespace std::chrono_literals;
using soundfiles::Kind;
using soundfiles::kRate;
using Clock = std::chrono::steady_clock;

class PulsePlayback : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(init(-1, 44100, 0, nullptr)) << errorCode(); }
    static void TearDownTestSuite() { free(); }

    double seconds(Handle h, uint64_t bytes) { return channelBytes2Seconds(h, bytes); }
    double position(Handle h) { return seconds(h, channelGetPosition(h, kPosByte)); }

    static int loudestBand(Handle h) {
        std::array<float, 513> bins{};
        if (channelGetData(h, bins.data(), kDataFft1024) != 512 * sizeof(float)) {
            return -1;
        }
        return static_cast<int>(std::max_element(bins.begin(), bins.begin() + 512) - bins.begin());
    }

    TempFolder dir;
};

class PulseEachKind : public PulsePlayback, public ::testing::WithParamInterface<Kind> {};

TEST_P(PulseEachKind, PlaysTheToneIntoTheSinkAndStopsAtTheEnd) {
    const auto file = soundfiles::make(dir, GetParam());
    ASSERT_FALSE(file.empty());
    const Handle h = GetParam() == Kind::Wma
                         ? wmaStreamCreateFile(false, file.c_str(), 0, 0, kUnicode)
                         : streamCreateFile(false, file.c_str(), 0, 0, kUnicode);
    ASSERT_NE(h, 0U) << errorCode();
    const double length = seconds(h, channelGetLength(h, kPosByte));

    MonitorRecording recording(dir / "monitor.raw");
    ASSERT_TRUE(recording.running());
    ASSERT_TRUE(channelPlay(h, true));

    // A null sink that was idle may take a few hundred milliseconds to start
    // rendering; until it does nothing is heard and the position waits too.
    const auto deadline = Clock::now() + 3s;
    while (position(h) < 0.1 && Clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    const auto started = Clock::now();
    const double from = position(h);
    EXPECT_EQ(channelIsActive(h), kActivePlaying);
    // From then on the position follows the clock: what the server played,
    // not what was decoded (that runs a second ahead).
    std::this_thread::sleep_for(500ms);
    const double elapsed = std::chrono::duration<double>(Clock::now() - started).count();
    EXPECT_NEAR(position(h) - from, elapsed, 0.08);

    while (position(h) < 1.6 && Clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(loudestBand(h), 23);

    while (channelIsActive(h) != kActiveStopped && Clock::now() < started + 8s) {
        std::this_thread::sleep_for(20ms);
    }
    const double took = std::chrono::duration<double>(Clock::now() - started).count();
    EXPECT_EQ(channelIsActive(h), kActiveStopped);
    EXPECT_NEAR(position(h), length, 0.05);
    // Ended when the last frame was heard, not when the decoder finished.
    EXPECT_NEAR(took, length - from, 0.2);

    recording.waitUntilLoudEnded(3s);
    const std::vector<int16_t> heard = recording.stop();
    // Two seconds of the tone came out, at its own pitch.
    EXPECT_NEAR(loudSeconds(heard), 2.0, 0.1);
    const auto onset =
        std::find_if(heard.begin(), heard.end(), [](int16_t s) { return s > 10000 || s < -10000; });
    ASSERT_NE(onset, heard.end());
    const size_t at = static_cast<size_t>(onset - heard.begin()) + kRate / 10;
    EXPECT_NEAR(audiotest::loudestFrequency(heard, at), 1000.0, 2.0);
    EXPECT_TRUE(streamFree(h));
}

INSTANTIATE_TEST_SUITE_P(Formats, PulseEachKind,
                         ::testing::Values(Kind::Wav, Kind::ImaAdpcm, Kind::Mp3, Kind::Ogg,
                                           Kind::Wma),
                         [](const auto& info) { return soundfiles::nameOf(info.param); });

TEST_F(PulsePlayback, SeekLandsAndTheSpectrumFollowsWhatIsHeard) {
    const auto file = soundfiles::make(dir, Kind::Mp3);
    const Handle h = streamCreateFile(false, file.c_str(), 0, 0, kUnicode);
    ASSERT_NE(h, 0U);
    ASSERT_TRUE(channelPlay(h, true));
    // Playing, as the server reports it: an idle null sink may take a while.
    WaitUntil([&] { return position(h) >= 0.1; }, 3s);

    // Into the silence before the tone: the position is the target at once.
    ASSERT_TRUE(channelSetPosition(h, kRate * 4 / 2, kPosByte));
    EXPECT_NEAR(position(h), 0.5, 0.05);
    // The tone is seen when the position says the onset is being heard.
    double seenAt = -1;
    for (const auto until = Clock::now() + 2s; Clock::now() < until && seenAt < 0;) {
        const double p = position(h);
        if (loudestBand(h) == 23) {
            seenAt = p;
        }
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_NEAR(seenAt, 1.0, 0.05);

    // Backwards while paused: paused, there, and on from there.
    ASSERT_TRUE(channelPause(h));
    ASSERT_TRUE(channelSetPosition(h, kRate * 4 / 4, kPosByte));
    EXPECT_EQ(channelIsActive(h), kActivePaused);
    EXPECT_NEAR(position(h), 0.25, 0.001);
    std::this_thread::sleep_for(200ms);
    EXPECT_NEAR(position(h), 0.25, 0.001);
    ASSERT_TRUE(channelPlay(h, false));
    std::this_thread::sleep_for(400ms);
    EXPECT_NEAR(position(h), 0.65, 0.15);
    EXPECT_TRUE(channelStop(h));
    EXPECT_TRUE(streamFree(h));
}

TEST_F(PulsePlayback, AStreamTheServerDropsEndsWhereItWas) {
    const auto file = soundfiles::make(dir, Kind::Ogg);
    const Handle h = streamCreateFile(false, file.c_str(), 0, 0, kUnicode);
    ASSERT_NE(h, 0U);
    ASSERT_TRUE(channelPlay(h, true));
    for (const auto until = Clock::now() + 3s; position(h) < 0.3 && Clock::now() < until;) {
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_EQ(channelIsActive(h), kActivePlaying);
    // Ours is the only playback on the server while this test runs.
    ASSERT_EQ(std::system("pactl list short sink-inputs | cut -f1 | "
                          "xargs -r -n1 pacmd kill-sink-input"),
              0);
    for (const auto until = Clock::now() + 2s;
         channelIsActive(h) != kActiveStopped && Clock::now() < until;) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(channelIsActive(h), kActiveStopped);
    const double at = position(h);
    EXPECT_GT(at, 0.25);
    EXPECT_LT(at, 2.0);
    EXPECT_FALSE(channelPlay(h, true));
    EXPECT_EQ(errorCode(), kErrDriver);
    EXPECT_EQ(position(h), at);
    EXPECT_TRUE(streamFree(h));
}

TEST_F(PulsePlayback, FilesThatCannotPlayFailWithoutAHandle) {
    EXPECT_EQ(streamCreateFile(false, (dir / "missing.ogg").c_str(), 0, 0, kUnicode), 0U);
    EXPECT_EQ(errorCode(), kErrFileOpen);
    TempFolder::write(dir / "junk.wav", std::string(3000, '\x55'));
    EXPECT_EQ(streamCreateFile(false, (dir / "junk.wav").c_str(), 0, 0, kUnicode), 0U);
    EXPECT_EQ(errorCode(), kErrDecode);
    const auto mp3 = soundfiles::make(dir, Kind::Mp3);
    EXPECT_EQ(wmaStreamCreateFile(false, mp3.c_str(), 0, 0, kUnicode), 0U);
    EXPECT_EQ(errorCode(), kErrDecode);
}

} // namespace
} // namespace audiolib
