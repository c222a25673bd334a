#pragma once
// The arithmetic of the spectrum picture, apart from any drawing: how high
// each band's bar and peak mark stand after one more frame.

#include <array>
#include <cstdint>

// One frame of FFT magnitudes: elements 0 to 511 are filled, 512 is spare.
using TFFTData = std::array<float, 513>;

constexpr int kSpectrumBands = 129;
using BandHeights = std::array<int32_t, kSpectrumBands>;

struct BandRules {
    int32_t step = 1;        // FFT elements between neighbouring bands
    int32_t maxHeight = 100; // pixels
    int32_t peakFall = 1;    // pixels per frame
    int32_t barFall = 3;     // pixels per frame
};

// Band i reads element 5 + i * step (the lowest five hold the steady part
// and the deepest tones, which the picture leaves out). A bar or peak follows
// a rising level at once and sinks by its fall per frame, never below 0.
void advanceBands(const TFFTData& data, const BandRules& rules, BandHeights& peaks,
                  BandHeights& bars);

// The pixel height of one magnitude: its absolute value times 500, truncated,
// limited to maxHeight.
int32_t bandLevel(float magnitude, int32_t maxHeight);
