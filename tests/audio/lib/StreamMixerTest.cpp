// The mixer of the mixed input on simulated clocks: two streams whose
// devices run at slightly different rates, delivered in blocks at the times
// they would arrive, mixed the way the mixer thread does it.
#include "audio/lib/StreamMixer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <vector>

namespace audiolib::testing {
namespace {

constexpr double kRate = 44100;
constexpr size_t kBlock = 882;

using Signal = std::function<int16_t(uint64_t frame)>; // one value per frame, both channels

// Drives a mixer like the mixer thread: blocks of each stream handed over
// in the order they arrive, stamped with their arrival.
struct Simulation {
    double followerClock = 1.0; // the follower's rate over the lead's
    double followerStart = 0.0; // when its first frame was captured (s)
    double leadStart = 0.0;
    double jitter = 0.0; // how late a stamp comes, at most (s)
    Signal lead;
    Signal follower;
    StreamMixer mixer{kRate};
    std::vector<int16_t> out; // the left channel of the mix
    uint64_t sent[2] = {0, 0};
    bool deliver[2] = {true, true};
    std::mt19937 random{7};

    double arrival(int part, uint64_t total) const {
        return part == 0 ? leadStart + total / kRate
                         : followerStart + total / (kRate * followerClock);
    }

    void sendBlock(int part) {
        std::vector<int16_t> block(kBlock * 2);
        for (size_t i = 0; i < kBlock; ++i)
            block[2 * i] = block[2 * i + 1] = (part == 0 ? lead : follower)(sent[part] + i);
        const auto which = part == 0 ? StreamMixer::Lead : StreamMixer::Follower;
        mixer.append(which, block.data(), kBlock);
        sent[part] += kBlock;
        std::uniform_real_distribution<double> noise(0, jitter);
        mixer.stamp(which, sent[part], arrival(part, sent[part]) + noise(random));
        drain();
    }

    void drain() {
        std::vector<int16_t> buffer(4096 * 2);
        while (size_t n = mixer.mix(buffer.data(), 4096))
            for (size_t i = 0; i < n; ++i)
                out.push_back(buffer[2 * i]);
    }

    // Runs until `seconds` of lead time have passed.
    void run(double seconds) {
        while (arrival(0, sent[0]) < seconds && (deliver[0] || deliver[1])) {
            const int next = !deliver[1] || (deliver[0] && arrival(0, sent[0] + kBlock) <=
                                                               arrival(1, sent[1] + kBlock))
                                 ? 0
                                 : 1;
            sendBlock(next);
        }
    }
};

Signal sine(double hz, double amplitude, double clock = 1.0) {
    return [=](uint64_t n) {
        const double t = static_cast<double>(n) / (kRate * clock);
        return static_cast<int16_t>(
            std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * t)));
    };
}

// Amplitude and phase (radians) of `hz` in out[first, first + count).
std::pair<double, double> tone(const std::vector<int16_t>& out, size_t first, size_t count,
                               double hz) {
    double re = 0;
    double im = 0;
    for (size_t i = first; i < first + count; ++i) {
        const double w = 2 * std::numbers::pi * hz * static_cast<double>(i) / kRate;
        re += out[i] * std::cos(w);
        im += out[i] * std::sin(w);
    }
    return {2 * std::hypot(re, im) / static_cast<double>(count), std::atan2(re, im)};
}

double decibels(double amplitude, double reference) {
    return 20 * std::log10(amplitude / reference);
}

// A follower whose clock runs fast or slow stays where it belongs: the mix's
// frame i holds what reached the follower at the lead's frame i. The follower
// starts first, so the start cuts only the follower and the mix's frames are
// the lead's, one for one.
void expectLockedOver(double drift, double minutes) {
    constexpr double hz = 50; // one period is 20 ms: the offset is never ambiguous
    Simulation sim;
    sim.followerClock = 1.0 + drift;
    sim.followerStart = -0.012;
    sim.jitter = 0.005;
    sim.lead = [](uint64_t) { return int16_t{0}; };
    sim.follower = sine(hz, 16000, sim.followerClock);
    const double seconds = minutes * 60;
    sim.run(seconds);
    const size_t window = 4410;
    double worst = 0;
    double worstSettled = 0;
    for (size_t first = window; first + window <= sim.out.size(); first += window) {
        // The follower's tone as heard at the lead's time since its start.
        const auto [level, phase] = tone(sim.out, first, window, hz);
        ASSERT_NEAR(level, 16000, 500) << "at frame " << first;
        const double expected = 2 * std::numbers::pi * hz * (sim.leadStart - sim.followerStart);
        const double diff = std::remainder(phase - expected, 2 * std::numbers::pi);
        const double offsetMs = diff / (2 * std::numbers::pi * hz) * 1000;
        worst = std::max(worst, std::abs(offsetMs));
        if (first > 30 * kRate)
            worstSettled = std::max(worstSettled, std::abs(offsetMs));
    }
    EXPECT_LT(worst, 5.0) << "aligned at the start, never far off";
    EXPECT_LT(worstSettled, 1.0) << "no growing offset once settled";
    // Nothing dropped or repeated: every lead frame but those held for the
    // filter's look-ahead is in the mix, and the mix has no step in it.
    EXPECT_LE(sim.sent[0] - sim.out.size(), 2 * kBlock);
    int worstJump = 0;
    for (size_t i = 2; i < sim.out.size(); ++i)
        worstJump = std::max(worstJump, std::abs(sim.out[i] - 2 * sim.out[i - 1] + sim.out[i - 2]));
    // A 50 Hz tone bends by about 1 per frame; one frame lost or repeated
    // jumps by ~110.
    EXPECT_LT(worstJump, 8);
}

TEST(StreamMixer, FollowerFastByFiveHundredPpmStaysAlignedForMinutes) {
    expectLockedOver(500e-6, 5);
}

TEST(StreamMixer, FollowerSlowByAThousandPpmStaysAligned) {
    expectLockedOver(-1000e-6, 2);
}

TEST(StreamMixer, EachStreamKeepsItsLevelAndTheSumSaturates) {
    {
        Simulation sim;
        sim.lead = sine(440, 10000);
        sim.follower = sine(880, 10000);
        sim.followerStart = 0.004;
        sim.run(3);
        const auto lead = tone(sim.out, 44100, 88200, 440).first;
        const auto follower = tone(sim.out, 44100, 88200, 880).first;
        EXPECT_LT(std::abs(decibels(lead, 10000)), 1.0);
        EXPECT_LT(std::abs(decibels(follower, 10000)), 1.0);
    }
    for (const int16_t level : {int16_t{30000}, int16_t{-30000}}) {
        Simulation sim;
        sim.lead = sim.follower = [level](uint64_t) { return level; };
        sim.run(1);
        ASSERT_GT(sim.out.size(), 30000u);
        // Past the filter's run-in the sum is far beyond the range: it sits
        // at the rail, with never a wrapped sample of the other sign.
        for (size_t i = 4410; i < sim.out.size(); ++i)
            ASSERT_EQ(sim.out[i], level > 0 ? 32767 : -32768) << "frame " << i;
    }
}

TEST(StreamMixer, OneStreamGoingAwayLeavesTheOtherRecording) {
    // The follower stops delivering: the lead waits for it a little, then
    // goes on alone, and is mixed with it again once it is back.
    Simulation sim;
    sim.lead = sine(440, 8000);
    sim.follower = sine(880, 8000);
    sim.run(2);
    sim.deliver[1] = false;
    sim.run(4);
    const size_t alone = sim.out.size();
    EXPECT_GT(alone, static_cast<size_t>(3.5 * kRate));
    EXPECT_LT(tone(sim.out, alone - 22050, 22050, 880).first, 50);
    EXPECT_GT(tone(sim.out, alone - 22050, 22050, 440).first, 7000);
    // Back, it lines up with the lead afresh (its missed frames are late).
    sim.followerStart += 2.0 + 0.003;
    sim.deliver[1] = true;
    sim.run(6);
    EXPECT_GT(tone(sim.out, sim.out.size() - 22050, 22050, 880).first, 7000);

    // Lost for good: whichever is left records alone, at its pace.
    sim.mixer.lose(StreamMixer::Lead);
    sim.deliver[0] = false;
    const size_t before = sim.out.size();
    for (int i = 0; i < 100; ++i)
        sim.sendBlock(1);
    EXPECT_GE(sim.out.size() - before, 99 * kBlock);
    EXPECT_GT(tone(sim.out, sim.out.size() - 22050, 22050, 880).first, 7000);
    sim.mixer.lose(StreamMixer::Follower);
    std::vector<int16_t> buffer(4096 * 2);
    EXPECT_EQ(sim.mixer.mix(buffer.data(), 4096), 0u);
}

} // namespace
} // namespace audiolib::testing
