// Reading and writing the packed WAVEFORMATEX block.
#include "audio/lib/WaveFormat.h"
#include "audio/WaveFormatBlock.h"

#include <gtest/gtest.h>

#include <array>

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
