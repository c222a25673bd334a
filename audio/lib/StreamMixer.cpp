#include "audio/lib/StreamMixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace audiolib {

namespace {

constexpr size_t kHeldFrames = size_t{1} << 15; // ~0.7 s of each stream
constexpr size_t kChunkFrames = 4096;           // made per mix() at most
// How fast a stream's placed start may move later, seconds per second: more
// than any clock drifts, so a slow clock is followed, and little enough that
// a late stamp moves it by well under a millisecond before the next one.
constexpr double kOriginLeak = 0.01;

int16_t saturate(float v) {
    return static_cast<int16_t>(std::clamp(std::nearbyint(v), -32768.0f, 32767.0f));
}

} // namespace

StreamMixer::StreamMixer(double rate)
    : rate_(rate), corrector_(rate), follower_(kHeldFrames),
      lead_(std::make_unique<int16_t[]>(kHeldFrames * 2)),
      scratch_(std::make_unique<float[]>(kChunkFrames * 2)) {}

size_t StreamMixer::room(Part part) const {
    return part == Lead ? kHeldFrames - leadCount_ : follower_.room();
}

void StreamMixer::append(Part part, const int16_t* frames, size_t count) {
    count = std::min(count, room(part));
    appended_[part] += count;
    if (part == Follower) {
        follower_.push(frames, count);
        return;
    }
    if (leadFirst_ + leadCount_ + count > kHeldFrames) {
        std::memmove(lead_.get(), lead_.get() + leadFirst_ * 2, leadCount_ * 2 * sizeof(int16_t));
        leadFirst_ = 0;
    }
    std::memcpy(lead_.get() + (leadFirst_ + leadCount_) * 2, frames, count * 2 * sizeof(int16_t));
    leadCount_ += count;
}

void StreamMixer::stamp(Part part, uint64_t total, double seconds) {
    const double origin = seconds - static_cast<double>(total) / rate_;
    Origin& o = origins_[part];
    if (!o.valid || origin < o.seconds + kOriginLeak * (seconds - o.at))
        o = {origin, seconds, true};
    else
        o = {o.seconds + kOriginLeak * (seconds - o.at), seconds, true};
    ++stampsSinceRealign_[part];
}

void StreamMixer::lose(Part part) {
    lost_[part] = true;
}

void StreamMixer::realign() {
    aligned_ = false;
    // After a pause or a gap each stream starts afresh in time.
    origins_[Lead].valid = origins_[Follower].valid = false;
    stampsSinceRealign_[Lead] = 0;
    stampsSinceRealign_[Follower] = 0;
}

double StreamMixer::leadConsumed() const {
    return static_cast<double>(appended_[Lead] - leadCount_);
}

double StreamMixer::followerConsumed() const {
    return static_cast<double>(appended_[Follower]) - follower_.pending();
}

double StreamMixer::lag() const {
    if (!origins_[Lead].valid || !origins_[Follower].valid)
        return 0;
    // The follower frame that belongs with the lead's next one, against the
    // one it reads next.
    const double wanted =
        leadConsumed() + rate_ * (origins_[Lead].seconds - origins_[Follower].seconds);
    return wanted - followerConsumed();
}

void StreamMixer::alignIfDue() {
    if (!aligned_ && (lost_[Lead] || stampsSinceRealign_[Lead] > 0) &&
        (lost_[Follower] || stampsSinceRealign_[Follower] > 0)) {
        aligned_ = true;
        dropLead_ = dropFollower_ = 0;
        if (!lost_[Lead] && !lost_[Follower]) {
            const double e = std::round(lag());
            (e > 0 ? dropFollower_ : dropLead_) = static_cast<uint64_t>(std::abs(e));
            corrector_.resetLag();
        }
    }
    const size_t lead = static_cast<size_t>(std::min<uint64_t>(dropLead_, leadCount_));
    leadFirst_ += lead;
    leadCount_ -= lead;
    dropLead_ -= lead;
    const auto follower = static_cast<size_t>(
        std::min<uint64_t>(dropFollower_, static_cast<uint64_t>(follower_.pending())));
    follower_.skip(follower);
    dropFollower_ -= follower;
}

size_t StreamMixer::produce(int16_t* out, size_t frames, size_t fromFollower) {
    const double step = lost_[Lead] ? 1.0 : corrector_.step();
    follower_.read(scratch_.get(), fromFollower, step);
    std::fill(scratch_.get() + fromFollower * 2, scratch_.get() + frames * 2, 0.0f);
    if (!lost_[Lead]) {
        const int16_t* lead = lead_.get() + leadFirst_ * 2;
        for (size_t i = 0; i < frames * 2; ++i)
            scratch_[i] += static_cast<float>(lead[i]);
        leadFirst_ += frames;
        leadCount_ -= frames;
    }
    for (size_t i = 0; i < frames * 2; ++i)
        out[i] = saturate(scratch_[i]);
    return frames;
}

size_t StreamMixer::mix(int16_t* out, size_t max) {
    max = std::min(max, kChunkFrames);
    if (lost_[Lead] && lost_[Follower])
        return 0;
    if (lost_[Lead]) {
        const size_t n = std::min(max, follower_.ready(1.0));
        return produce(out, n, n);
    }
    alignIfDue();
    const size_t lead = std::min(max, leadCount_);
    if (lost_[Follower])
        return produce(out, lead, 0);
    if (aligned_ && dropLead_ == 0 && dropFollower_ == 0) {
        const size_t n = std::min(lead, follower_.ready(step()));
        if (n > 0) {
            produce(out, n, n);
            corrector_.update(lag(), static_cast<double>(n) / rate_);
            return n;
        }
    }
    // The follower is late: the lead waits for it, but not for ever, and the
    // two are lined up afresh once it is back.
    if (leadCount_ < static_cast<size_t>(rate_ / 4))
        return 0;
    realign();
    return produce(out, lead, 0);
}

size_t StreamMixer::flush(int16_t* out, size_t max) {
    if (lost_[Lead])
        return mix(out, max);
    const size_t lead = std::min({max, kChunkFrames, leadCount_});
    const size_t follower =
        lost_[Follower] || !aligned_ ? 0 : std::min(lead, follower_.ready(step()));
    return produce(out, lead, follower);
}

} // namespace audiolib
