// When a recording's file system is about to run out: the notice comes once,
// early enough and with a sensible number of minutes; the stop comes before
// the last byte, and never while there is room.

#include "audio/DiskSpace.h"

#include <gtest/gtest.h>

using diskspace::Advice;
using diskspace::Watch;

namespace {

constexpr uint64_t kMiB = 1024 * 1024;
constexpr uint64_t kWavRate = 176400; // 44100 Hz stereo 16-bit

// A recording writing `rate` bytes a second from `free` bytes, read each
// second until something other than None is said or `seconds` have passed.
struct Advised {
    int at = -1;
    diskspace::Reading reading;
};
Advised recordUntilAdvice(Watch& watch, uint64_t free, uint64_t rate, int seconds, int from = 0) {
    for (int t = from; t < from + seconds; ++t) {
        const uint64_t used = rate * static_cast<uint64_t>(t - from);
        const auto r = watch.observe(t, free > used ? free - used : 0);
        if (r.advice != Advice::None)
            return {t, r};
    }
    return {};
}

} // namespace

TEST(DiskSpace, PlentyOfRoomSaysNothingAndSpaceGivenBackIsNoRate) {
    Watch watch;
    // 11 minutes of WAV: nothing said until less than 10 minutes are left,
    // about a minute in.
    const Advised run = recordUntilAdvice(watch, 11 * 60 * kWavRate, kWavRate, 120);
    EXPECT_EQ(run.reading.advice, Advice::Low);
    EXPECT_GE(run.at, 55);
    EXPECT_LE(run.at, 65);

    // Free space that grows (a file deleted meanwhile) gives no rate at all.
    Watch growing;
    for (int t = 0; t < 40; ++t)
        EXPECT_EQ(growing.observe(t, 10 * kMiB + static_cast<uint64_t>(t) * kMiB).advice,
                  Advice::None);
    EXPECT_EQ(growing.rate(), 0.0);
}

TEST(DiskSpace, LowSpaceIsToldOnceWithTheMinutesLeftThenFullStopsBeforeTheEnd) {
    Watch watch;
    const uint64_t free = 5 * 60 * kWavRate; // five minutes of WAV
    const Advised low = recordUntilAdvice(watch, free, kWavRate, 10);
    ASSERT_EQ(low.reading.advice, Advice::Low);
    EXPECT_EQ(low.at, 1) << "told as soon as the rate is known";
    EXPECT_EQ(low.reading.minutesLeft, 5);
    EXPECT_NEAR(watch.rate(), double(kWavRate), 1.0);

    // Not told again; the stop comes with about three seconds of room left.
    const Advised full = recordUntilAdvice(watch, free - kWavRate * 2, kWavRate, 400, 2);
    ASSERT_EQ(full.reading.advice, Advice::Full);
    const double left = double(free) - double(kWavRate) * (full.at);
    EXPECT_GT(left, 0.0);
    EXPECT_LE(left, 3 * double(kWavRate));
    EXPECT_GE(left, 2 * double(kWavRate));

    // A new recording on the same disk hears of it again.
    watch.reset();
    EXPECT_EQ(recordUntilAdvice(watch, 4 * 60 * kWavRate, kWavRate, 5).reading.minutesLeft, 4);
}

TEST(DiskSpace, AnAlmostFullDiskIsFullAtOnceAndSlowWritingIsMeasuredOverTime) {
    Watch watch;
    EXPECT_EQ(watch.observe(0, 100 * 1024).advice, Advice::Full);

    // MP3 at 128 kbit/s, written in bursts: the rate over the window counts,
    // not the last burst. 100 MB lasts hours: nothing to say.
    Watch mp3;
    for (int t = 0; t < 120; ++t) {
        const uint64_t written = static_cast<uint64_t>(t / 4) * 4 * 16000;
        EXPECT_EQ(mp3.observe(t, 100 * kMiB - written).advice, Advice::None) << t;
    }
    EXPECT_NEAR(mp3.rate(), 16000.0, 2500.0);
    // Seconds of room are not "about a minute".
    Watch nearlyFull;
    const Advised seconds = recordUntilAdvice(nearlyFull, 20 * kWavRate, kWavRate, 5);
    ASSERT_EQ(seconds.reading.advice, Advice::Low);
    EXPECT_EQ(seconds.reading.minutesLeft, 0);
    EXPECT_NE(diskspace::lowMessage(0).find("room for less than a minute of"), std::string::npos);
    EXPECT_NE(diskspace::lowMessage(1).find("about 1 more minute of"), std::string::npos);
    EXPECT_NE(diskspace::lowMessage(7).find("about 7 more minutes of"), std::string::npos);
}
