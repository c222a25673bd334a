#include "audio/RecordCommands.h"

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
