#pragma once
// Sums two captured stereo streams into one. The first (the lead) sets the
// pace: every frame of it becomes a frame of the mix. The second is read
// through a resampler whose step a drift corrector keeps at the ratio of the
// two clocks, so that what reached both inputs at one moment lands in one
// frame, for hours.
//
// Where each stream stands in time comes from stamps: after each block, how
// many frames the input has delivered in all, and when (seconds on one clock
// for both). A stamp is never early, only late by however long its thread
// was kept from running, so each stream's start is placed by its least late
// stamps. At the start, and when asked after a gap, the stream that is
// ahead is cut once to line the two up; from then on only the step moves.
//
// One thread only (no locks, nothing allocated after construction); the
// threads and rings around it are MixedCapture's.

#include "audio/lib/DriftCorrector.h"
#include "audio/lib/SincResampler.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace audiolib {

class StreamMixer {
public:
    enum Part { Lead = 0, Follower = 1 };

    // rate: frames per second of both streams.
    explicit StreamMixer(double rate);

    // Frames of `part` that append() takes now.
    size_t room(Part part) const;
    void append(Part part, const int16_t* frames, size_t count);
    // The input has delivered `total` frames so far, the last at `seconds`.
    void stamp(Part part, uint64_t total, double seconds);
    // The input is gone: from now on it is silence and is not waited for.
    void lose(Part part);
    bool lost(Part part) const { return lost_[part]; }
    // Lines the streams up again once both have stamped after this call
    // (after a pause, or when frames went missing on the way).
    void realign();

    // Mixes what both streams allow, at most `max` frames, into `out`.
    // A lead that waits longer than a quarter of a second for the follower
    // goes on alone, and the two are lined up again when it is back.
    size_t mix(int16_t* out, size_t max);
    // Everything the lead still holds, the follower padded with silence: the
    // end of a recording.
    size_t flush(int16_t* out, size_t max);

    // How far (frames) the follower's read position trails the lead's at
    // the latest stamps; 0 until both have stamped.
    double lag() const;
    double step() const { return corrector_.step(); }

private:
    struct Origin {
        double seconds = 0; // when the stream's frame 0 was captured
        double at = 0;      // of the stamp that last moved it
        bool valid = false;
    };
    void alignIfDue();
    size_t produce(int16_t* out, size_t frames, size_t fromFollower);
    double leadConsumed() const;
    double followerConsumed() const;

    const double rate_;
    DriftCorrector corrector_;
    SincResampler follower_;
    std::unique_ptr<int16_t[]> lead_; // interleaved, frames [leadFirst_, leadFirst_ + leadCount_)
    std::unique_ptr<float[]> scratch_;
    size_t leadFirst_ = 0;
    size_t leadCount_ = 0;
    uint64_t appended_[2] = {0, 0};
    Origin origins_[2];
    bool lost_[2] = {false, false};
    bool aligned_ = false;
    unsigned stampsSinceRealign_[2] = {0, 0};
    uint64_t dropLead_ = 0;     // frames still to cut from the lead
    uint64_t dropFollower_ = 0; // and from the follower
};

} // namespace audiolib
