#include "settings/RecorderSettings.h"

#include <gtest/gtest.h>

namespace {

TEST(OptionLists, StripReadsEveryNumericEntryAndFallsBackOtherwise) {
    const std::pair<const QStringList*, std::vector<int>> lists[] = {
        {&WavBitItems, {8, 16, 24}},
        {&WavRateItems, {8000, 11025, 22050, 44100}},
        {&Mp3BitrateItems, {48, 56, 64, 80, 96, 112, 128, 192, 256, 320}},
        {&WmaRateItems, {22050, 44100}},
    };
    for (const auto& [items, values] : lists) {
        ASSERT_EQ(items->size(), static_cast<qsizetype>(values.size()));
        for (size_t i = 0; i < values.size(); ++i)
            EXPECT_EQ(stripEntry((*items)[static_cast<qsizetype>(i)], -7), values[i]);
    }
    EXPECT_EQ(stripEntry("bps", 128), 128);
    EXPECT_EQ(stripEntry("", 128), 128);
    EXPECT_EQ(stripEntry("x1bps", 128), 128);
    EXPECT_EQ(stripEntry("Stereo", 44100), 44100);
    EXPECT_EQ(stripEntry("-5bit", 16), -5);
}

TEST(OptionLists, TextMappings) {
    EXPECT_EQ(wavChannelFromText("mono"), 1);
    EXPECT_EQ(wavChannelFromText("STEREO"), 2);
    EXPECT_EQ(wavChannelFromText("JointStereo"), std::nullopt);

    for (auto f : {rofWAVE, rofMP3, rofWMA, rofOGG})
        EXPECT_EQ(outFormatFromName(outFormatName(f)), f);
    EXPECT_EQ(outFormatFromName("mp3"), std::nullopt);
    EXPECT_EQ(outFormatFromName("mp3", Qt::CaseInsensitive), rofMP3);
    EXPECT_EQ(outFormatFromName("FLAC", Qt::CaseInsensitive), std::nullopt);

    ASSERT_EQ(HotKeyItems.size(), 26);
    EXPECT_EQ(HotKeyItems.front(), "CTRL+ALT+A");
    EXPECT_EQ(HotKeyItems.back(), "CTRL+ALT+Z");
    EXPECT_EQ(valueLabelText(-3), "(-3)");
}

} // namespace
