// The playback engine on a real sound server of the test's own (a private
// PulseAudio with a null sink, reached through PULSE_SERVER), so the test can
// take the server away and bring it back.
#include "audio/TBassPlayer.h"
#include "tests/audio/lib/SoundFiles.h"
#include "tests/audio/lib/support/AudioCheck.h"
#include "tests/audio/lib/support/MonitorRecording.h"
#include "tests/support/PrivateSoundServer.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace audiolib;
using namespace std::chrono_literals;
using soundfiles::Kind;
using Clock = std::chrono::steady_clock;

namespace {

class PlayerOnServer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.start());
        ASSERT_TRUE(player.Init(nullptr, 55, 53));
    }
    void TearDown() override { player.Uninit(); }

    bool open(const std::filesystem::path& file) {
        uint32_t size = 0;
        double duration = 0;
        return player.OpenFile(file.string(), size, duration);
    }
    // Waits until the player leaves `state` or the time is up; the time taken.
    double waitWhile(TPlayState state, std::chrono::milliseconds limit) {
        const auto t0 = Clock::now();
        while (player.GetPlayState() == state && Clock::now() < t0 + limit)
            std::this_thread::sleep_for(5ms);
        return std::chrono::duration<double>(Clock::now() - t0).count();
    }

    TempFolder dir;
    PrivateSoundServer server{dir};
    TBassPlayer player;
};

class PlayerHearsEachKind : public PlayerOnServer, public ::testing::WithParamInterface<Kind> {};

TEST_P(PlayerHearsEachKind, TheToneComesOutAndTheEndIsTheEnd) {
    const auto file = soundfiles::make(dir, GetParam());
    ASSERT_TRUE(open(file));
    MonitorRecording recording(dir / "monitor.raw");
    ASSERT_TRUE(recording.running());
    player.Play();
    // An idle null sink may take a while to start rendering; from then on the
    // position follows the clock and the end comes when the last frame is heard.
    for (const auto until = Clock::now() + 3s;
         player.GetCurrentPosition() < 4410 * 4 && Clock::now() < until;)
        std::this_thread::sleep_for(5ms);
    const double from = player.GetCurrentPosition() / 176400.0;
    const double played = waitWhile(psPlaying, 8000ms);
    EXPECT_EQ(player.GetPlayState(), psStop);
    EXPECT_NEAR(played, 3.0 - from, 0.25);
    recording.waitUntilLoudEnded(3s);
    const std::vector<int16_t> heard = recording.stop();
    EXPECT_NEAR(loudSeconds(heard), 2.0, 0.12);
    const auto onset =
        std::find_if(heard.begin(), heard.end(), [](int16_t s) { return s > 10000 || s < -10000; });
    ASSERT_NE(onset, heard.end());
    EXPECT_NEAR(audiotest::loudestFrequency(heard, (onset - heard.begin()) + 4410), 1000.0, 2.0);
}

INSTANTIATE_TEST_SUITE_P(Formats, PlayerHearsEachKind,
                         ::testing::Values(Kind::Wav, Kind::Mp3, Kind::Ogg, Kind::Wma),
                         [](const auto& info) { return soundfiles::nameOf(info.param); });

TEST_F(PlayerOnServer, AServerThatGoesAwayEndsPlaybackAndTheNextPlayWorksWhenItIsBack) {
    const auto file = soundfiles::make(dir, Kind::Ogg);
    ASSERT_TRUE(open(file));
    player.Play();
    for (const auto until = Clock::now() + 3s;
         player.GetCurrentPosition() < 44100 && Clock::now() < until;)
        std::this_thread::sleep_for(5ms);
    ASSERT_EQ(player.GetPlayState(), psPlaying);
    server.stop();
    EXPECT_LT(waitWhile(psPlaying, 2000ms), 0.5);
    EXPECT_EQ(player.GetPlayState(), psStop);
    player.Stop();
    EXPECT_FALSE(player.CanPlay());

    ASSERT_TRUE(server.start());
    ASSERT_TRUE(open(file));
    player.Play();
    EXPECT_EQ(player.GetPlayState(), psPlaying);
    for (const auto until = Clock::now() + 3s;
         player.GetCurrentPosition() < 44100 && Clock::now() < until;)
        std::this_thread::sleep_for(5ms);
    EXPECT_GE(player.GetCurrentPosition(), 44100);
}

} // namespace
