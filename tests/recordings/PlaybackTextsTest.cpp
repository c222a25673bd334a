#include "recordings/PlaybackTexts.h"

#include <gtest/gtest.h>

namespace {
const QLocale kC = QLocale::c();
}

TEST(PlaybackTexts, FileSizesFollowTheUnitTable) {
    const std::pair<int64_t, const char*> table[] = {
        {0, "0 bytes"},       {1024, "1024 bytes"},       {1025, "1 KB"},
        {1536, "1.5 KB"},     {1048576, "1024 KB"},       {1048577, "1 MB"},
        {2621440, "2.5 MB"},  {1073741824, "1024 MB"},    {1073741825, "1 GB"},
        {1234567, "1.18 MB"}, {int64_t{3} << 30, "3 GB"}, {int64_t{5} << 40, "5120 GB"},
    };
    for (const auto& [size, text] : table)
        EXPECT_EQ(FormatFileSize(size, kC), QString(text)) << size;
    EXPECT_EQ(FormatFileSize(1536, QLocale(QLocale::German)), QString("1,5 KB"));
    EXPECT_EQ(FileSizeText(0, kC), std::nullopt);
    EXPECT_EQ(FileSizeText(uint64_t{3} << 30, kC), QString("3 GB"));
}

TEST(PlaybackTexts, DurationsAreWholeSecondsAndZeroKeepsTheOldText) {
    EXPECT_EQ(FormatDuration(3725.9), QString("01:02:05"));
    EXPECT_EQ(FormatDuration(0.4), QString("00:00:00"));
    EXPECT_EQ(FormatDuration(360000.0), QString("100:00:00"));
    EXPECT_EQ(FormatDuration(0.0), std::nullopt);
    EXPECT_EQ(FormatDuration(-1.0), std::nullopt);
}

TEST(PlaybackTexts, OnlyAMoveOfMoreThanFifteenWhilePlayingSeeks) {
    EXPECT_FALSE(IsUserSeek(psPlaying, 1000.0f, 1015.0f, 5000.0f));
    EXPECT_FALSE(IsUserSeek(psPlaying, 1000.0f, 985.0f, 5000.0f));
    EXPECT_TRUE(IsUserSeek(psPlaying, 1000.0f, 1015.5f, 5000.0f));
    EXPECT_TRUE(IsUserSeek(psPlaying, 1000.0f, 984.0f, 5000.0f));
    EXPECT_FALSE(IsUserSeek(psPause, 1000.0f, 3000.0f, 5000.0f));
    EXPECT_FALSE(IsUserSeek(psPlaying, 0.0f, 3000.0f, 5000.0f)); // no timer update yet
    EXPECT_FALSE(IsUserSeek(psPlaying, 1000.0f, 0.0f, 5000.0f));
    EXPECT_FALSE(IsUserSeek(psPlaying, 1000.0f, 3000.0f, 0.0f));
    EXPECT_EQ(SeekTarget(3000.75f), 3000U);
    // Letting go of the thumb seeks, to the very start too, but only while playing.
    EXPECT_EQ(ReleaseSeekTarget(psPlaying, 0.0f, 5000.0f), 0U);
    EXPECT_EQ(ReleaseSeekTarget(psPlaying, 3000.75f, 5000.0f), 3000U);
    EXPECT_EQ(ReleaseSeekTarget(psPause, 3000.0f, 5000.0f), std::nullopt);
    EXPECT_EQ(ReleaseSeekTarget(psStop, 0.0f, 5000.0f), std::nullopt);

    // Past 2^31 bytes positions stay positive and the end is the real end.
    const int64_t length = int64_t{2222640000};
    const auto max = static_cast<float>(length);
    EXPECT_FALSE(PlaybackEnded(length - 176400, max, psPlaying));
    EXPECT_TRUE(PlaybackEnded(-1, max, psPlaying));
    EXPECT_FALSE(PlaybackEnded(0, max, psPlaying)) << "an output still starting has not ended";
    EXPECT_TRUE(PlaybackEnded(100, 50.0f, psPlaying));
    EXPECT_TRUE(PlaybackEnded(100, max, psStop));
}

TEST(PlaybackTexts, TheBarReachesTheLastByteOfAnyLength) {
    EXPECT_EQ(BarMaximum(176400), 176400.0f);
    // Lengths a float cannot hold exactly: the nearest float may lie below.
    for (int64_t length : {int64_t{16777217}, int64_t{3221225300}, int64_t{4294967292}}) {
        const float max = BarMaximum(length);
        EXPECT_GE(static_cast<double>(max), static_cast<double>(length));
        EXPECT_FALSE(PlaybackEnded(length, max, psPlaying)) << length;
        EXPECT_LT(static_cast<double>(max) - static_cast<double>(length), 512.0);
    }
}
