// Reading and writing the packed WAVEFORMATEX block.
#include "audio/lib/WaveFormat.h"
#include "audio/WaveFormatBlock.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace audiolib {
namespace {

TEST(WaveFormat, BytesAreLittleEndianAndPacked) {
    WaveFormat f = pcmWaveFormat(2, 24, 22050);
    f.extra = {0xAB, 0xCD};
    std::array<uint8_t, 32> block{};
    ASSERT_EQ(writeWaveFormat(f, block.data(), block.size()), 20u);
    const std::array<uint8_t, 20> expected{0x01, 0x00, 0x02, 0x00, 0x22, 0x56, 0x00,
                                           0x00, 0xCC, 0x04, 0x02, 0x00, 0x06, 0x00,
                                           0x18, 0x00, 0x02, 0x00, 0xAB, 0xCD};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), block.begin()));
    EXPECT_EQ(block[20], 0); // nothing beyond the block
    const auto back = readWaveFormat(block.data(), 20);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, f);
}

TEST(WaveFormat, FileHeaderHoldsTheClassicPcmChunkOrTheWholeBlock) {
    // What the external encoders read from their standard input.
    const std::vector<uint8_t> pcm{'R', 'I', 'F',  'F',  0xFF, 0xFF, 0xFF, 0xFF, 'W',  'A',  'V',
                                   'E', 'f', 'm',  't',  ' ',  16,   0,    0,    0,    1,    0,
                                   2,   0,   0x44, 0xAC, 0,    0,    0x10, 0xB1, 0x02, 0,    4,
                                   0,   16,  0,    'd',  'a',  't',  'a',  0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(wavFileHeader(pcmWaveFormat(2, 16, 44100), 0xFFFFFFFFu, 0xFFFFFFFFu), pcm);

    WaveFormat ima = pcmWaveFormat(1, 4, 8000);
    ima.formatTag = kWaveImaAdpcm;
    ima.extra = {0xF9, 0x01};
    const auto h = wavFileHeader(ima, 1000, 952);
    ASSERT_EQ(h.size(), 48u);
    EXPECT_EQ(h[16], 20); // the block with cbSize and extras
    EXPECT_EQ(readWaveFormat(h.data() + 20, 20), ima);
    EXPECT_EQ(std::string(h.begin() + 40, h.begin() + 44), "data");
    EXPECT_EQ(h[44] | h[45] << 8, 952);
}

TEST(WaveFormat, ShortBuffersAreRefused) {
    WaveFormat f = pcmWaveFormat(1, 8, 8000);
    f.extra.resize(4);
    std::array<uint8_t, 22> block{};
    EXPECT_EQ(writeWaveFormat(f, block.data(), 21), 0u);
    EXPECT_EQ(block[0], 0); // untouched
    ASSERT_EQ(writeWaveFormat(f, block.data(), block.size()), 22u);
    // A cbSize reaching beyond the buffer, and a buffer shorter than the head.
    EXPECT_FALSE(readWaveFormat(block.data(), 21));
    EXPECT_FALSE(readWaveFormat(block.data(), 17));
    EXPECT_FALSE(readWaveFormat(nullptr, 22));
    // Not even the head fits.
    std::array<uint8_t, 17> tiny{};
    EXPECT_EQ(writeWaveFormat(pcmWaveFormat(2, 16, 44100), tiny.data(), tiny.size()), 0u);
    EXPECT_EQ(wavefmt::writeCodecBlock(tiny.data(), tiny.size(), kWavePcm, 2, 16, 44100), 0u);
}

TEST(WaveFormat, PcmBlockDerivesAlignAndByteRate) {
    struct PcmCase {
        uint16_t channels, bits;
        uint32_t rate;
        uint16_t blockAlign;
        uint32_t avgBytes;
    };
    for (PcmCase c : {PcmCase{2, 16, 44100, 4, 176400}, PcmCase{1, 8, 8000, 1, 8000},
                      PcmCase{2, 24, 22050, 6, 132300}}) {
        SCOPED_TRACE(c.rate);
        std::vector<uint8_t> block(50, 0xAA);
        ASSERT_EQ(
            writeWaveFormat(pcmWaveFormat(c.channels, c.bits, c.rate), block.data(), block.size()),
            kWaveFormatHeadSize);
        // Little-endian on the wire, whatever the host.
        EXPECT_EQ(block[0], 1);
        EXPECT_EQ(block[1], 0);
        EXPECT_EQ(block[2], c.channels);
        const auto h = readWaveFormat(block.data(), block.size());
        ASSERT_TRUE(h);
        EXPECT_EQ(h->formatTag, 1);
        EXPECT_EQ(h->channels, c.channels);
        EXPECT_EQ(h->samplesPerSec, c.rate);
        EXPECT_EQ(h->bitsPerSample, c.bits);
        EXPECT_EQ(h->blockAlign, c.blockAlign);
        EXPECT_EQ(h->avgBytesPerSec, c.avgBytes);
        EXPECT_TRUE(h->extra.empty());
        EXPECT_EQ(block[18], 0xAA) << "nothing written past the head";
    }
}

TEST(WaveFormat, CodecBlocksCarryWhatTheirDecodersNeed) {
    std::vector<uint8_t> block(64, 0);

    ASSERT_EQ(wavefmt::writeCodecBlock(block.data(), block.size(), kWaveALaw, 1, 16, 8000), 18u);
    auto h = readWaveFormat(block.data(), block.size());
    ASSERT_TRUE(h);
    EXPECT_EQ(h->bitsPerSample, 8);
    EXPECT_EQ(h->blockAlign, 1);
    EXPECT_EQ(h->avgBytesPerSec, 8000u);

    ASSERT_EQ(wavefmt::writeCodecBlock(block.data(), block.size(), kWaveImaAdpcm, 2, 16, 22050),
              20u);
    h = readWaveFormat(block.data(), block.size());
    ASSERT_TRUE(h);
    EXPECT_EQ(h->bitsPerSample, 4);
    EXPECT_EQ(h->blockAlign, 1024);
    EXPECT_EQ(h->extra.size(), 2u);
    EXPECT_EQ(block[18] | (block[19] << 8), 1017) << "samples per block";

    ASSERT_EQ(wavefmt::writeCodecBlock(block.data(), block.size(), kWaveMsAdpcm, 1, 16, 44100),
              50u);
    h = readWaveFormat(block.data(), block.size());
    ASSERT_TRUE(h);
    EXPECT_EQ(h->blockAlign, 1024);
    EXPECT_EQ(h->extra.size(), 32u);
    EXPECT_EQ(block[18] | (block[19] << 8), 2036) << "samples per block";
    EXPECT_EQ(block[20], 7) << "coefficient count";
    // Second pair (512, -256).
    EXPECT_EQ(static_cast<int16_t>(block[26] | (block[27] << 8)), 512);
    EXPECT_EQ(static_cast<int16_t>(block[28] | (block[29] << 8)), -256);

    EXPECT_EQ(wavefmt::writeCodecBlock(block.data(), block.size(), 0x55, 2, 16, 44100), 0u);
    EXPECT_EQ(wavefmt::writeCodecBlock(block.data(), block.size(), kWavePcm, 2, 12, 44100), 0u);
    EXPECT_EQ(wavefmt::writeCodecBlock(block.data(), 40, kWaveMsAdpcm, 2, 16, 44100), 0u)
        << "an MS ADPCM block does not fit in 40 bytes";
}

TEST(WaveFormat, EveryBlockTheDialogCanChooseIsWritable) {
    const std::array<uint32_t, 6> rates{8000, 11025, 16000, 22050, 32000, 44100};
    struct Codec {
        uint16_t tag;
        std::vector<uint16_t> bits;
    };
    const std::array<Codec, 5> codecs{{{kWavePcm, {8, 16, 24}},
                                       {kWaveALaw, {8}},
                                       {kWaveMuLaw, {8}},
                                       {kWaveImaAdpcm, {4}},
                                       {kWaveMsAdpcm, {4}}}};
    for (const auto& codec : codecs)
        for (uint16_t bits : codec.bits)
            for (uint32_t rate : rates)
                for (uint16_t channels : {1, 2}) {
                    std::array<uint8_t, kWaveFormatMaxSize> block{};
                    const size_t n = wavefmt::writeCodecBlock(block.data(), block.size(), codec.tag,
                                                              channels, bits, rate);
                    ASSERT_GT(n, 0u);
                    const auto f = readWaveFormat(block.data(), n);
                    ASSERT_TRUE(f);
                    EXPECT_TRUE(isWritableWaveFormat(*f))
                        << codec.tag << " " << bits << " " << rate << " " << channels;
                }
}

} // namespace
} // namespace audiolib
