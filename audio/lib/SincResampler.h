#pragma once
// Reads a stereo stream at a rate of our choosing: each output frame moves
// the read position on by `step` input frames (close to 1). A windowed sinc
// interpolates between the input frames, so a step that changes slowly, or
// a read position between two frames, is not heard.
//
// One thread only; nothing is allocated after construction.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace audiolib {

class SincResampler {
public:
    // Input frames each side of the read position the filter looks at.
    static constexpr size_t kHalfTaps = 16;

    // capacity: input frames it holds at most.
    explicit SincResampler(size_t capacity);

    // Room for this many more input frames.
    size_t room() const;
    void push(const int16_t* frames, size_t count);
    // Output frames that can be made at `step` from what was pushed.
    size_t ready(double step) const;
    // Makes `count` (at most ready(step)) stereo frames into `out`.
    void read(float* out, size_t count, double step);
    // Moves the read position on by `count` whole input frames (at most
    // what is pending), making nothing: a jump to realign the stream.
    void skip(size_t count);
    // Input frames pushed that the read position has not passed yet.
    double pending() const { return static_cast<double>(count_) - pos_; }

private:
    void compact();

    const size_t capacity_;
    std::vector<float> table_; // kPhases + 1 rows of 2 * kHalfTaps taps
    // The channels apart, so that each output sample is one contiguous dot
    // product the compiler turns into vector instructions.
    std::unique_ptr<float[]> left_;
    std::unique_ptr<float[]> right_;
    size_t count_ = 0; // frames held
    double pos_ = 0;   // read position, in frames held
};

} // namespace audiolib
