#include "audio/lib/SincResampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace audiolib {

namespace {

constexpr size_t kTaps = 2 * SincResampler::kHalfTaps;
// Rows of the filter table; a read position uses the nearest row. A row is
// 1/2048 of a frame from any position: at 10 kHz an error 60 dB down.
constexpr size_t kPhases = 1024;
// Partial sums of a dot product, as wide as a vector register holds.
constexpr size_t kLanes = 8;
// The pass band ends a little below half the sample rate: above it the
// filter would ring for longer than its taps reach.
constexpr double kCutoff = 0.92;

double blackman(double x) { // x in [0, 1]
    return 0.42 - 0.5 * std::cos(2 * std::numbers::pi * x) +
           0.08 * std::cos(4 * std::numbers::pi * x);
}

} // namespace

SincResampler::SincResampler(size_t capacity)
    : capacity_(capacity + kTaps), table_((kPhases + 1) * kTaps),
      left_(std::make_unique<float[]>(capacity_)), right_(std::make_unique<float[]>(capacity_)) {
    // Row p holds the taps for a read position p / kPhases past a frame.
    for (size_t p = 0; p <= kPhases; ++p) {
        float* row = &table_[p * kTaps];
        const double fraction = static_cast<double>(p) / kPhases;
        double sum = 0;
        for (size_t k = 0; k < kTaps; ++k) {
            const double t = static_cast<double>(k) - (kHalfTaps - 1) - fraction;
            const double x = std::numbers::pi * kCutoff * t;
            const double sinc = t == 0 ? 1.0 : std::sin(x) / x;
            const double w = blackman((t + kHalfTaps) / (2.0 * kHalfTaps));
            row[k] = static_cast<float>(sinc * w);
            sum += sinc * w;
        }
        // Each row passes a constant unchanged: no level ripple as the
        // read position moves between frames.
        for (size_t k = 0; k < kTaps; ++k)
            row[k] = static_cast<float>(row[k] / sum);
    }
    // Silence before the first frame, so that it can be read at once.
    std::fill_n(left_.get(), kHalfTaps - 1, 0.0f);
    std::fill_n(right_.get(), kHalfTaps - 1, 0.0f);
    count_ = kHalfTaps - 1;
    pos_ = static_cast<double>(kHalfTaps - 1);
}

size_t SincResampler::room() const {
    const size_t keep = static_cast<size_t>(pos_) - (kHalfTaps - 1);
    return capacity_ - count_ + keep;
}

void SincResampler::compact() {
    // Keep the frames the filter still looks back at.
    const size_t first = static_cast<size_t>(pos_) - (kHalfTaps - 1);
    if (first == 0)
        return;
    std::memmove(left_.get(), left_.get() + first, (count_ - first) * sizeof(float));
    std::memmove(right_.get(), right_.get() + first, (count_ - first) * sizeof(float));
    count_ -= first;
    pos_ -= static_cast<double>(first);
}

void SincResampler::push(const int16_t* frames, size_t count) {
    if (capacity_ - count_ < count)
        compact();
    count = std::min(count, capacity_ - count_);
    float* left = left_.get() + count_;
    float* right = right_.get() + count_;
    for (size_t i = 0; i < count; ++i) {
        left[i] = frames[2 * i];
        right[i] = frames[2 * i + 1];
    }
    count_ += count;
}

size_t SincResampler::ready(double step) const {
    // The last frame made needs kHalfTaps input frames after the one at or
    // before its position.
    const double last = static_cast<double>(count_) - kHalfTaps - 1 - pos_;
    if (last < 0)
        return 0;
    return static_cast<size_t>(std::floor(last / step)) + 1;
}

void SincResampler::read(float* out, size_t count, double step) {
    for (size_t n = 0; n < count; ++n) {
        const size_t whole = static_cast<size_t>(pos_);
        const auto phase =
            static_cast<size_t>(std::lround((pos_ - static_cast<double>(whole)) * kPhases));
        const float* row = &table_[phase * kTaps];
        const size_t first = whole - (kHalfTaps - 1);
        const float* l = left_.get() + first;
        const float* r = right_.get() + first;
        float accL[kLanes] = {};
        float accR[kLanes] = {};
        for (size_t k = 0; k < kTaps; k += kLanes)
            for (size_t j = 0; j < kLanes; ++j) {
                accL[j] += row[k + j] * l[k + j];
                accR[j] += row[k + j] * r[k + j];
            }
        float left = 0;
        float right = 0;
        for (size_t j = 0; j < kLanes; ++j) {
            left += accL[j];
            right += accR[j];
        }
        out[2 * n] = left;
        out[2 * n + 1] = right;
        pos_ += step;
    }
}

void SincResampler::skip(size_t count) {
    pos_ += static_cast<double>(std::min<size_t>(count, static_cast<size_t>(pending())));
}

} // namespace audiolib
