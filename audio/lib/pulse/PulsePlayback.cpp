#include "audio/lib/pulse/PulsePlayback.h"

#include <algorithm>
#include <atomic>

namespace audiolib::pulse {

namespace {

// What the server holds ahead of the listener: short enough that pause and
// seek feel immediate, long enough to ride out a busy machine.
constexpr pa_usec_t kTargetUsec = 100'000;
constexpr pa_usec_t kRequestUsec = 20'000;
// The server only asks for data as it consumes some; when the source had
// nothing ready (just after a seek), this timer asks again.
constexpr pa_usec_t kRetryUsec = 10'000;

class PulsePlayback final : public PlaybackStream {
public:
    PulsePlayback(Connection& conn, PlaybackSource& source, const pa_sample_spec& spec)
        : conn_(conn), source_(source), spec_(spec), frameBytes_(pa_frame_size(&spec)) {}

    ~PulsePlayback() override {
        LoopLock lock(conn_.loop);
        if (retry_)
            pa_threaded_mainloop_get_api(conn_.loop)->time_free(retry_);
        if (!stream_)
            return;
        releaseStream(stream_);
    }

    PulsePlayback(const PulsePlayback&) = delete;
    PulsePlayback& operator=(const PulsePlayback&) = delete;

    // Called with the loop locked.
    bool open() {
        stream_ = pa_stream_new(conn_.context, "Playback", &spec_, nullptr);
        if (!stream_)
            return false;
        pa_stream_set_write_callback(stream_, &PulsePlayback::onWrite, this);
        pa_stream_set_underflow_callback(stream_, &PulsePlayback::onUnderflow, this);
        pa_stream_set_state_callback(stream_, &PulsePlayback::onState, this);
        pa_buffer_attr attr = serverChosenBufferAttr();
        attr.tlength = static_cast<uint32_t>(pa_usec_to_bytes(kTargetUsec, &spec_));
        attr.minreq = static_cast<uint32_t>(pa_usec_to_bytes(kRequestUsec, &spec_));
        const auto flags = static_cast<pa_stream_flags_t>(
            PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING |
            PA_STREAM_AUTO_TIMING_UPDATE);
        if (pa_stream_connect_playback(stream_, nullptr, &attr, flags, nullptr, nullptr) < 0)
            return false;
        if (!waitUntilReady(conn_.loop, stream_))
            return false;
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(conn_.loop);
        retry_ = api->time_new(api, nullptr, &PulsePlayback::onRetry, this);
        return retry_ != nullptr;
    }

    bool setPaused(bool paused) override {
        LoopLock lock(conn_.loop);
        if (!corkStream(stream_, paused))
            return false;
        paused_ = paused;
        if (!paused)
            armRetry();
        return true;
    }

    void flush() override {
        LoopLock lock(conn_.loop);
        pa_operation* op = pa_stream_flush(stream_, nullptr, nullptr);
        if (op)
            pa_operation_unref(op);
        written_ = 0;
        heardFloor_ = 0;
        lastHeard_ = 0;
        starving_ = false;
        armRetry();
    }

    // What was written less what the server says still lies between our
    // write index and the speaker.
    uint64_t framesPlayed() const override {
        LoopLock lock(conn_.loop);
        uint64_t heard = lastHeard_;
        pa_usec_t latency = 0;
        int negative = 0;
        if (pa_stream_get_latency(stream_, &latency, &negative) == 0) {
            const uint64_t queued = negative ? 0 : latency * spec_.rate / 1'000'000;
            heard = std::max(heard, written_ > queued ? written_ - queued : 0);
        }
        heard = std::min(std::max(heard, heardFloor_), written_);
        lastHeard_ = heard;
        return heard;
    }

    bool failed() const override { return failed_.load(); }

private:
    // Mainloop thread, loop locked.
    void fill() {
        size_t writable = pa_stream_writable_size(stream_);
        while (writable != static_cast<size_t>(-1) && writable >= frameBytes_) {
            void* data = nullptr;
            size_t bytes = writable;
            if (pa_stream_begin_write(stream_, &data, &bytes) < 0 || !data)
                return;
            const size_t frames = bytes / frameBytes_;
            const size_t got = source_.pull(static_cast<int16_t*>(data), frames);
            if (got == 0) {
                pa_stream_cancel_write(stream_);
                starve();
                return;
            }
            pa_stream_write(stream_, data, got * frameBytes_, nullptr, 0, PA_SEEK_RELATIVE);
            written_ += got;
            starving_ = false;
            if (got < frames) {
                starve();
                return;
            }
            writable = pa_stream_writable_size(stream_);
        }
    }

    // The source has nothing more for now. What is queued may be less than
    // the server waits for before it starts (the end of the file, or a seek
    // just before it): start it anyway, and ask again soon.
    void starve() {
        if (!starving_ && !paused_) {
            pa_operation* op = pa_stream_trigger(stream_, nullptr, nullptr);
            if (op)
                pa_operation_unref(op);
        }
        starving_ = true;
        armRetry();
    }

    void armRetry() {
        if (!retry_)
            return;
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(conn_.loop);
        struct timeval at {};
        pa_gettimeofday(&at);
        pa_timeval_add(&at, kRetryUsec);
        api->time_restart(retry_, &at);
    }

    static void onWrite(pa_stream*, size_t, void* user) {
        static_cast<PulsePlayback*>(user)->fill();
    }

    static void onRetry(pa_mainloop_api* api, pa_time_event* e, const struct timeval*, void* user) {
        auto* self = static_cast<PulsePlayback*>(user);
        api->time_restart(e, nullptr);
        if (!self->paused_)
            self->fill();
    }

    static void onState(pa_stream* s, void* user) {
        if (!PA_STREAM_IS_GOOD(pa_stream_get_state(s)))
            static_cast<PulsePlayback*>(user)->failed_ = true;
    }

    // Everything written has been played: the buffer ran dry.
    static void onUnderflow(pa_stream*, void* user) {
        auto* self = static_cast<PulsePlayback*>(user);
        self->heardFloor_ = self->written_;
    }

    Connection& conn_;
    PlaybackSource& source_;
    const pa_sample_spec spec_;
    const size_t frameBytes_;
    pa_stream* stream_ = nullptr;
    pa_time_event* retry_ = nullptr;
    bool paused_ = true;
    bool starving_ = false;
    std::atomic<bool> failed_{false};
    // Frames written since the last flush, and the least of them known heard.
    uint64_t written_ = 0;
    uint64_t heardFloor_ = 0;
    mutable uint64_t lastHeard_ = 0;
};

} // namespace

std::unique_ptr<PlaybackStream> openPulsePlayback(Connection& conn, StreamFormat format,
                                                  PlaybackSource& source) {
    pa_sample_spec spec{PA_SAMPLE_S16LE, format.rate, static_cast<uint8_t>(format.channels)};
    if (!conn.context || !pa_sample_spec_valid(&spec))
        return nullptr;
    auto playback = std::make_unique<PulsePlayback>(conn, source, spec);
    bool opened = false;
    {
        LoopLock lock(conn.loop);
        opened = playback->open();
    }
    if (!opened)
        return nullptr;
    return playback;
}

} // namespace audiolib::pulse
