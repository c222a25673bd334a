#include "audio/RecordCommands.h"
#include "audio/WaveFormatBlock.h"

#include <gtest/gtest.h>

#include <vector>

using namespace reccmd;

TEST(LameOptions, BitrateOrVbrThenChannelModeCrcIgnored) {
    EXPECT_EQ(lameOptions(128, false, 2, 5), " -b 128 -m s ");
    EXPECT_EQ(lameOptions(128, false, 1, 5), " -b 128 -m m ");
    EXPECT_EQ(lameOptions(128, true, 3, 4), " -V4 -m j ");
    EXPECT_EQ(lameOptions(128, true, 0, 4), " -V4");
    EXPECT_EQ(lameOptions(320, false, -1, 0), " -b 320");
    EXPECT_EQ(lameOptions(64, false, 4, 0), " -b 64");
}

TEST(OggOptions, QualityInDecimal) {
    EXPECT_EQ(oggOptions(5), " -q 5");
    EXPECT_EQ(oggOptions(-1), " -q -1");
    EXPECT_EQ(oggOptions(10), " -q 10");
}

TEST(EncoderCommandLines, KeepTheDoubleBlanksAndQuoteOnlyTheOutput) {
    EXPECT_EQ(lameCommandLine("/opt/to va/", lameOptions(128, false, 2, 0), "/rec/a b.mp3"),
              "/opt/to va/lame  -b 128 -m s  - \"/rec/a b.mp3\"");
    EXPECT_EQ(oggCommandLine("/opt/tova/", oggOptions(5), "/rec/take.ogg"),
              "/opt/tova/oggenc2  -q 5 -o \"/rec/take.ogg\" - ");
    // Blank option strings leave the line well formed.
    EXPECT_EQ(lameCommandLine("/p/", "", "/r/x.mp3"), "/p/lame  - \"/r/x.mp3\"");
    EXPECT_EQ(oggCommandLine("/p/", "", "/r/x.ogg"), "/p/oggenc2  -o \"/r/x.ogg\" - ");
}

TEST(AdjustFileExt, AppendsOrReplacesInTheFileNameOnly) {
    EXPECT_EQ(adjustFileExt(rofOGG, "/rec/take"), "/rec/take.ogg");
    EXPECT_EQ(adjustFileExt(rofMP3, "/rec/take.wav"), "/rec/take.mp3");
    EXPECT_EQ(adjustFileExt(rofMP3, "/rec/a.wav.wav"), "/rec/a.mp3.mp3");
    EXPECT_EQ(adjustFileExt(rofMP3, "/rec/take.MP3"), "/rec/take.mp3");
    EXPECT_EQ(adjustFileExt(rofWMA, "/rec/take.wma"), "/rec/take.wma");
    EXPECT_EQ(adjustFileExt(rofWAVE, "/rec/take.ogg"), "/rec/take.wav");
    // A dot in a folder name is not an extension.
    EXPECT_EQ(adjustFileExt(rofWAVE, "/rec.d/take"), "/rec.d/take.wav");
    EXPECT_EQ(adjustFileExt(rofOGG, "/rec.wav/take.wav"), "/rec.wav/take.ogg");
    // The comparison is case-sensitive: only the exact old extension changes.
    EXPECT_EQ(adjustFileExt(rofOGG, "/r/x.WAV.wav"), "/r/x.WAV.ogg");
    EXPECT_EQ(adjustFileExt(rofMP3, "take.wav"), "take.mp3");
}

TEST(ErrorMessage, KnownCodesAndEmptyOtherwise) {
    EXPECT_EQ(errorMessage(-1000), "Recording failed!");
    EXPECT_EQ(errorMessage(-2), "Initialize abnormalities.");
    EXPECT_EQ(errorMessage(-1), "Unknown failure.");
    EXPECT_EQ(errorMessage(-9001), "Not enough space for environment.");
    EXPECT_EQ(errorMessage(-10001), "Please input valid filepath.");
    EXPECT_EQ(errorMessage(0), "");
    EXPECT_EQ(errorMessage(-999), "");
    EXPECT_EQ(errorMessage(2000), "");
}

TEST(OutFormatExt, OrdinalsMapToExtensions) {
    EXPECT_STREQ(OutFormatExt(rofWAVE), ".wav");
    EXPECT_STREQ(OutFormatExt(rofMP3), ".mp3");
    EXPECT_STREQ(OutFormatExt(rofWMA), ".wma");
    EXPECT_STREQ(OutFormatExt(rofOGG), ".ogg");
}

struct PcmCase {
    uint16_t channels, bits;
    uint32_t rate;
    uint16_t blockAlign;
    uint32_t avgBytes;
};

TEST(WaveFormatBlock, PcmHeadDerivesAlignAndByteRate) {
    for (PcmCase c : {PcmCase{2, 16, 44100, 4, 176400}, PcmCase{1, 8, 8000, 1, 8000},
                      PcmCase{2, 24, 22050, 6, 132300}}) {
        SCOPED_TRACE(c.rate);
        std::vector<uint8_t> block(50, 0xAA);
        ASSERT_TRUE(wavefmt::writeHead(block.data(), block.size(),
                                       wavefmt::pcmHead(c.channels, c.bits, c.rate)));
        // Little-endian on the wire, whatever the host.
        EXPECT_EQ(block[0], 1);
        EXPECT_EQ(block[1], 0);
        EXPECT_EQ(block[2], c.channels);
        wavefmt::Head h;
        ASSERT_TRUE(wavefmt::readHead(block.data(), block.size(), h));
        EXPECT_EQ(h.formatTag, 1);
        EXPECT_EQ(h.channels, c.channels);
        EXPECT_EQ(h.samplesPerSec, c.rate);
        EXPECT_EQ(h.bitsPerSample, c.bits);
        EXPECT_EQ(h.blockAlign, c.blockAlign);
        EXPECT_EQ(h.avgBytesPerSec, c.avgBytes);
        EXPECT_EQ(h.cbSize, 0);
        EXPECT_EQ(block[18], 0xAA) << "nothing written past the head";
    }
}

TEST(WaveFormatBlock, ShortBlocksAreRefused) {
    std::vector<uint8_t> block(17, 0);
    wavefmt::Head h;
    EXPECT_FALSE(wavefmt::readHead(block.data(), block.size(), h));
    EXPECT_FALSE(wavefmt::writeHead(block.data(), block.size(), h));
    EXPECT_FALSE(wavefmt::readHead(nullptr, 100, h));
    EXPECT_EQ(wavefmt::writeCodecBlock(block.data(), block.size(), wavefmt::kTagPcm, 2, 16, 44100),
              0u);
}

TEST(WaveFormatBlock, CodecBlocksCarryWhatTheirDecodersNeed) {
    std::vector<uint8_t> block(64, 0);
    wavefmt::Head h;

    ASSERT_EQ(wavefmt::writeCodecBlock(block.data(), block.size(), wavefmt::kTagALaw, 1, 16, 8000),
              18u);
    ASSERT_TRUE(wavefmt::readHead(block.data(), block.size(), h));
    EXPECT_EQ(h.bitsPerSample, 8);
    EXPECT_EQ(h.blockAlign, 1);
    EXPECT_EQ(h.avgBytesPerSec, 8000u);

    ASSERT_EQ(
        wavefmt::writeCodecBlock(block.data(), block.size(), wavefmt::kTagImaAdpcm, 2, 16, 22050),
        20u);
    ASSERT_TRUE(wavefmt::readHead(block.data(), block.size(), h));
    EXPECT_EQ(h.bitsPerSample, 4);
    EXPECT_EQ(h.blockAlign, 1024);
    EXPECT_EQ(h.cbSize, 2);
    EXPECT_EQ(block[18] | (block[19] << 8), 1017) << "samples per block";

    ASSERT_EQ(
        wavefmt::writeCodecBlock(block.data(), block.size(), wavefmt::kTagMsAdpcm, 1, 16, 44100),
        50u);
    ASSERT_TRUE(wavefmt::readHead(block.data(), block.size(), h));
    EXPECT_EQ(h.blockAlign, 1024);
    EXPECT_EQ(h.cbSize, 32);
    EXPECT_EQ(block[18] | (block[19] << 8), 2036) << "samples per block";
    EXPECT_EQ(block[20], 7) << "coefficient count";
    // Second pair (512, -256).
    EXPECT_EQ(static_cast<int16_t>(block[26] | (block[27] << 8)), 512);
    EXPECT_EQ(static_cast<int16_t>(block[28] | (block[29] << 8)), -256);

    EXPECT_EQ(wavefmt::writeCodecBlock(block.data(), block.size(), 0x55, 2, 16, 44100), 0u);
    EXPECT_EQ(wavefmt::writeCodecBlock(block.data(), block.size(), wavefmt::kTagPcm, 2, 12, 44100),
              0u);
    EXPECT_EQ(wavefmt::writeCodecBlock(block.data(), 40, wavefmt::kTagMsAdpcm, 2, 16, 44100), 0u)
        << "an MS ADPCM block does not fit in 40 bytes";
}
