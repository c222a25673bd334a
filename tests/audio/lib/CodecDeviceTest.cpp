// The encoders on a real sound server: a 1 kHz tone played into the null
// sink "rec" is recorded from its monitor and must come out of the file.
#include "audio/WaveFormatBlock.h"
#include "audio/lib/AudioLib.h"
#include "audio/lib/WaveFormat.h"
#include "tests/audio/lib/support/AudioCheck.h"
#include "tests/support/ChildProcesses.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>

namespace audiolib {
namespace {

using audiotest::decodeFile;
using audiotest::loudestFrequency;

constexpr double kToneSeconds = 2.5;

// What the record callback does in the recording engine, plus a count of
// the frames captured so the file's length can be checked against it.
struct Capture {
    Handle wma = 0;
    std::atomic<uint64_t> frames{0};
};
bool toCodec(Handle channel, const void*, uint32_t length, void* user) {
    static_cast<Capture*>(user)->frames += length / 4;
    return encodeIsActive(channel) != 0;
}
bool toWma(Handle, const void* buffer, uint32_t length, void* user) {
    auto* c = static_cast<Capture*>(user);
    c->frames += length / 4;
    return wmaEncodeWrite(c->wma, buffer, length);
}

class CodecDevice : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(
            RunProcess({"sox", "-q", "-n", "-r", "44100", "-c", "2", "-b", "16", tone.string(),
                        "synth", std::to_string(kToneSeconds), "sine", "1000", "vol", "0.5"}),
            0);
        ASSERT_TRUE(recordInit(-1)) << "no sound server";
        int monitor = -1;
        for (int i = 0; const char* name = recordGetInputName(i); ++i)
            if (std::string(name) == "Monitor of RecSink")
                monitor = i;
        ASSERT_GE(monitor, 0) << "no monitor of the null sink \"rec\"";
        ASSERT_TRUE(recordSetInput(monitor, kInputOn, -1.0f));
        ASSERT_TRUE(recordSetInput(monitor, 0, 1.0f));
    }
    void TearDown() override { recordFree(); }

    // Plays the tone into the sink while the channel runs, then a little
    // silence, and stops the channel.
    void playAndStop(Handle channel) {
        ASSERT_TRUE(channelPlay(channel, false));
        EXPECT_EQ(RunProcess({"paplay", "--device=rec", tone.string()}), 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ASSERT_TRUE(channelStop(channel));
    }

    void expectTone(const std::filesystem::path& file, int rate, int channels, double slack) {
        const auto d = decodeFile(file);
        ASSERT_TRUE(d);
        EXPECT_EQ(d->rate, rate);
        EXPECT_EQ(d->channels, channels);
        const double captured = static_cast<double>(capture.frames) / 44100;
        EXPECT_GE(captured, kToneSeconds);
        EXPECT_GE(d->seconds(), captured - 0.005);
        EXPECT_LE(d->seconds(), captured + slack);
        EXPECT_NEAR(loudestFrequency(d->mono, d->rate), 1000.0, 5.0);
    }

    TempFolder dir;
    const std::filesystem::path tone = dir / "tone.wav";
    Capture capture;
};

TEST_F(CodecDevice, PcmAndAdpcmFilesFromTheMonitor) {
    struct Case {
        uint16_t tag, channels, bits;
        uint32_t rate;
        double slack; // ADPCM pads its last block: up to one block longer
    };
    for (const Case c : {Case{audiolib::kWavePcm, 2, 16, 44100, 0.005},
                         Case{audiolib::kWaveMsAdpcm, 1, 4, 22050, 1012.0 / 22050}}) {
        capture.frames = 0;
        std::array<uint8_t, kWaveFormatMaxSize> block{};
        ASSERT_GT(
            wavefmt::writeCodecBlock(block.data(), block.size(), c.tag, c.channels, c.bits, c.rate),
            0u);
        const Handle ch = recordStart(44100, 2, kRecordPause, toCodec, &capture);
        ASSERT_NE(ch, 0u);
        const auto file = dir / ("take" + std::to_string(c.tag) + ".wav");
        ASSERT_EQ(encodeStartCodecFile(ch, block.data(), kUnicode | kEncodeAutoFree, file.c_str()),
                  ch);
        playAndStop(ch);
        expectTone(file, static_cast<int>(c.rate), c.channels, c.slack);
    }
}

TEST_F(CodecDevice, WmaFromTheRecordCallback) {
    struct Case {
        uint32_t rate, channels, bitrate;
    };
    for (const Case c : {Case{44100, 2, 128000}, Case{22050, 1, 32000}}) {
        capture.frames = 0;
        const auto file = dir / ("take" + std::to_string(c.rate) + ".wma");
        capture.wma = wmaEncodeOpenFile(c.rate, c.channels, kWmaEncodeStandard | kUnicode,
                                        c.bitrate, file.c_str());
        ASSERT_NE(capture.wma, 0u);
        ASSERT_TRUE(wmaEncodeSetTag(capture.wma, nullptr, nullptr, 0));
        const Handle ch = recordStart(44100, 2, kRecordPause, toWma, &capture);
        ASSERT_NE(ch, 0u);
        playAndStop(ch);
        ASSERT_TRUE(wmaEncodeClose(capture.wma));
        expectTone(file, static_cast<int>(c.rate), static_cast<int>(c.channels),
                   2.0 * 2048 / c.rate + 0.01);
    }
}

} // namespace
} // namespace audiolib
