#include "audio/lib/SilenceCut.h"

#include <algorithm>
#include <cstring>

namespace audiolib {

namespace {

constexpr size_t kHeldSlots = SilenceCut::kLongBlocks - SilenceCut::kHangBlocks + 1;

bool quiet(const int16_t* samples, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const int s = samples[i];
        if (s >= SilenceCut::kQuietPeak || s <= -SilenceCut::kQuietPeak)
            return false;
    }
    return true;
}

} // namespace

SilenceCut::SilenceCut(unsigned channels, unsigned sampleRate, Output out)
    : channels_(channels), blockFrames_(std::max<size_t>(sampleRate / 100, 1)),
      blockSamples_(blockFrames_ * channels), out_(std::move(out)),
      partial_(std::make_unique<int16_t[]>(blockSamples_)),
      held_(std::make_unique<int16_t[]>(blockSamples_ * kHeldSlots)) {}

int16_t* SilenceCut::slot(size_t index) const {
    return held_.get() + ((heldFirst_ + index) % kHeldSlots) * blockSamples_;
}

void SilenceCut::push(const int16_t* samples, size_t frames) {
    while (frames > 0) {
        // Whole blocks straight from the caller's buffer when none is begun.
        if (partialFrames_ == 0 && frames >= blockFrames_) {
            judge(samples);
            samples += blockSamples_;
            frames -= blockFrames_;
            continue;
        }
        const size_t n = std::min(frames, blockFrames_ - partialFrames_);
        std::memcpy(partial_.get() + partialFrames_ * channels_, samples,
                    n * channels_ * sizeof(int16_t));
        partialFrames_ += n;
        samples += n * channels_;
        frames -= n;
        if (partialFrames_ == blockFrames_) {
            partialFrames_ = 0;
            judge(partial_.get());
        }
    }
}

void SilenceCut::judge(const int16_t* block) {
    if (!quiet(block, blockSamples_)) {
        release();
        quietRun_ = 0;
        out_(block, blockFrames_);
        return;
    }
    ++quietRun_;
    if (quietRun_ <= kHangBlocks)
        out_(block, blockFrames_);
    else
        hold(block);
}

void SilenceCut::hold(const int16_t* block) {
    std::memcpy(slot(heldCount_), block, blockSamples_ * sizeof(int16_t));
    ++heldCount_;
    // Past 2 s the run is long: from now on only its last 0.3 s is wanted.
    const bool isLong = quietRun_ > kLongBlocks;
    const size_t keep = isLong ? kOnsetBlocks : kHeldSlots;
    while (heldCount_ > keep) {
        heldFirst_ = (heldFirst_ + 1) % kHeldSlots;
        --heldCount_;
        cut_ += blockFrames_;
    }
}

void SilenceCut::release() {
    for (size_t i = 0; i < heldCount_; ++i)
        out_(slot(i), blockFrames_);
    heldFirst_ = 0;
    heldCount_ = 0;
}

void SilenceCut::finish() {
    release();
    quietRun_ = 0;
    if (partialFrames_ > 0)
        out_(partial_.get(), partialFrames_);
    partialFrames_ = 0;
}

} // namespace audiolib
