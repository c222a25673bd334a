// WAV files in every offered codec, checked by decoding them with FFmpeg's
// decoders and reading the RIFF header ourselves.
#include "audio/lib/ffmpeg/CodecFileEncoder.h"
#include "audio/WaveFormatBlock.h"
#include "audio/lib/AudioLib.h"
#include "audio/lib/WaveFormat.h"
#include "tests/audio/lib/support/AudioCheck.h"
#include "tests/audio/lib/support/FileSizeLimit.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WriteFailure.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>

namespace audiolib::ffmpeg {
namespace {

using audiotest::decodeFile;
using audiotest::loudestFrequency;
using audiotest::readWavHeader;
using audiotest::stereoTone;

// The block as the codec dialog writes it.
WaveFormat dialogBlock(uint16_t tag, uint16_t bits, uint32_t rate, uint16_t channels) {
    std::array<uint8_t, kWaveFormatMaxSize> block{};
    const size_t n =
        wavefmt::writeCodecBlock(block.data(), block.size(), tag, channels, bits, rate);
    auto f = readWaveFormat(block.data(), n);
    return f ? *f : WaveFormat{};
}

struct CodecCase {
    uint16_t tag;
    uint16_t bits;
    uint32_t rate;
    uint16_t channels;
    const char* decoder;
};

void PrintTo(const CodecCase& c, std::ostream* os) {
    *os << c.decoder << " " << c.rate << " Hz " << c.channels << " ch";
}

class CodecFileEncoderTone : public ::testing::TestWithParam<CodecCase> {};

TEST_P(CodecFileEncoderTone, KeepsFormatLengthAndTone) {
    const CodecCase c = GetParam();
    TempFolder dir;
    const auto path = dir / "tone.wav";
    int error = -1;
    auto enc = CodecFileEncoder::create(dialogBlock(c.tag, c.bits, c.rate, c.channels),
                                        path.string(), error);
    ASSERT_TRUE(enc) << "error " << error;
    EXPECT_EQ(error, kOk);

    const double seconds = 1.5;
    const auto tone = stereoTone(1000, seconds);
    const size_t frames = tone.size() / 2;
    // Blocks of an odd size, as the capture delivers them.
    for (size_t at = 0; at < frames; at += 1103)
        ASSERT_TRUE(enc->write(tone.data() + 2 * at, std::min<size_t>(1103, frames - at)));
    EXPECT_TRUE(enc->active());
    enc->finish();
    EXPECT_FALSE(enc->active());

    const auto header = readWavHeader(path);
    ASSERT_TRUE(header);
    if (c.bits == 24) {
        // 24-bit PCM is written the extensible way, with PCM as sub-format.
        EXPECT_EQ(header->format.formatTag, kWaveExtensible);
        ASSERT_GE(header->format.extra.size(), 8u);
        EXPECT_EQ(header->format.extra[6], 1);
        EXPECT_EQ(header->format.extra[7], 0);
    } else {
        EXPECT_EQ(header->format.formatTag, c.tag);
    }
    EXPECT_EQ(header->format.channels, c.channels);
    EXPECT_EQ(header->format.samplesPerSec, c.rate);
    EXPECT_EQ(header->format.bitsPerSample, c.bits);
    // The trailer fixed both sizes; an odd data chunk has a pad byte.
    EXPECT_EQ(header->riffSize, header->fileSize - 8);
    EXPECT_EQ(header->dataOffset + header->dataSize + (header->dataSize & 1), header->fileSize);

    const auto decoded = decodeFile(path);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->codec, c.decoder);
    EXPECT_EQ(decoded->rate, static_cast<int>(c.rate));
    EXPECT_EQ(decoded->channels, c.channels);
    // ADPCM pads its last block with silence; nothing may be lost.
    const double slack = header->format.blockAlign > 8 ? 0.3 : 0.01;
    EXPECT_GE(decoded->seconds(), seconds - 0.005);
    EXPECT_LE(decoded->seconds(), seconds + slack);
    EXPECT_NEAR(loudestFrequency(decoded->mono, decoded->rate), 1000.0, 5.0);
}

INSTANTIATE_TEST_SUITE_P(Codecs, CodecFileEncoderTone,
                         ::testing::Values(CodecCase{kWavePcm, 8, 8000, 1, "pcm_u8"},
                                           CodecCase{kWavePcm, 8, 22050, 2, "pcm_u8"},
                                           CodecCase{kWavePcm, 16, 44100, 2, "pcm_s16le"},
                                           CodecCase{kWavePcm, 16, 11025, 1, "pcm_s16le"},
                                           CodecCase{kWavePcm, 24, 44100, 1, "pcm_s24le"},
                                           CodecCase{kWavePcm, 24, 32000, 2, "pcm_s24le"},
                                           CodecCase{kWaveALaw, 8, 8000, 1, "pcm_alaw"},
                                           CodecCase{kWaveALaw, 8, 44100, 2, "pcm_alaw"},
                                           CodecCase{kWaveMuLaw, 8, 8000, 2, "pcm_mulaw"},
                                           CodecCase{kWaveMuLaw, 8, 22050, 1, "pcm_mulaw"},
                                           CodecCase{kWaveImaAdpcm, 4, 8000, 1, "adpcm_ima_wav"},
                                           CodecCase{kWaveImaAdpcm, 4, 22050, 2, "adpcm_ima_wav"},
                                           CodecCase{kWaveImaAdpcm, 4, 44100, 2, "adpcm_ima_wav"},
                                           CodecCase{kWaveMsAdpcm, 4, 11025, 1, "adpcm_ms"},
                                           CodecCase{kWaveMsAdpcm, 4, 32000, 2, "adpcm_ms"},
                                           CodecCase{kWaveMsAdpcm, 4, 44100, 2, "adpcm_ms"}));

TEST(CodecFileEncoder, EmptyRecordingIsStillAValidFile) {
    TempFolder dir;
    const auto path = dir / "empty.wav";
    int error = -1;
    auto enc = CodecFileEncoder::create(pcmWaveFormat(2, 16, 44100), path.string(), error);
    ASSERT_TRUE(enc);
    enc->finish();
    const auto header = readWavHeader(path);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->dataSize, 0u);
    EXPECT_EQ(header->riffSize, header->fileSize - 8);
}

TEST(CodecFileEncoder, RefusesWritesOnceFinished) {
    TempFolder dir;
    int error = -1;
    auto enc =
        CodecFileEncoder::create(pcmWaveFormat(1, 16, 8000), (dir / "a.wav").string(), error);
    ASSERT_TRUE(enc);
    const auto tone = stereoTone(1000, 0.1);
    EXPECT_TRUE(enc->write(tone.data(), tone.size() / 2));
    enc->finish();
    enc->finish(); // a second finish is harmless
    EXPECT_FALSE(enc->write(tone.data(), tone.size() / 2));
    EXPECT_FALSE(enc->active());
}

TEST(CodecFileEncoder, UncreatableFileFailsAndLeavesNothing) {
    TempFolder dir;
    const auto path = dir / "missing" / "a.wav";
    int error = kOk;
    EXPECT_FALSE(CodecFileEncoder::create(pcmWaveFormat(2, 16, 44100), path.string(), error));
    EXPECT_EQ(error, kErrFileOpen);
    EXPECT_FALSE(std::filesystem::exists(path.parent_path()));
    EXPECT_FALSE(CodecFileEncoder::create(pcmWaveFormat(2, 16, 44100), "", error));
    EXPECT_EQ(error, kErrFileOpen);
}

TEST(CodecFileEncoder, FolderRefusingWritesFailsTheStart) {
    TempFolder dir;
    const auto path = dir / "a.wav";
    int error = kOk;
    {
        WriteFailure refuse(dir.path());
        EXPECT_FALSE(CodecFileEncoder::create(pcmWaveFormat(2, 16, 44100), path.string(), error));
    }
    EXPECT_EQ(error, kErrFileOpen);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(CodecFileEncoder, FullDiskStopsTheEncoder) {
    TempFolder dir;
    const auto path = dir / "a.wav";
    const auto tone = stereoTone(1000, 2);
    int error = kOk;
    bool refused = false;
    {
        FileSizeLimit full(64 * 1024);
        auto enc = CodecFileEncoder::create(pcmWaveFormat(2, 16, 44100), path.string(), error);
        ASSERT_TRUE(enc);
        for (size_t at = 0; at < tone.size() / 2 && !refused; at += 882)
            refused = !enc->write(tone.data() + 2 * at, 882);
        EXPECT_FALSE(enc->active());
        enc->finish();
    }
    EXPECT_TRUE(refused);
    // What reached the disk stays, up to the limit.
    EXPECT_LE(std::filesystem::file_size(path), 64u * 1024);
}

TEST(CodecFileEncoder, BlocksWeCannotWriteFailBeforeAFileExists) {
    auto adpcm = dialogBlock(kWaveImaAdpcm, 4, 22050, 2);
    auto oddBlock = adpcm;
    oddBlock.blockAlign = 1000; // not a power of two
    auto tinyBlock = adpcm;
    tinyBlock.blockAlign = 32; // no room for a block head per channel and data
    auto misaligned = pcmWaveFormat(2, 16, 44100);
    misaligned.blockAlign = 2;
    WaveFormat mp3 = pcmWaveFormat(2, 16, 44100);
    mp3.formatTag = 0x0055;
    const std::array bad{
        mp3,
        pcmWaveFormat(2, 12, 44100),
        pcmWaveFormat(3, 16, 44100),
        pcmWaveFormat(0, 16, 44100),
        pcmWaveFormat(2, 16, 48000),
        pcmWaveFormat(2, 16, 4000),
        misaligned,
        oddBlock,
        tinyBlock,
        WaveFormat{},
    };
    TempFolder dir;
    const auto path = dir / "bad.wav";
    for (const auto& f : bad) {
        int error = kOk;
        EXPECT_FALSE(CodecFileEncoder::create(f, path.string(), error))
            << "tag " << f.formatTag << " bits " << f.bitsPerSample;
        EXPECT_EQ(error, kErrFormat);
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

} // namespace
} // namespace audiolib::ffmpeg
