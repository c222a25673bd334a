#pragma once
// Leaves the long quiet stretches out of a recording, for recordings left to
// run alone (a night of birdsong is mostly nothing).
//
// The signal is judged in 10 ms blocks: a block is quiet when no channel
// peaks at -50 dBFS or above, so a hiss well under that counts as quiet, not
// only digital zero. A quiet run longer than 2 s keeps its first second (the
// fade of the sound before it) and its last 0.3 s (so the next sound starts
// whole); the rest of it is left out. A run of 2 s or less stays whole, so
// the pauses of speech are untouched.
//
// Streaming and allocation-free after construction: push() takes samples in
// pieces of any size and hands what is kept, in order, to the output. Sound
// goes out at once; only quiet past a run's first second is held back, until
// the run either ends or is known to be long. finish() hands on the rest.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace audiolib {

class SilenceCut {
public:
    // Interleaved 16-bit frames of `channels` channels.
    using Output = std::function<void(const int16_t* samples, size_t frames)>;

    static constexpr int kQuietPeak = 104;     // |sample| below this: under -50 dBFS
    static constexpr size_t kHangBlocks = 100; // kept at a run's start: 1.0 s
    static constexpr size_t kLongBlocks = 200; // a run of more than 2 s is cut
    static constexpr size_t kOnsetBlocks = 30; // kept at a run's end: 0.3 s

    SilenceCut(unsigned channels, unsigned sampleRate, Output out);
    SilenceCut(const SilenceCut&) = delete;
    SilenceCut& operator=(const SilenceCut&) = delete;

    void push(const int16_t* samples, size_t frames);
    // The end of the recording: what is held back goes out, including a last
    // block shorter than 10 ms.
    void finish();

    // Frames left out so far.
    uint64_t cutFrames() const { return cut_; }

private:
    void judge(const int16_t* block);
    void hold(const int16_t* block);
    void release();
    int16_t* slot(size_t index) const;

    const unsigned channels_;
    const size_t blockFrames_;
    const size_t blockSamples_;
    Output out_;
    // The block being filled from push()'s pieces.
    std::unique_ptr<int16_t[]> partial_;
    size_t partialFrames_ = 0;
    // Quiet blocks held back: a ring of kLongBlocks - kHangBlocks + 1 slots.
    std::unique_ptr<int16_t[]> held_;
    size_t heldFirst_ = 0;
    size_t heldCount_ = 0;
    size_t quietRun_ = 0; // blocks in the current quiet run
    uint64_t cut_ = 0;
};

} // namespace audiolib
