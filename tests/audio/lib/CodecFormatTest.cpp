// encodeGetCodecFormat: the size query and every outcome of the codec dialog.
#include "audio/WaveFormatBlock.h"
#include "audio/lib/AudioLib.h"
#include "audio/lib/WaveFormat.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>

namespace audiolib {
namespace {

class CodecFormat : public ::testing::Test {
protected:
    void TearDown() override { setCodecDialogHook(nullptr); }
    std::array<uint8_t, kWaveFormatMaxSize> block{};
    void preselect(uint16_t channels, uint16_t bits, uint32_t rate) {
        writeWaveFormat(pcmWaveFormat(channels, bits, rate), block.data(), block.size());
    }
};

TEST_F(CodecFormat, SizeQueryIsLargeEnoughForAnyChoice) {
    const uint32_t size = encodeGetCodecFormat(0, nullptr, 0, nullptr, 0);
    EXPECT_EQ(size, 50u);
    std::array<uint8_t, 64> scratch{};
    EXPECT_EQ(wavefmt::writeCodecBlock(scratch.data(), scratch.size(), audiolib::kWaveMsAdpcm, 2, 4,
                                       44100),
              size);
}

TEST_F(CodecFormat, ChoiceIsWrittenAndItsSizeReturned) {
    preselect(1, 8, 8000);
    WaveFormat seen;
    setCodecDialogHook([&](void* form, uint32_t formlen, const char* title) {
        EXPECT_EQ(formlen, block.size());
        EXPECT_EQ(title, nullptr);
        seen = *readWaveFormat(form, formlen);
        return wavefmt::writeCodecBlock(form, formlen, audiolib::kWaveMsAdpcm, 2, 4, 22050) > 0;
    });
    EXPECT_EQ(encodeGetCodecFormat(0, block.data(), block.size(), nullptr, kCodecDefault), 50u);
    EXPECT_EQ(errorCode(), kOk);
    EXPECT_EQ(seen, pcmWaveFormat(1, 8, 8000)); // the caller's block was preselected
    const auto chosen = readWaveFormat(block.data(), block.size());
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->formatTag, kWaveMsAdpcm);
    EXPECT_EQ(chosen->samplesPerSec, 22050u);
}

TEST_F(CodecFormat, WithoutDefaultFlagTheDialogStartsFromCdQuality) {
    preselect(1, 8, 8000);
    WaveFormat seen;
    setCodecDialogHook([&](void* form, uint32_t formlen, const char*) {
        seen = *readWaveFormat(form, formlen);
        return true;
    });
    EXPECT_EQ(encodeGetCodecFormat(0, block.data(), block.size(), "Pick", 0), 18u);
    EXPECT_EQ(seen, pcmWaveFormat(2, 16, 44100));
}

TEST_F(CodecFormat, FailuresLeaveTheBlockAsItWas) {
    preselect(2, 16, 22050);
    const auto before = block;

    // No dialog installed: a clear error that is not "cancelled", so a
    // caller may go on with its preselection.
    EXPECT_EQ(encodeGetCodecFormat(0, block.data(), block.size(), nullptr, kCodecDefault), 0u);
    EXPECT_EQ(errorCode(), kErrNotAvail);
    EXPECT_EQ(block, before);

    setCodecDialogHook([](void*, uint32_t, const char*) { return false; });
    EXPECT_EQ(encodeGetCodecFormat(0, block.data(), block.size(), nullptr, kCodecDefault), 0u);
    EXPECT_EQ(errorCode(), kErrCancelled);
    EXPECT_EQ(block, before);

    setCodecDialogHook([](void*, uint32_t, const char*) -> bool { throw std::runtime_error("x"); });
    EXPECT_EQ(encodeGetCodecFormat(0, block.data(), block.size(), nullptr, kCodecDefault), 0u);
    EXPECT_EQ(errorCode(), kErrUnknown);

    // Too small for even the head: the dialog is not opened.
    bool opened = false;
    setCodecDialogHook([&](void*, uint32_t, const char*) { return opened = true; });
    EXPECT_EQ(encodeGetCodecFormat(0, block.data(), 17, nullptr, kCodecDefault), 0u);
    EXPECT_EQ(errorCode(), kErrFormat);
    EXPECT_FALSE(opened);
}

TEST_F(CodecFormat, UnknownChannelIsRefusedBeforeTheDialog) {
    bool opened = false;
    setCodecDialogHook([&](void*, uint32_t, const char*) { return opened = true; });
    EXPECT_EQ(encodeGetCodecFormat(0x7777, block.data(), block.size(), nullptr, 0), 0u);
    EXPECT_EQ(errorCode(), kErrHandle);
    EXPECT_FALSE(opened);
}

TEST_F(CodecFormat, ChoiceNotFittingTheBufferIsAnError) {
    // A dialog that claims a cbSize beyond the room it was given.
    setCodecDialogHook([](void* form, uint32_t, const char*) {
        static_cast<uint8_t*>(form)[16] = 40;
        return true;
    });
    EXPECT_EQ(encodeGetCodecFormat(0, block.data(), block.size(), nullptr, kCodecDefault), 0u);
    EXPECT_EQ(errorCode(), kErrFormat);
}

} // namespace
} // namespace audiolib
