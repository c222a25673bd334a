#include "audio/lib/MixedCapture.h"

#include "audio/lib/AudioLib.h"

#include <algorithm>
#include <chrono>

namespace audiolib {

namespace {

// About three seconds of each input: the mixer thread is never that late.
constexpr size_t kRingSamples = size_t{1} << 18;
constexpr size_t kStampSlots = 256;
constexpr size_t kChunkFrames = 4096;
// The mixer runs every 40 ms by itself, and earlier only when a ring fills
// past ~90 ms: a wake for every block would cost more CPU than the mixing.
constexpr auto kIdleWake = std::chrono::milliseconds(40);
constexpr size_t kWakeSamples = 4096 * 2;
// Each of the two captures delivers half as often as a single one: the two
// together wake the backend's thread as often as one does.
constexpr uint32_t kBlockMs = 40;

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

MixedCapture::Part::Part(MixedCapture& owner)
    : samples(kRingSamples), stamps(kStampSlots), owner_(owner) {}

// ---- backend threads: no locks, no allocation -------------------------------

void MixedCapture::Part::onCapture(const int16_t* block, size_t frames) {
    if (!samples.push(block, frames * 2)) {
        owner_.sink_.onOverrun(frames);
        gap = true;
    } else {
        total_ += frames;
        const Stamp stamp{total_, now()};
        // A full stamp ring only means the mixer reads an older stamp.
        (void)stamps.push(&stamp, 1);
    }
    if (samples.size() >= kWakeSamples)
        owner_.wake();
}

void MixedCapture::Part::onInputLost() {
    lost = true;
    owner_.wake();
}

void MixedCapture::Part::onServerLost() {
    // Both inputs went with the connection.
    owner_.sink_.onServerLost();
}

void MixedCapture::Part::onOverrun(uint64_t frames) {
    owner_.sink_.onOverrun(frames);
    gap = true;
}

void MixedCapture::wake() {
    if (!wakePending_.exchange(true))
        wake_.release();
}

// ---- the control side ---------------------------------------------------------

MixedCapture::MixedCapture(double rate, CaptureSink& sink) : sink_(sink), mixer_(rate) {}

std::unique_ptr<CaptureStream> MixedCapture::open(Backend& backend, StreamFormat format,
                                                  CaptureSink& sink) {
    auto mixed = std::make_unique<MixedCapture>(format.rate, sink);
    format.blockMs = kBlockMs;
    mixed->leadCapture_ =
        backend.openDefaultCapture(Backend::DefaultCapture::Source, format, mixed->lead_);
    if (!mixed->leadCapture_)
        return nullptr;
    mixed->followerCapture_ = backend.openDefaultCapture(Backend::DefaultCapture::OutputMonitor,
                                                         format, mixed->follower_);
    if (!mixed->followerCapture_)
        return nullptr;
    mixed->thread_ = std::thread([m = mixed.get()] { m->mixLoop(); });
    return mixed;
}

MixedCapture::~MixedCapture() {
    // The captures go first: after this no backend thread reaches a Part.
    leadCapture_.reset();
    followerCapture_.reset();
    quit_ = true;
    wake_.release();
    if (thread_.joinable())
        thread_.join();
}

bool MixedCapture::setPaused(bool paused) {
    const bool lead = leadCapture_->setPaused(paused);
    const bool follower = followerCapture_->setPaused(paused);
    // The two start again each at its own moment.
    if (!paused)
        resumed_ = true;
    return lead && follower;
}

// ---- mixer thread ---------------------------------------------------------------

// Moves what the part delivered into the mixer, never past its latest stamp,
// so that the mixer's count of a stream's frames never runs ahead of the
// stamp that places them in time. True when anything moved.
bool MixedCapture::moveIn(Part& part, StreamMixer::Part which, int16_t* buffer) {
    Stamp stamp{};
    bool stamped = false;
    while (part.stamps.pop(&stamp, 1) == 1)
        stamped = true;
    if (stamped) {
        mixer_.stamp(which, stamp.total, stamp.seconds);
        part.stamped = stamp.total;
    }
    noticeLoss(part, which);
    if (part.gap.exchange(false))
        mixer_.realign();
    bool moved = false;
    for (;;) {
        const size_t want = static_cast<size_t>(
            std::min<uint64_t>({kChunkFrames, mixer_.room(which), part.stamped - part.taken}));
        const size_t got = part.samples.pop(buffer, want * 2) / 2;
        if (got == 0)
            return moved;
        mixer_.append(which, buffer, got);
        part.taken += got;
        moved = true;
    }
}

// One side gone is told, and the other records on; both gone is a lost
// input, as for any capture.
void MixedCapture::noticeLoss(Part& part, StreamMixer::Part which) {
    if (!part.lost || mixer_.lost(which))
        return;
    mixer_.lose(which);
    if (mixer_.lost(StreamMixer::Lead) && mixer_.lost(StreamMixer::Follower))
        sink_.onInputLost();
    else
        sink_.onPartLost(which == StreamMixer::Lead ? kLostMicrophone : kLostComputerSound);
}

void MixedCapture::deliver(bool last, int16_t* buffer) {
    for (;;) {
        const size_t frames =
            last ? mixer_.flush(buffer, kChunkFrames) : mixer_.mix(buffer, kChunkFrames);
        if (frames == 0)
            return;
        sink_.onCapture(buffer, frames);
    }
}

void MixedCapture::mixLoop() {
    auto buffer = std::make_unique<int16_t[]>(kChunkFrames * 2);
    for (;;) {
        // Read first: what was captured before the stop is in the rings now.
        const bool last = quit_.load();
        if (resumed_.exchange(false))
            mixer_.realign();
        bool moved;
        do {
            moved = moveIn(lead_, StreamMixer::Lead, buffer.get());
            moved = moveIn(follower_, StreamMixer::Follower, buffer.get()) || moved;
            deliver(false, buffer.get());
        } while (moved);
        if (last) {
            deliver(true, buffer.get());
            return;
        }
        (void)wake_.try_acquire_for(kIdleWake);
        wakePending_ = false;
    }
}

} // namespace audiolib
