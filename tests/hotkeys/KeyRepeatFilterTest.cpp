#include "hotkeys/KeyRepeatFilter.h"

#include <gtest/gtest.h>

TEST(KeyRepeatFilter, AHoldIsOnePressWhicheverWayTheRepeatsCome) {
    KeyRepeatFilter filter;
    // Detectable auto-repeat and portals: presses while the key is down.
    EXPECT_TRUE(filter.pressed(1, 100));
    EXPECT_FALSE(filter.pressed(1, 130));
    EXPECT_FALSE(filter.pressed(1));
    filter.released(1, 400);
    EXPECT_TRUE(filter.pressed(1, 900)) << "a new press after the release";

    // X11 without it: a release and a press with one timestamp, per repeat.
    filter.released(1, 930);
    EXPECT_FALSE(filter.pressed(1, 930));
    filter.released(1, 960);
    EXPECT_FALSE(filter.pressed(1, 960));
    filter.released(1, 990); // the real release
    EXPECT_TRUE(filter.pressed(1, 1500));

    // Keys are apart; a key no longer registered starts afresh.
    EXPECT_TRUE(filter.pressed(2, 1500));
    filter.forget(1);
    EXPECT_TRUE(filter.pressed(1, 1600));
    // Timestamps equal only by chance across a forget, or without any.
    filter.released(1);
    EXPECT_TRUE(filter.pressed(1));
}
