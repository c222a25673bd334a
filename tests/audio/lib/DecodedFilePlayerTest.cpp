// A playing file against the virtual sink stepped by the test: positions,
// the end, pause / resume / restart, seeking and the spectrum, all counted
// from what the sink has taken (heard), never from what was decoded.
#include "audio/lib/playback/DecodedFilePlayer.h"
#include "audio/lib/AudioLib.h"
#include "audio/lib/virtual/VirtualBackend.h"
#include "tests/audio/lib/SoundFiles.h"
#include "tests/support/OpenFiles.h"
#include "tests/support/WaitFor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace audiolib {
namespace {

using soundfiles::Kind;
using soundfiles::kRate;
constexpr uint64_t kStereoFrame = 4;

class Rig {
public:
    // speed 0: the test steps the sink; otherwise it runs at that pace.
    bool open(const std::filesystem::path& path, double speed = 0) {
        VirtualConfig config;
        config.manual = speed == 0;
        config.speed = speed;
        backend = std::make_unique<VirtualBackend>(config);
        backend->setPlaybackTap([this](const int16_t* s, size_t frames) {
            heard.insert(heard.end(), s, s + frames * channels);
        });
        int error = -1;
        player = DecodedFilePlayer::open(
            path.string(), FileDecoder::Container::Any,
            [&](StreamFormat format, PlaybackSource& source) {
                channels = format.channels;
                return backend->openPlayback(format, source);
            },
            error);
        return player != nullptr;
    }

    size_t step(size_t frames) { return backend->pullPlayback(frames); }

    // Lets the sink take `frames` frames, waiting for the decoder as needed;
    // returns how many it got before the end of the file.
    uint64_t hear(uint64_t frames) {
        uint64_t done = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (done < frames && std::chrono::steady_clock::now() < deadline) {
            const size_t got = step(static_cast<size_t>(std::min<uint64_t>(frames - done, 4096)));
            done += got;
            if (got == 0) {
                if (player->activity() == kActiveStopped) {
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        return done;
    }

    uint64_t positionFrames() const { return player->positionBytes() / (2 * channels); }

    std::vector<int16_t> heard;
    uint32_t channels = 2;
    std::unique_ptr<VirtualBackend> backend;
    // Last, so it goes first: its stream stops pulling before the rest dies.
    std::unique_ptr<DecodedFilePlayer> player;
};

class PlayerOnWav : public ::testing::Test {
protected:
    void SetUp() override {
        file = soundfiles::make(dir, Kind::Wav);
        ASSERT_TRUE(rig.open(file));
    }
    // Waits until the decoder has read the file past that many seconds of sound.
    bool decoderReadPast(double seconds) const {
        const auto bytes = static_cast<std::uint64_t>(seconds * kRate * kStereoFrame);
        return WaitUntil([&] { return ReadOffsetInto(file) >= bytes; }, std::chrono::seconds(5));
    }
    TempFolder dir;
    std::filesystem::path file;
    Rig rig;
};

TEST_F(PlayerOnWav, LengthAndPositionAreBytesOfTheDecodedSound) {
    EXPECT_EQ(rig.player->lengthBytes(), 3 * kRate * kStereoFrame);
    EXPECT_DOUBLE_EQ(rig.player->bytesToSeconds(rig.player->lengthBytes()), 3.0);
    EXPECT_EQ(rig.player->positionBytes(), 0U);
    EXPECT_EQ(rig.player->activity(), kActiveStopped);
    // Decoded ahead but not heard: the position stays put.
    ASSERT_TRUE(decoderReadPast(1.0));
    EXPECT_EQ(rig.player->positionBytes(), 0U);

    ASSERT_TRUE(rig.player->play(true));
    EXPECT_EQ(rig.player->activity(), kActivePlaying);
    ASSERT_EQ(rig.hear(12345), 12345U);
    EXPECT_EQ(rig.player->positionBytes(), 12345 * kStereoFrame);
}

TEST_F(PlayerOnWav, TheEndStopsTheStreamAndPlayStartsAgain) {
    ASSERT_TRUE(rig.player->play(true));
    EXPECT_EQ(rig.hear(10 * kRate), 3U * kRate);
    EXPECT_EQ(rig.player->activity(), kActiveStopped);
    EXPECT_EQ(rig.player->positionBytes(), rig.player->lengthBytes());
    EXPECT_EQ(rig.heard.size(), 3U * kRate * 2);
    // Nothing left to pause; a seek does not start it by itself.
    EXPECT_FALSE(rig.player->pause());
    EXPECT_EQ(rig.player->lastError(), kErrNotAvail);
    ASSERT_TRUE(rig.player->setPositionBytes(kRate * kStereoFrame));
    EXPECT_EQ(rig.player->activity(), kActiveStopped);
    ASSERT_TRUE(rig.player->play(false));
    EXPECT_EQ(rig.player->positionBytes(), kRate * kStereoFrame);
    EXPECT_EQ(rig.hear(10 * kRate), 2U * kRate);

    // Ended, then played without restart: from the beginning.
    ASSERT_TRUE(rig.player->play(false));
    EXPECT_EQ(rig.player->positionBytes(), 0U);
    EXPECT_EQ(rig.player->activity(), kActivePlaying);
}

TEST_F(PlayerOnWav, PauseKeepsThePlaceResumeGoesOnRestartGoesBack) {
    ASSERT_TRUE(rig.player->play(true));
    ASSERT_EQ(rig.hear(10000), 10000U);
    ASSERT_TRUE(rig.player->pause());
    EXPECT_EQ(rig.player->activity(), kActivePaused);
    EXPECT_FALSE(rig.player->pause());
    EXPECT_EQ(rig.player->lastError(), kErrAlready);
    EXPECT_EQ(rig.step(1000), 0U);
    EXPECT_EQ(rig.player->positionBytes(), 10000 * kStereoFrame);

    ASSERT_TRUE(rig.player->play(false));
    ASSERT_EQ(rig.hear(5000), 5000U);
    EXPECT_EQ(rig.player->positionBytes(), 15000 * kStereoFrame);
    // What was heard is one unbroken run of the file, pause or not.
    EXPECT_EQ(rig.heard.size(), 15000U * 2);

    ASSERT_TRUE(rig.player->pause());
    ASSERT_TRUE(rig.player->play(true));
    EXPECT_EQ(rig.player->positionBytes(), 0U);
    ASSERT_EQ(rig.hear(100), 100U);
    EXPECT_EQ(rig.player->positionBytes(), 100 * kStereoFrame);

    ASSERT_TRUE(rig.player->stop());
    EXPECT_EQ(rig.player->activity(), kActiveStopped);
    EXPECT_EQ(rig.step(100), 0U);
}

TEST_F(PlayerOnWav, SeekingWhilePausedStaysPausedAndResumesThere) {
    ASSERT_TRUE(rig.player->play(true));
    ASSERT_EQ(rig.hear(2000), 2000U);
    ASSERT_TRUE(rig.player->pause());
    ASSERT_TRUE(rig.player->setPositionBytes(kRate * kStereoFrame));
    EXPECT_EQ(rig.player->activity(), kActivePaused);
    EXPECT_EQ(rig.player->positionBytes(), kRate * kStereoFrame);
    ASSERT_TRUE(rig.player->play(false));
    rig.heard.clear();
    ASSERT_EQ(rig.hear(1000), 1000U);
    // One second in is where the tone starts: loud from the first frame.
    EXPECT_GT(*std::max_element(rig.heard.begin(), rig.heard.begin() + 200), 10000);
    EXPECT_EQ(rig.player->positionBytes(), (kRate + 1000) * kStereoFrame);
}

TEST_F(PlayerOnWav, APositionPastTheEndIsRefused) {
    ASSERT_TRUE(rig.player->play(true));
    ASSERT_EQ(rig.hear(500), 500U);
    EXPECT_FALSE(rig.player->setPositionBytes(rig.player->lengthBytes()));
    EXPECT_EQ(rig.player->lastError(), kErrPosition);
    EXPECT_EQ(rig.player->positionBytes(), 500 * kStereoFrame);
    // An odd byte count is rounded down to a whole frame.
    ASSERT_TRUE(rig.player->setPositionBytes(4003));
    EXPECT_EQ(rig.player->positionBytes(), 4000U);
}

TEST_F(PlayerOnWav, SpectrumShowsTheToneBeingHeardNotTheOneDecoded) {
    ASSERT_TRUE(rig.player->play(true));
    // Still in the silent first second, while the decoder is long past the onset.
    ASSERT_EQ(rig.hear(kRate / 2), kRate / 2);
    ASSERT_TRUE(decoderReadPast(soundfiles::onsetSeconds(Kind::Wav) + 0.4));
    std::array<float, Spectrum1024::kBins> bins{};
    ASSERT_TRUE(rig.player->spectrum(bins.data()));
    EXPECT_LT(*std::max_element(bins.begin(), bins.end()), 0.001f);

    ASSERT_TRUE(rig.player->setPositionBytes(kRate * 3 / 2 * kStereoFrame));
    ASSERT_EQ(rig.hear(4096), 4096U);
    ASSERT_TRUE(rig.player->spectrum(bins.data()));
    const auto peak = std::max_element(bins.begin(), bins.end());
    // 1000 Hz / 44100 Hz * 1024 = 23.2
    EXPECT_EQ(peak - bins.begin(), 23);
    EXPECT_GT(*peak, 0.7f);
    EXPECT_LT(*peak, 1.05f);
}

TEST(PlayerLayout, MonoPlaysAsMonoWithTwoBytesAFrame) {
    TempFolder dir;
    Rig rig;
    ASSERT_TRUE(rig.open(soundfiles::makeWav(dir, "mono.wav", 1)));
    EXPECT_EQ(rig.player->format().channels, 1U);
    EXPECT_EQ(rig.player->lengthBytes(), 3U * kRate * 2);
    EXPECT_DOUBLE_EQ(rig.player->bytesToSeconds(kRate * 2), 1.0);
    ASSERT_TRUE(rig.player->play(true));
    ASSERT_EQ(rig.hear(1000), 1000U);
    EXPECT_EQ(rig.player->positionBytes(), 2000U);
}

class PlayerEachKind : public ::testing::TestWithParam<Kind> {};

TEST_P(PlayerEachKind, SeekLandsWhereAskedAndTheToneIsHeardThere) {
    TempFolder dir;
    Rig rig;
    ASSERT_TRUE(rig.open(soundfiles::make(dir, GetParam())));
    ASSERT_TRUE(rig.player->play(true));
    ASSERT_EQ(rig.hear(3000), 3000U);
    const uint64_t target = kRate * 9 / 10;
    ASSERT_TRUE(rig.player->setPositionBytes(target * kStereoFrame));
    EXPECT_EQ(rig.positionFrames(), target);
    rig.heard.clear();
    ASSERT_EQ(rig.hear(kRate / 2), kRate / 2);
    EXPECT_EQ(rig.positionFrames(), target + kRate / 2);
    const long onset = soundfiles::onsetFrame(rig.heard, 2);
    ASSERT_GE(onset, 0);
    EXPECT_NEAR(static_cast<double>(target + onset) / kRate, soundfiles::onsetSeconds(GetParam()),
                0.005);

    // And on to the end: stopped, at the length it announced (or one codec
    // frame short of it).
    rig.hear(10 * kRate);
    EXPECT_EQ(rig.player->activity(), kActiveStopped);
    const uint64_t length = rig.player->lengthBytes() / kStereoFrame;
    EXPECT_LE(rig.positionFrames(), length);
    EXPECT_GE(rig.positionFrames() + soundfiles::lengthSlack(GetParam()), length);
}

INSTANTIATE_TEST_SUITE_P(Formats, PlayerEachKind,
                         ::testing::Values(Kind::Wav, Kind::ImaAdpcm, Kind::Mp3, Kind::Ogg,
                                           Kind::Wma),
                         [](const auto& info) { return soundfiles::nameOf(info.param); });

TEST(PlayerRealTime, ThePaceOfTheSinkDrivesThePosition) {
    TempFolder dir;
    Rig rig;
    ASSERT_TRUE(rig.open(soundfiles::make(dir, Kind::Wav), 1.0));
    ASSERT_TRUE(rig.player->play(true));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const double at = rig.player->bytesToSeconds(rig.player->positionBytes());
    EXPECT_GT(at, 0.25);
    EXPECT_LT(at, 0.55);
    ASSERT_TRUE(rig.player->pause());
    const uint64_t paused = rig.player->positionBytes();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(rig.player->positionBytes(), paused);
}

TEST(PlayerRealTime, AFastSinkPlaysToTheEnd) {
    TempFolder dir;
    Rig rig;
    ASSERT_TRUE(rig.open(soundfiles::make(dir, Kind::Ogg), 8.0));
    ASSERT_TRUE(rig.player->play(true));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (rig.player->activity() != kActiveStopped &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(rig.player->activity(), kActiveStopped);
    EXPECT_EQ(rig.player->positionBytes(), rig.player->lengthBytes());
}

} // namespace
} // namespace audiolib
