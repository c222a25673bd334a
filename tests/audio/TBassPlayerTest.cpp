// The playback engine on the virtual sound system, which the test steps by
// pulling frames itself: every state and position is exact.
#include "audio/TBassPlayer.h"
#include "audio/lib/virtual/VirtualBackend.h"
#include "tests/audio/SilentWav.h"
#include "tests/audio/lib/SoundFiles.h"
#include "tests/audio/lib/support/PullPlayback.h"

#include <gtest/gtest.h>

using namespace audiolib;

namespace {

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        sink = installManualBackend();
        ASSERT_TRUE(player.Init(nullptr, 55, 53));
    }
    void TearDown() override { player.Uninit(); }

    uint64_t hear(uint64_t frames) { return hearPlayback(*sink, frames); }

    TempFolder dir;
    VirtualBackend* sink = nullptr;
    TBassPlayer player;
};

TEST_F(PlayerTest, OpeningChoosesTheEntryByExtensionAndKeepsOneFileOpen) {
    uint32_t size = 7;
    double duration = 7.0;
    EXPECT_FALSE(player.OpenFile((dir / "missing.wav").string(), size, duration));
    EXPECT_EQ(size, 7U);
    EXPECT_EQ(duration, 7.0);
    EXPECT_EQ(player.GetPlayState(), psStop);
    EXPECT_EQ(player.GetCurrentPosition(), -1);

    const auto wma = soundfiles::make(dir, soundfiles::Kind::Wma);
    ASSERT_TRUE(player.OpenFile(wma.string(), size, duration));
    EXPECT_TRUE(player.IsWmaMode());
    EXPECT_EQ(size, std::filesystem::file_size(wma));
    EXPECT_NEAR(duration, 3.0, 0.05);

    const auto threeMinutes = silentwav::make(dir / "three.wav", 180 * 44100);
    ASSERT_TRUE(player.OpenFile(threeMinutes.string(), size, duration));
    EXPECT_FALSE(player.IsWmaMode());
    EXPECT_EQ(player.GetChannelLength(), 31752000);
    EXPECT_EQ(duration, 180.0);
    player.Stop();
    // The WMA stream went with the second open: nothing is left.
    EXPECT_FALSE(player.CanPlay());
    EXPECT_EQ(player.GetCurrentPosition(), -1);
    EXPECT_EQ(player.GetChannelLength(), -1);

    TempFolder::write(dir / "junk.mp3", std::string(4000, 'x'));
    size = 7;
    EXPECT_FALSE(player.OpenFile((dir / "junk.mp3").string(), size, duration));
    EXPECT_EQ(size, 0U);
    EXPECT_EQ(duration, 0.0);
    EXPECT_FALSE(player.CanPlay());
}

TEST_F(PlayerTest, PlayPauseResumeStopAndTheSpectrum) {
    const auto wav = soundfiles::make(dir, soundfiles::Kind::Wav);
    uint32_t size = 0;
    double duration = 0;
    ASSERT_TRUE(player.OpenFile(wav.string(), size, duration));
    EXPECT_EQ(player.GetSpectrumView(), nullptr);
    player.Play();
    EXPECT_EQ(player.GetPlayState(), psPlaying);
    ASSERT_EQ(hear(2 * 44100), 2 * 44100U);
    EXPECT_EQ(player.GetCurrentPosition(), 2 * 44100 * 4);
    const PixelBuffer* picture = player.GetSpectrumView();
    ASSERT_NE(picture, nullptr);
    // The 1 kHz tone is element 23, band 18: columns 118.. are outside a
    // 55-pixel picture, but the bars of the bands inside are drawn.
    EXPECT_EQ(picture->width(), 55);

    player.Pause();
    EXPECT_EQ(player.GetPlayState(), psPause);
    EXPECT_EQ(player.GetSpectrumView(), nullptr);
    player.Resume();
    ASSERT_EQ(hear(4410), 4410U);
    EXPECT_EQ(player.GetCurrentPosition(), (2 * 44100 + 4410) * 4);

    player.Pause();
    player.Play(); // from a pause, Play starts again from the beginning
    EXPECT_EQ(player.GetCurrentPosition(), 0);
    hear(44100);
    player.SetCurrentPosition(2 * 44100 * 4);
    EXPECT_EQ(player.GetCurrentPosition(), 2 * 44100 * 4);
    EXPECT_EQ(hear(44100), 44100U);
    EXPECT_EQ(player.GetPlayState(), psStop);
    EXPECT_TRUE(player.CanPlay()); // ended streams stay open until Stop
    player.Play();
    EXPECT_EQ(player.GetPlayState(), psPlaying);
    EXPECT_EQ(player.GetCurrentPosition(), 0);

    player.Stop();
    EXPECT_FALSE(player.CanPlay());
    EXPECT_EQ(player.GetCurrentPosition(), -1);
    EXPECT_EQ(player.GetPlayState(), psStop);
    player.Play(); // nothing open: nothing happens
    EXPECT_EQ(player.GetSpectrumView(), nullptr);
}

TEST_F(PlayerTest, ARecordingPastTwoGibibytesPlaysToItsEndAndSeeksAcrossIt) {
    // Three and a half hours: 2 222 640 000 bytes of decoded sound.
    const uint64_t frames = uint64_t{12600} * 44100;
    const auto wav = silentwav::make(dir / "long.wav", frames);
    uint32_t size = 0;
    double duration = 0;
    ASSERT_TRUE(player.OpenFile(wav.string(), size, duration));
    EXPECT_EQ(duration, 12600.0);
    EXPECT_EQ(player.GetFileSize64(), frames * 4 + 44);
    EXPECT_EQ(size, static_cast<uint32_t>(frames * 4 + 44));
    const int64_t length = player.GetChannelLength64();
    EXPECT_EQ(length, static_cast<int64_t>(frames * 4));
    EXPECT_EQ(player.GetChannelLength(), static_cast<int32_t>(static_cast<uint32_t>(length)));

    player.Play();
    player.SetCurrentPosition64(static_cast<uint64_t>(length) - 44100 * 4);
    EXPECT_EQ(player.GetCurrentPosition64(), length - 44100 * 4);
    hear(22050);
    EXPECT_EQ(player.GetCurrentPosition64(), length - 22050 * 4);
    EXPECT_EQ(player.GetPlayState(), psPlaying);
    EXPECT_EQ(hear(22050), 22050U);
    EXPECT_EQ(player.GetPlayState(), psStop);
    EXPECT_EQ(player.GetCurrentPosition64(), length);
}

} // namespace
