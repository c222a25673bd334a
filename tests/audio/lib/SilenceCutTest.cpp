// The silence cut over synthetic stereo signals: which frames of a quiet run
// survive, whatever sizes the pieces arrive in.

#include "audio/lib/SilenceCut.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using audiolib::SilenceCut;

namespace {

constexpr size_t kBlock = 441; // 10 ms at 44100 Hz

// Interleaved stereo, built stretch by stretch. Every frame carries its own
// index in a way that survives the cut, so a test can see which were kept.
struct Signal {
    std::vector<int16_t> samples;

    size_t frames() const { return samples.size() / 2; }
    // A tone at `amplitude` on the left, and on the right unless `leftOnly`.
    Signal& tone(size_t blocks, double amplitude, bool leftOnly = false) {
        for (size_t i = 0; i < blocks * kBlock; ++i) {
            const auto s =
                static_cast<int16_t>(std::lround(amplitude * std::sin(0.1 * double(frames()))));
            samples.push_back(s);
            samples.push_back(leftOnly ? int16_t{0} : s);
        }
        return *this;
    }
    // Quiet, but never digital zero: a -60 dBFS hiss of small values.
    Signal& hiss(size_t blocks) {
        for (size_t i = 0; i < blocks * kBlock; ++i) {
            samples.push_back(static_cast<int16_t>(int(frames() % 65) - 32));
            samples.push_back(static_cast<int16_t>(32 - int(frames() % 65)));
        }
        return *this;
    }
    std::vector<int16_t> range(size_t firstFrame, size_t count) const {
        return {samples.begin() + long(firstFrame * 2),
                samples.begin() + long((firstFrame + count) * 2)};
    }
};

std::vector<int16_t> cut(const Signal& in, size_t piece) {
    std::vector<int16_t> out;
    SilenceCut filter(2, 44100,
                      [&](const int16_t* s, size_t n) { out.insert(out.end(), s, s + n * 2); });
    for (size_t at = 0; at < in.frames(); at += piece)
        filter.push(in.samples.data() + at * 2, std::min(piece, in.frames() - at));
    filter.finish();
    return out;
}

std::vector<int16_t> concat(std::initializer_list<std::vector<int16_t>> parts) {
    std::vector<int16_t> all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

} // namespace

TEST(SilenceCut, QuietOfTwoSecondsOrLessStaysWhole) {
    for (size_t quietBlocks : {150u, 199u, 200u}) {
        Signal s;
        s.tone(20, 8000).hiss(quietBlocks).tone(20, 8000);
        EXPECT_EQ(cut(s, 1000), s.samples) << quietBlocks << " blocks of quiet";
    }
}

TEST(SilenceCut, LongQuietKeepsItsFirstSecondAndLastThreeTenthsAndEveryOnsetWhole) {
    // Just over 2 s and much longer: the same 1.3 s remain.
    for (size_t quietBlocks : {201u, 700u}) {
        Signal s;
        s.tone(50, 8000).hiss(quietBlocks).tone(50, 8000).hiss(quietBlocks).tone(3, 8000);
        const size_t run1 = 50 * kBlock;
        const size_t run2 = run1 + (quietBlocks + 50) * kBlock;
        const size_t q = quietBlocks * kBlock;
        const std::vector<int16_t> expected = concat({
            s.range(0, run1),                             // first tone
            s.range(run1, 100 * kBlock),                  // its fade: 1.0 s
            s.range(run1 + q - 30 * kBlock, 30 * kBlock), // lead-in: 0.3 s
            s.range(run1 + q, 50 * kBlock),               // second tone, whole
            s.range(run2, 100 * kBlock),
            s.range(run2 + q - 30 * kBlock, 30 * kBlock),
            s.range(run2 + q, 3 * kBlock),
        });
        // Pieces that straddle blocks, single frames, and large buffers.
        for (size_t piece : {1u, 441u, 1000u, 8192u}) {
            const std::vector<int16_t> out = cut(s, piece);
            ASSERT_EQ(out.size(), expected.size()) << quietBlocks << " blocks, pieces " << piece;
            EXPECT_TRUE(out == expected) << quietBlocks << " blocks, pieces " << piece;
        }
    }
}

TEST(SilenceCut, ThresholdIsMinusFiftyDecibelsOnEveryChannel) {
    // A tone at -45 dBFS is sound; at -55 dBFS it is quiet.
    Signal soft;
    soft.tone(10, 8000).tone(400, 32768 * std::pow(10.0, -45.0 / 20)).tone(10, 8000);
    EXPECT_EQ(cut(soft, 441), soft.samples);
    Signal faint;
    faint.tone(10, 8000).tone(400, 32768 * std::pow(10.0, -55.0 / 20)).tone(10, 8000);
    EXPECT_EQ(cut(faint, 441).size() / 2, (10 + 130 + 10) * kBlock);

    // One loud channel is enough: nothing of a left-only tone is cut.
    Signal left;
    left.tone(400, 8000, true);
    EXPECT_EQ(cut(left, 441), left.samples);
}

TEST(SilenceCut, TrailingQuietAndAShortLastBlockComeOutAtFinish) {
    Signal s;
    s.tone(5, 8000).hiss(100).hiss(50);
    s.samples.resize(s.samples.size() + 2 * 100, 0); // 100 frames: no whole block
    std::vector<int16_t> out;
    SilenceCut filter(2, 44100,
                      [&](const int16_t* p, size_t n) { out.insert(out.end(), p, p + n * 2); });
    filter.push(s.samples.data(), s.frames());
    // The first second of quiet is out already; the rest waits for the end.
    EXPECT_EQ(out.size() / 2, 105 * kBlock);
    filter.finish();
    EXPECT_EQ(out, s.samples);
    EXPECT_EQ(filter.cutFrames(), 0u);
}
