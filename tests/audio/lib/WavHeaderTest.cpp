// The WAV size fields on either side of 4 GiB, and a header that stays true
// for what a full disk let through.
#include "audio/lib/ffmpeg/WavHeader.h"
#include "audio/lib/AudioLib.h"
#include "audio/lib/LittleEndian.h"
#include "audio/lib/WaveFormat.h"
#include "audio/lib/ffmpeg/CodecFileEncoder.h"
#include "tests/audio/lib/support/AudioCheck.h"
#include "tests/audio/lib/support/FileSizeLimit.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace audiolib::ffmpeg {
namespace {

constexpr uint64_t k4G = 0x100000000;

std::vector<uint8_t> applied(const WavLayout& layout, const WavSizes& sizes) {
    std::vector<uint8_t> head(layout.dataStart, 0);
    for (const WavPatch& p : wavSizePatches(layout, sizes))
        std::memcpy(head.data() + p.offset, p.bytes.data(), p.bytes.size());
    return head;
}

uint64_t get64(const uint8_t* p) {
    return le::get32(p) | (uint64_t{le::get32(p + 4)} << 32);
}

TEST(WavHeader, Rf64StartsWhereTheRiffSizeNoLongerFits) {
    const WavLayout layout{80, 48, true};
    // The largest plain RIFF file: its RIFF size is exactly 0xFFFFFFFF.
    const WavSizes last{k4G + 7, k4G + 7 - 80, (k4G + 7 - 80) / 4};
    auto head = applied(layout, last);
    EXPECT_EQ(std::memcmp(head.data(), "RIFF", 4), 0);
    EXPECT_EQ(le::get32(head.data() + 4), 0xFFFFFFFFu);
    EXPECT_EQ(std::memcmp(head.data() + 12, "JUNK", 4), 0);
    EXPECT_EQ(le::get32(head.data() + 76), static_cast<uint32_t>(last.dataBytes));

    const WavSizes next{k4G + 8, k4G + 8 - 80, (k4G + 8 - 80) / 4};
    head = applied(layout, next);
    EXPECT_EQ(std::memcmp(head.data(), "RF64", 4), 0);
    EXPECT_EQ(le::get32(head.data() + 4), 0xFFFFFFFFu);
    EXPECT_EQ(std::memcmp(head.data() + 12, "ds64", 4), 0);
    EXPECT_EQ(get64(head.data() + 20), k4G);
    EXPECT_EQ(get64(head.data() + 28), next.dataBytes);
    EXPECT_EQ(get64(head.data() + 36), next.frames);
    EXPECT_EQ(le::get32(head.data() + 44), 0u); // no table
    EXPECT_EQ(le::get32(head.data() + 76), 0xFFFFFFFFu);
    // The fact chunk's 32-bit count says "see ds64" once it overflows.
    const WavSizes many{9 * k4G, 9 * k4G - 80, 2 * k4G};
    EXPECT_EQ(le::get32(applied(layout, many).data() + 48), 0xFFFFFFFFu);

    // A header without room for ds64 (an earlier version's) is clamped.
    const auto clamped = applied(WavLayout{80, std::nullopt, false}, next);
    EXPECT_EQ(std::memcmp(clamped.data(), "RIFF", 4), 0);
    EXPECT_EQ(le::get32(clamped.data() + 4), 0xFFFFFFFFu);
    EXPECT_EQ(le::get32(clamped.data() + 76), static_cast<uint32_t>(next.dataBytes));
    const auto huge = applied(WavLayout{80, std::nullopt, false}, many);
    EXPECT_EQ(le::get32(huge.data() + 76), 0xFFFFFFFFu);
}

TEST(WavHeader, LayoutIsFoundOnlyInAWaveHeaderEndingInData) {
    std::vector<uint8_t> head(12 + 36 + 24 + 8, 0);
    std::memcpy(head.data(), "RIFF", 4);
    std::memcpy(head.data() + 8, "WAVE", 4);
    std::memcpy(head.data() + 12, "JUNK", 4);
    le::put32(head.data() + 16, 28);
    std::memcpy(head.data() + 48, "fmt ", 4);
    le::put32(head.data() + 52, 16);
    std::memcpy(head.data() + 72, "data", 4);
    const auto layout = findWavLayout(head.data(), head.size());
    ASSERT_TRUE(layout);
    EXPECT_TRUE(layout->placeholder);
    EXPECT_FALSE(layout->fact);
    EXPECT_EQ(layout->dataStart, head.size());
    // A placeholder too small for ds64 is none.
    le::put32(head.data() + 16, 20);
    std::memcpy(head.data() + 40, "fmt ", 4);
    le::put32(head.data() + 44, 24);
    EXPECT_FALSE(findWavLayout(head.data(), head.size())->placeholder);
    std::memcpy(head.data() + 8, "AVI ", 4);
    EXPECT_FALSE(findWavLayout(head.data(), head.size()));
}

// A full disk cuts the last write short: the header counts the bytes that
// are there, not those the muxer meant to write, and a decoder reads them
// all.
TEST(WavHeader, FullDiskLeavesTheSizesOfWhatIsOnDisk) {
    TempFolder dir;
    const auto path = dir / "full.wav";
    const auto tone = audiotest::stereoTone(1000, 2);
    int error = kOk;
    constexpr uint64_t kLimit = 64 * 1024 + 3; // not a whole frame
    {
        FileSizeLimit full(kLimit);
        auto enc = CodecFileEncoder::create(pcmWaveFormat(2, 16, 44100), path.string(), error);
        ASSERT_TRUE(enc);
        for (size_t at = 0; at + 882 <= tone.size() / 2 && enc->write(tone.data() + 2 * at, 882);)
            at += 882;
        enc->finish();
    }
    const auto header = audiotest::readWavHeader(path);
    ASSERT_TRUE(header);
    // The frame the limit cut in two is dropped.
    const uint64_t frames = (kLimit - header->dataOffset) / 4;
    EXPECT_EQ(header->fileSize, header->dataOffset + frames * 4);
    EXPECT_EQ(header->riffSize, header->fileSize - 8);
    EXPECT_EQ(header->dataSize, frames * 4);
    const auto decoded = audiotest::decodeFile(path);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->mono.size(), frames);
}

} // namespace
} // namespace audiolib::ffmpeg
