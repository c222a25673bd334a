#pragma once
// Keeps a stream read at another clock's pace: given how far the stream's
// read position trails where it should be, it sets the step (input frames
// per output frame) of the resampler that reads it. A proportional and an
// integral term: the integral learns the clocks' ratio, so the lag settles
// at zero instead of at whatever the drift pushes it to.
//
// The lag a capture thread's timing gives is noisy by a few milliseconds; it
// is smoothed first, so that noise reaches the step only as a few hundred
// parts per million at most, far below what an ear hears as pitch.

namespace audiolib {

class DriftCorrector {
public:
    // rate: frames per second of the stream read.
    explicit DriftCorrector(double rate);

    // lag: frames the read position trails its place (negative: it runs
    // ahead); elapsed: seconds of output since the last update. Returns the
    // step from now on.
    double update(double lag, double elapsed);
    double step() const { return step_; }
    // Forgets the measured lag (after a jump that cancelled it); the learnt
    // ratio of the clocks stays.
    void resetLag();

private:
    const double kp_;
    const double ki_;
    double smoothed_ = 0;
    double integral_ = 0;
    double step_ = 1.0;
};

} // namespace audiolib
