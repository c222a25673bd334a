#include "audio/lib/RecordChannel.h"
#include "audio/lib/AudioLib.h"

#include "audio/lib/ProcessState.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace audiolib {

namespace {

// About six seconds of audio at real time: far more than any disk hiccup.
constexpr size_t kRingSamples = size_t{1} << 19;
// Blocks larger than this are handed to the callback in pieces.
constexpr size_t kScratchFrames = 8192;
// The writer is woken once this much waits in the ring (~90 ms), not for
// every block: each wake is a thread switch, and at real time these cost more
// CPU than anything else the layer does. The ring holds 60 times as much.
constexpr size_t kWakeSamples = 4096 * 2;
// How often the writer asks the encoders whether they still live, when no
// write has told it already (while paused, for instance).
constexpr auto kLivenessPeriod = std::chrono::milliseconds(100);

thread_local const RecordChannel* tlsCurrent = nullptr;

// Stopped channels whose writers were still finishing when stop() returned.
std::mutex finishingMutex;
std::vector<std::shared_ptr<RecordChannel>> finishing;

void keepFinishing(std::shared_ptr<RecordChannel> channel) {
    std::vector<std::shared_ptr<RecordChannel>> done;
    {
        std::lock_guard lock(finishingMutex);
        // Those that are through by now go, joined outside the lock.
        auto through = std::partition(finishing.begin(), finishing.end(),
                                      [](const auto& c) { return c->finishing(); });
        done.assign(std::make_move_iterator(through), std::make_move_iterator(finishing.end()));
        finishing.erase(through, finishing.end());
        finishing.push_back(std::move(channel));
    }
}

int16_t applyGain(int16_t sample, float gain) {
    const float v = std::nearbyint(static_cast<float>(sample) * gain);
    return static_cast<int16_t>(std::clamp(v, -32768.0f, 32767.0f));
}

} // namespace

RecordChannel::RecordChannel(RecordProc proc, void* user, const InputState* input)
    : proc_(proc), user_(user), input_(input), ring_(kRingSamples),
      scratch_(std::make_unique<int16_t[]>(kScratchFrames * 2)) {}

RecordChannel::~RecordChannel() {
    shutDown();
}

const RecordChannel* RecordChannel::current() {
    return tlsCurrent;
}

bool RecordChannel::open(Backend& backend, int input, Handle handle) {
    handle_ = handle;
    capture_ = backend.openCapture(input, StreamFormat{kCaptureRate, kCaptureChannels}, *this);
    if (!capture_)
        return false;
    writer_ = std::thread([this] { writerLoop(); });
    return true;
}

// On the capture thread (inside the record callback) the backend's own lock
// may be held: switching the capture there would deadlock.
bool RecordChannel::play(bool) {
    if (tlsCurrent)
        return fail(kErrNotAvail, false);
    if (endCause() != EndCause::None)
        return fail(kErrEnded, false);
    if (!paused_)
        return true;
    paused_ = false;
    return capture_->setPaused(false) || fail(kErrUnknown, false);
}

bool RecordChannel::pause() {
    if (tlsCurrent)
        return fail(kErrNotAvail, false);
    if (endCause() != EndCause::None)
        return fail(kErrEnded, false);
    if (paused_)
        return fail(kErrAlready, false);
    // Set first: whatever is still on its way from the server is dropped.
    paused_ = true;
    return capture_->setPaused(true) || fail(kErrUnknown, false);
}

int RecordChannel::isActive() const {
    if (stopped_ || endCause() != EndCause::None)
        return kActiveStopped;
    return paused_ ? kActivePaused : kActivePlaying;
}

bool RecordChannel::stop() {
    if (tlsCurrent)
        return fail(kErrNotAvail, false);
    if (stopped_.exchange(true))
        return fail(kErrHandle, false);
    endCapture();
    if (!writer_.joinable() ||
        writerDone_.wait_for(std::chrono::milliseconds(kStopWaitMs)) == std::future_status::ready)
        shutDown();
    else
        keepFinishing(shared_from_this());
    unregisterChannel(handle_);
    return true;
}

void RecordChannel::endCapture() {
    // The capture goes first: after this no callback can reach us.
    capture_.reset();
    stopping_ = true;
    wake_.release();
}

void RecordChannel::shutDown() {
    if (!stopped_.exchange(true))
        endCapture();
    if (writer_.joinable())
        writer_.join();
}

void RecordChannel::setFinishNotify(FinishNotify notify) {
    std::unique_lock lock(finishMutex_);
    if (!outcome_) {
        notify_ = std::move(notify);
        return;
    }
    const FinishOutcome known = *outcome_;
    lock.unlock();
    if (notify)
        notify(known);
}

void RecordChannel::announce(FinishOutcome outcome) {
    FinishNotify notify;
    {
        std::lock_guard lock(finishMutex_);
        outcome_ = outcome;
        notify = std::move(notify_);
    }
    if (notify)
        notify(outcome);
}

bool RecordChannel::attach(std::unique_ptr<ChannelEncoder> encoder) {
    if (!encoder)
        return fail(kErrCreate, false);
    std::lock_guard lock(encodersMutex_);
    // Checked under the lock: once the writer has finished the encoders, a
    // late one would never be fed nor finished.
    if (encodersFinished_ || stopped_ || endCause() != EndCause::None)
        return fail(kErrEnded, false);
    encoders_.push_back(std::move(encoder));
    ++liveEncoders_;
    return true;
}

void RecordChannel::skipSilence() {
    cut_ = std::make_unique<SilenceCut>(kCaptureChannels, kCaptureRate,
                                        [this](const int16_t* kept, size_t n) { feed(kept, n); });
}

int RecordChannel::encoderState() const {
    if (liveEncoders_.load() == 0)
        return kActiveStopped;
    return paused_ ? kActivePaused : kActivePlaying;
}

void RecordChannel::end(EndCause cause) {
    int none = static_cast<int>(EndCause::None);
    if (endCause_.compare_exchange_strong(none, static_cast<int>(cause)))
        wake_.release();
}

// ---- capture thread: no locks, no allocation ------------------------------

void RecordChannel::onCapture(const int16_t* samples, size_t frames) {
    while (frames > 0) {
        if (paused_.load(std::memory_order_relaxed) || endCause() != EndCause::None)
            return;
        const size_t n = std::min(frames, kScratchFrames);
        const float gain = input_ ? input_->level.load(std::memory_order_relaxed) : 1.0f;
        // At unity gain the server's own buffer is handed on as it is.
        const int16_t* block = samples;
        if (gain != 1.0f) {
            int16_t* scaled = scratch_.get();
            for (size_t i = 0; i < n * 2; ++i)
                scaled[i] = applyGain(samples[i], gain);
            block = scaled;
        }
        if (proc_) {
            tlsCurrent = this;
            const bool goOn = proc_(handle_, block, static_cast<uint32_t>(n * 4), user_);
            tlsCurrent = nullptr;
            if (!goOn) {
                end(EndCause::CallbackRefused);
                return;
            }
        }
        if (!ring_.push(block, n * 2)) {
            lost_.fetch_add(1, std::memory_order_relaxed);
            lostFrames_.fetch_add(n, std::memory_order_relaxed);
        } else if (ring_.size() >= kWakeSamples && !wakePending_.exchange(true))
            wake_.release();
        samples += n * 2;
        frames -= n;
    }
}

void RecordChannel::onInputLost() {
    end(EndCause::InputLost);
}

void RecordChannel::onServerLost() {
    end(EndCause::ServerLost);
}

void RecordChannel::onOverrun(uint64_t frames) {
    lost_.fetch_add(1, std::memory_order_relaxed);
    lostFrames_.fetch_add(frames, std::memory_order_relaxed);
}

// ---- writer thread ----------------------------------------------------------

void RecordChannel::writerLoop() {
    auto buffer = std::make_unique<int16_t[]>(kScratchFrames * 2);
    auto lastCheck = std::chrono::steady_clock::now();
    for (;;) {
        // Read before draining: whatever was pushed before the stop request
        // (or the end) is in the ring by now and reaches the encoders.
        const bool last = stopping_.load() || endCause() != EndCause::None;
        drain(buffer.get(), kScratchFrames * 2);
        if (last)
            break;
        // A process that died between blocks is noticed even while paused.
        if (std::chrono::steady_clock::now() - lastCheck >= kLivenessPeriod) {
            checkEncoders();
            lastCheck = std::chrono::steady_clock::now();
        }
        (void)wake_.try_acquire_for(kLivenessPeriod);
        wakePending_ = false;
    }
    FinishOutcome outcome = FinishOutcome::Complete;
    {
        std::lock_guard lock(encodersMutex_);
        if (cut_)
            cut_->finish();
        for (auto& encoder : encoders_)
            outcome = std::max(outcome, encoder->finish());
        encodersFinished_ = true;
        liveEncoders_ = 0;
    }
    announce(outcome);
    writerExit_.set_value();
}

void RecordChannel::drain(int16_t* buffer, size_t capacity) {
    std::lock_guard lock(encodersMutex_);
    size_t got;
    while ((got = ring_.pop(buffer, capacity)) > 0)
        pass(buffer, got / 2);
}

void RecordChannel::pass(const int16_t* samples, size_t frames) {
    if (cut_)
        cut_->push(samples, frames);
    else
        feed(samples, frames);
}

void RecordChannel::checkEncoders() {
    std::lock_guard lock(encodersMutex_);
    for (auto& encoder : encoders_)
        if (!encoder->active()) {
            end(EndCause::EncoderFailed);
            liveEncoders_ = 0;
        }
}

void RecordChannel::feed(const int16_t* samples, size_t frames) {
    if (endCause() == EndCause::EncoderFailed)
        return;
    for (auto& encoder : encoders_) {
        if (!encoder->write(samples, frames)) {
            end(EndCause::EncoderFailed);
            liveEncoders_ = 0;
            return;
        }
    }
}

void finishStoppedChannels() {
    std::vector<std::shared_ptr<RecordChannel>> all;
    {
        std::lock_guard lock(finishingMutex);
        all.swap(finishing);
    }
    // Each one's destructor joins its writer, which is bounded by the
    // encoders' own grace periods.
    all.clear();
}

} // namespace audiolib
