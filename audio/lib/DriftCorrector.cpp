#include "audio/lib/DriftCorrector.h"

#include <algorithm>

namespace audiolib {

namespace {

// The loop settles in about ten seconds, well damped: a clock off by
// 1000 ppm never makes the lag grow past a couple of milliseconds.
constexpr double kNaturalRadPerSec = 0.3;
constexpr double kDamping = 0.8;
// The smoothing of the measured lag, well inside the loop's own time.
constexpr double kSmoothingSec = 0.5;
// Clocks of real devices differ by far less: beyond this the measurement is
// wrong, not the clock, and following it would be heard.
constexpr double kMaxCorrection = 0.005;

} // namespace

DriftCorrector::DriftCorrector(double rate)
    : kp_(2 * kDamping * kNaturalRadPerSec / rate),
      ki_(kNaturalRadPerSec * kNaturalRadPerSec / rate) {}

double DriftCorrector::update(double lag, double elapsed) {
    smoothed_ += (lag - smoothed_) * std::min(1.0, elapsed / kSmoothingSec);
    // The integral is held within what it may correct (no wind-up while the
    // step sits at its limit).
    integral_ =
        std::clamp(integral_ + smoothed_ * elapsed, -kMaxCorrection / ki_, kMaxCorrection / ki_);
    step_ = 1.0 + std::clamp(kp_ * smoothed_ + ki_ * integral_, -kMaxCorrection, kMaxCorrection);
    return step_;
}

void DriftCorrector::resetLag() {
    smoothed_ = 0;
    step_ = 1.0 + ki_ * integral_;
}

} // namespace audiolib
