// Encoders on a recording channel, driven the way the recording engine drives
// them: a virtual input playing a 1 kHz sine, blocks pushed by the test.
#include "audio/WaveFormatBlock.h"
#include "audio/lib/AudioLib.h"
#include "audio/lib/WaveFormat.h"
#include "tests/audio/lib/RecordingFixture.h"
#include "tests/audio/lib/support/AudioCheck.h"
#include "tests/support/TempFolder.h"

#include <array>
#include <filesystem>

namespace audiolib::testing {
namespace {

using audiotest::decodeFile;
using audiotest::loudestFrequency;

struct Block {
    std::array<uint8_t, kWaveFormatMaxSize> bytes{};
    Block(uint16_t tag, uint16_t channels, uint16_t bits, uint32_t rate) {
        wavefmt::writeCodecBlock(bytes.data(), bytes.size(), tag, channels, bits, rate);
    }
};

class CodecRecording : public VirtualRecording {
protected:
    TempFolder dir;
    const std::filesystem::path file = dir / "take.wav";

    Handle startPaused() {
        EXPECT_TRUE(recordSetInput(0, kInputOn, -1.0f));
        return recordStart(44100, 2, kRecordPause, recordToLog, &callback);
    }
};

TEST_F(CodecRecording, WavCodecFileHoldsWhatWasCaptured) {
    const Handle ch = startPaused();
    ASSERT_NE(ch, 0u);
    Block block(audiolib::kWaveImaAdpcm, 1, 4, 22050);
    ASSERT_EQ(
        encodeStartCodecFile(ch, block.bytes.data(), kUnicode | kEncodeAutoFree, file.c_str()), ch);
    EXPECT_NE(encodeIsActive(ch), 0);
    ASSERT_TRUE(channelPlay(ch, false));
    ASSERT_EQ(device->pushBlocks(100), 100u); // 2 s
    ASSERT_TRUE(channelStop(ch));

    // Complete the moment stop returns.
    const auto header = audiotest::readWavHeader(file);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->format.formatTag, kWaveImaAdpcm);
    EXPECT_EQ(header->riffSize, header->fileSize - 8);
    const auto d = decodeFile(file);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->rate, 22050);
    EXPECT_EQ(d->channels, 1);
    EXPECT_GE(d->seconds(), 2.0 - 0.001);
    EXPECT_LE(d->seconds(), 2.0 + 1017.0 / 22050); // one block (1017 samples) of padding at most
    EXPECT_NEAR(loudestFrequency(d->mono, d->rate), 1000.0, 5.0);
}

TEST_F(CodecRecording, StartFailuresLeaveNoFileAndTheChannelUsable) {
    const Handle ch = startPaused();
    ASSERT_NE(ch, 0u);
    Block pcm(audiolib::kWavePcm, 2, 16, 44100);

    EXPECT_EQ(encodeStartCodecFile(ch + 1000, pcm.bytes.data(), 0, file.c_str()), 0u);
    EXPECT_EQ(errorCode(), kErrHandle);

    Block bad(0x0055, 2, 16, 44100); // a codec we do not offer: no block at all
    EXPECT_EQ(encodeStartCodecFile(ch, bad.bytes.data(), 0, file.c_str()), 0u);
    EXPECT_EQ(errorCode(), kErrFormat);
    EXPECT_EQ(encodeStartCodecFile(ch, nullptr, 0, file.c_str()), 0u);
    EXPECT_EQ(errorCode(), kErrFormat);

    const auto unwritable = dir / "no" / "such" / "take.wav";
    EXPECT_EQ(encodeStartCodecFile(ch, pcm.bytes.data(), 0, unwritable.c_str()), 0u);
    EXPECT_EQ(errorCode(), kErrFileOpen);
    EXPECT_FALSE(std::filesystem::exists(file));

    // The channel still takes an encoder after all that.
    EXPECT_EQ(encodeStartCodecFile(ch, pcm.bytes.data(), 0, file.c_str()), ch);
    ASSERT_TRUE(channelStop(ch));
    EXPECT_TRUE(std::filesystem::exists(file));
}

// The record callback hands every block to the WMA encoder, as the recording
// engine's does.
struct WmaTarget {
    Handle encoder = 0;
    int refused = 0;
};
bool recordToWma(Handle, const void* buffer, uint32_t length, void* user) {
    auto* t = static_cast<WmaTarget*>(user);
    const bool ok = wmaEncodeWrite(t->encoder, buffer, length);
    t->refused += ok ? 0 : 1;
    return ok;
}

TEST_F(CodecRecording, WmaThroughTheRecordCallback) {
    const auto wma = dir / "take.wma";
    WmaTarget target;
    target.encoder = wmaEncodeOpenFile(22050, 1, kWmaEncodeStandard | kUnicode, 32000, wma.c_str());
    ASSERT_NE(target.encoder, 0u);
    ASSERT_TRUE(wmaEncodeSetTag(target.encoder, nullptr, nullptr, 0));
    EXPECT_TRUE(recordSetInput(0, kInputOn, -1.0f));
    const Handle ch = recordStart(44100, 2, kRecordPause, recordToWma, &target);
    ASSERT_NE(ch, 0u);
    ASSERT_TRUE(channelPlay(ch, false));
    ASSERT_EQ(device->pushBlocks(150), 150u); // 3 s
    ASSERT_TRUE(channelStop(ch));
    ASSERT_TRUE(wmaEncodeClose(target.encoder));
    EXPECT_FALSE(wmaEncodeClose(target.encoder)); // the engine's second stop
    EXPECT_EQ(target.refused, 0);

    const auto d = decodeFile(wma);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->rate, 22050);
    EXPECT_GE(d->seconds(), 3.0);
    EXPECT_LE(d->seconds(), 3.0 + 0.2);
    EXPECT_NEAR(loudestFrequency(d->mono, d->rate), 1000.0, 5.0);
}

} // namespace
} // namespace audiolib::testing
