// The wmaEncode* functions: offered rates, encoding with the tail kept, tags,
// and every way a caller can get it wrong.
#include "audio/lib/AudioLib.h"
#include "tests/audio/lib/support/AudioCheck.h"
#include "tests/audio/lib/support/FileSizeLimit.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>
#include <vector>

namespace audiolib {
namespace {

using audiotest::decodeFile;
using audiotest::loudestFrequency;
using audiotest::stereoTone;

std::vector<uint32_t> offered(uint32_t rate, uint32_t channels) {
    std::vector<uint32_t> out;
    for (const uint32_t* r = wmaEncodeGetRates(rate, channels, 0); r && *r; ++r)
        out.push_back(*r);
    return out;
}

// Writes `tone` in capture-sized blocks, as the record callback would.
bool writeBlocks(Handle h, const std::vector<int16_t>& tone, size_t frames = 4410) {
    const size_t total = tone.size() / 2;
    for (size_t at = 0; at < total; at += frames)
        if (!wmaEncodeWrite(h, tone.data() + 2 * at,
                            static_cast<uint32_t>(std::min(frames, total - at) * 4)))
            return false;
    return true;
}

TEST(WmaRates, TablesForTheRatesWeRecord) {
    for (uint32_t rate : {22050u, 44100u})
        for (uint32_t channels : {1u, 2u}) {
            const auto rates = offered(rate, channels);
            ASSERT_FALSE(rates.empty()) << rate << " " << channels;
            for (size_t i = 0; i < rates.size(); ++i) {
                EXPECT_GE(rates[i], 24000u); // the encoder's floor
                EXPECT_EQ(rates[i] % 1000, 0u);
                if (i > 0) {
                    EXPECT_LT(rates[i], rates[i - 1]); // highest first, no repeats
                }
            }
        }
    EXPECT_EQ(offered(44100, 2).front(), 320000u);
    EXPECT_EQ(offered(22050, 1).back(), 24000u);
}

TEST(WmaRates, NothingForWhatWeDoNotOffer) {
    EXPECT_EQ(wmaEncodeGetRates(96000, 2, 0), nullptr);
    EXPECT_EQ(errorCode(), kErrFormat);
    EXPECT_EQ(wmaEncodeGetRates(8000, 1, 0), nullptr);
    EXPECT_EQ(wmaEncodeGetRates(44100, 3, 0), nullptr);
    EXPECT_EQ(wmaEncodeGetRates(44100, 0, 0), nullptr);
}

TEST(WmaRates, EveryOfferedEntryReallyEncodes) {
    TempFolder dir;
    const auto tone = stereoTone(1000, 0.3);
    for (uint32_t rate : {16000u, 22050u, 32000u, 44100u, 48000u})
        for (uint32_t channels : {1u, 2u})
            for (uint32_t bitrate : offered(rate, channels)) {
                const auto path = dir / "probe.wma";
                const Handle h =
                    wmaEncodeOpenFile(rate, channels, kWmaEncodeStandard, bitrate, path.c_str());
                ASSERT_NE(h, 0u) << rate << " " << channels << " " << bitrate;
                EXPECT_TRUE(wmaEncodeSetTag(h, nullptr, nullptr, 0));
                EXPECT_TRUE(writeBlocks(h, tone));
                EXPECT_TRUE(wmaEncodeClose(h)) << rate << " " << channels << " " << bitrate;
                const auto d = decodeFile(path);
                ASSERT_TRUE(d) << rate << " " << channels << " " << bitrate;
                EXPECT_EQ(d->rate, static_cast<int>(rate));
                EXPECT_EQ(d->channels, static_cast<int>(channels));
                EXPECT_GE(d->seconds(), 0.3 - 0.005);
            }
}

struct WmaCase {
    uint32_t rate;
    uint32_t channels;
    uint32_t bitrate;
};

class WmaTone : public ::testing::TestWithParam<WmaCase> {};

TEST_P(WmaTone, KeepsToneAndTail) {
    const WmaCase c = GetParam();
    TempFolder dir;
    const auto path = dir / "tone.wma";
    const Handle h = wmaEncodeOpenFile(c.rate, c.channels, kWmaEncodeStandard | kUnicode, c.bitrate,
                                       path.c_str());
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(wmaEncodeSetTag(h, "Title", "Tone", 2));
    ASSERT_TRUE(wmaEncodeSetTag(h, nullptr, nullptr, 0));
    // A quarter second of silence, then the tone: its onset shows whether
    // the file keeps time from the first sample.
    const double seconds = 2.0;
    auto sound = stereoTone(1000, seconds);
    std::fill(sound.begin(), sound.begin() + 2 * 11025, int16_t{0});
    ASSERT_TRUE(writeBlocks(h, sound, 1764));
    ASSERT_TRUE(wmaEncodeClose(h));

    const auto d = decodeFile(path);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->codec, "wmav2");
    EXPECT_EQ(d->rate, static_cast<int>(c.rate));
    EXPECT_EQ(d->channels, static_cast<int>(c.channels));
    EXPECT_EQ(d->title, "Tone");
    // Padding of up to two frames may come on top, nothing may be missing.
    EXPECT_GE(d->seconds(), seconds);
    EXPECT_LE(d->seconds(), seconds + 2.0 * 2048 / c.rate + 0.01);
    EXPECT_NEAR(loudestFrequency(d->mono, d->rate), 1000.0, 5.0);

    auto loudest = [&](double from, double to) {
        float peak = 0;
        for (auto i = static_cast<size_t>(from * d->rate); i < static_cast<size_t>(to * d->rate);
             ++i)
            peak = std::max(peak, std::abs(d->mono[i]));
        return peak;
    };
    EXPECT_LT(loudest(0.0, 0.245), 0.05f);
    EXPECT_GT(loudest(0.255, 0.27), 0.25f);
    // The last 20 ms of the tone are there.
    EXPECT_GT(loudest(seconds - 0.02, seconds), 0.25f);
}

INSTANTIATE_TEST_SUITE_P(Combinations, WmaTone,
                         ::testing::Values(WmaCase{44100, 2, 128000}, WmaCase{22050, 1, 32000}));

TEST(WmaEncoder, RefusesCombinationsNotOffered) {
    TempFolder dir;
    const auto path = dir / "x.wma";
    EXPECT_EQ(wmaEncodeOpenFile(44100, 2, 0, 127000, path.c_str()), 0u);
    EXPECT_EQ(errorCode(), kErrFormat);
    EXPECT_EQ(wmaEncodeOpenFile(8000, 1, 0, 24000, path.c_str()), 0u);
    EXPECT_EQ(wmaEncodeOpenFile(44100, 6, 0, 128000, path.c_str()), 0u);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(WmaEncoder, UncreatableFileFailsAndLeavesNothing) {
    TempFolder dir;
    const auto path = dir / "missing" / "x.wma";
    EXPECT_EQ(wmaEncodeOpenFile(44100, 2, 0, 128000, path.c_str()), 0u);
    EXPECT_EQ(errorCode(), kErrFileOpen);
    EXPECT_EQ(wmaEncodeOpenFile(44100, 2, 0, 128000, nullptr), 0u);
    EXPECT_EQ(errorCode(), kErrFileOpen);
    EXPECT_FALSE(std::filesystem::exists(path.parent_path()));
}

TEST(WmaEncoder, ClosedHandleIsDeadForEveryCall) {
    TempFolder dir;
    const Handle h = wmaEncodeOpenFile(44100, 2, 0, 128000, (dir / "x.wma").c_str());
    ASSERT_NE(h, 0u);
    const auto tone = stereoTone(1000, 0.1);
    ASSERT_TRUE(writeBlocks(h, tone));
    ASSERT_TRUE(wmaEncodeClose(h));
    EXPECT_FALSE(wmaEncodeWrite(h, tone.data(), 4));
    EXPECT_EQ(errorCode(), kErrHandle);
    EXPECT_FALSE(wmaEncodeClose(h)); // a second close does no harm
    EXPECT_EQ(errorCode(), kErrHandle);
    EXPECT_FALSE(wmaEncodeSetTag(h, nullptr, nullptr, 0));
    EXPECT_FALSE(wmaEncodeWrite(0, tone.data(), 4));
    EXPECT_FALSE(wmaEncodeWrite(12345, tone.data(), 4));
    EXPECT_FALSE(wmaEncodeClose(0));
    // A new encoder does not take the closed one's handle.
    const Handle again = wmaEncodeOpenFile(44100, 2, 0, 128000, (dir / "y.wma").c_str());
    EXPECT_NE(again, 0u);
    EXPECT_NE(again, h);
    EXPECT_TRUE(wmaEncodeClose(again));
}

TEST(WmaEncoder, TagsOnlyDuringTheTagPhase) {
    TempFolder dir;
    const auto path = dir / "x.wma";
    const Handle h = wmaEncodeOpenFile(22050, 1, 0, 32000, path.c_str());
    ASSERT_NE(h, 0u);
    EXPECT_FALSE(wmaEncodeSetTag(h, "Title", "bin", 0x100)); // binary values are not taken
    EXPECT_EQ(errorCode(), kErrFormat);
    EXPECT_TRUE(wmaEncodeSetTag(h, "Title", "First", 0));
    EXPECT_TRUE(wmaEncodeSetTag(h, nullptr, nullptr, 0));
    EXPECT_FALSE(wmaEncodeSetTag(h, "Title", "Late", 0));
    EXPECT_EQ(errorCode(), kErrNotAvail);
    EXPECT_TRUE(wmaEncodeClose(h));
    const auto d = decodeFile(path);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->title, "First");
}

TEST(WmaEncoder, WritingWithoutEndingTagsStartsTheFile) {
    TempFolder dir;
    const auto path = dir / "x.wma";
    const Handle h = wmaEncodeOpenFile(44100, 1, 0, 64000, path.c_str());
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(writeBlocks(h, stereoTone(1000, 0.5)));
    // The first block ended the tag phase, even if the header is not out yet.
    EXPECT_FALSE(wmaEncodeSetTag(h, "Title", "Late", 0));
    EXPECT_TRUE(wmaEncodeClose(h));
    const auto d = decodeFile(path);
    ASSERT_TRUE(d);
    EXPECT_GE(d->seconds(), 0.5 - 0.002);
}

TEST(WmaEncoder, FullDiskMakesWritesFail) {
    TempFolder dir;
    const auto tone = stereoTone(1000, 0.5);
    FileSizeLimit full(64 * 1024); // four seconds at 128 kbit/s
    const Handle h = wmaEncodeOpenFile(44100, 2, 0, 128000, (dir / "x.wma").c_str());
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(wmaEncodeSetTag(h, nullptr, nullptr, 0));
    bool refused = false;
    // Half seconds with pauses, so the queue never overflows: the refusal
    // can only come from the failed disk.
    for (int i = 0; i < 40 && !refused; ++i) {
        refused = !writeBlocks(h, tone);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(refused);
    EXPECT_EQ(errorCode(), kErrEnded);
    EXPECT_FALSE(wmaEncodeClose(h));
}

TEST(WmaEncoder, OverflowAndBadBlocksAreRefusedNotHidden) {
    TempFolder dir;
    const Handle h = wmaEncodeOpenFile(44100, 2, 0, 128000, (dir / "x.wma").c_str());
    ASSERT_NE(h, 0u);
    const auto tone = stereoTone(1000, 6.5);
    EXPECT_FALSE(wmaEncodeWrite(h, tone.data(), 6)); // not whole frames
    EXPECT_FALSE(wmaEncodeWrite(h, nullptr, 4));
    // More than the queue holds at once.
    EXPECT_FALSE(wmaEncodeWrite(h, tone.data(), static_cast<uint32_t>(tone.size() * 2)));
    // The encoder itself is fine and takes the next block.
    EXPECT_TRUE(wmaEncodeWrite(h, tone.data(), 4410 * 4));
    EXPECT_TRUE(wmaEncodeClose(h));
}

} // namespace
} // namespace audiolib
