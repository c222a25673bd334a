#include "audio/lib/pulse/PulseCapture.h"

namespace audiolib::pulse {

namespace {

// Small fragments keep the level meter and the callback close to real time;
// the server still buffers far more than that (maxlength) before it drops.
constexpr pa_usec_t kFragmentUsec = 20'000;

class PulseCapture final : public CaptureStream {
public:
    PulseCapture(Connection& conn, CaptureSink& sink, size_t frameBytes)
        : conn_(conn), sink_(sink), frameBytes_(frameBytes) {}

    ~PulseCapture() override {
        LoopLock lock(conn_.loop);
        if (!stream_)
            return;
        closing_ = true;
        releaseStream(stream_);
    }

    PulseCapture(const PulseCapture&) = delete;
    PulseCapture& operator=(const PulseCapture&) = delete;

    // Called with the loop locked.
    bool open(const char* device, const pa_sample_spec& spec, pa_usec_t fragmentUsec) {
        stream_ = pa_stream_new(conn_.context, "Recording", &spec, nullptr);
        if (!stream_)
            return false;
        pa_stream_set_read_callback(stream_, &PulseCapture::onRead, this);
        pa_stream_set_state_callback(stream_, &PulseCapture::onState, this);
        pa_stream_set_overflow_callback(stream_, &PulseCapture::onOverflow, this);
        pa_buffer_attr attr = serverChosenBufferAttr();
        attr.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(fragmentUsec, &spec));
        fragmentFrames_ = attr.fragsize / frameBytes_;
        // DONT_MOVE: when the chosen source goes away the stream fails and we
        // report the input lost, rather than silently recording another one.
        const auto flags = static_cast<pa_stream_flags_t>(
            PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE);
        if (pa_stream_connect_record(stream_, device, &attr, flags) < 0)
            return false;
        ready_ = waitUntilReady(conn_.loop, stream_);
        return ready_;
    }

    bool setPaused(bool paused) override {
        LoopLock lock(conn_.loop);
        return corkStream(stream_, paused);
    }

private:
    static void onRead(pa_stream* s, size_t, void* user) {
        auto* self = static_cast<PulseCapture*>(user);
        while (pa_stream_readable_size(s) > 0) {
            const void* data = nullptr;
            size_t bytes = 0;
            if (pa_stream_peek(s, &data, &bytes) < 0 || bytes == 0)
                return;
            // A hole (data null) is audio the server never had: nothing to
            // keep, but the file is that much shorter than the recording.
            if (data)
                self->sink_.onCapture(static_cast<const int16_t*>(data), bytes / self->frameBytes_);
            else
                self->sink_.onOverrun(bytes / self->frameBytes_);
            pa_stream_drop(s);
        }
    }

    static void onState(pa_stream* s, void* user) {
        auto* self = static_cast<PulseCapture*>(user);
        if (!self->ready_ || self->closing_ || self->lost_)
            return;
        if (!PA_STREAM_IS_GOOD(pa_stream_get_state(s))) {
            self->lost_ = true;
            if (PA_CONTEXT_IS_GOOD(pa_context_get_state(pa_stream_get_context(s))))
                self->sink_.onInputLost();
            else
                self->sink_.onServerLost();
        }
    }

    static void onOverflow(pa_stream*, void* user) {
        // The server does not say how much it dropped; it drops whole
        // fragments, so one is the least that is missing.
        auto* self = static_cast<PulseCapture*>(user);
        self->sink_.onOverrun(self->fragmentFrames_);
    }

    Connection& conn_;
    CaptureSink& sink_;
    const size_t frameBytes_;
    uint64_t fragmentFrames_ = 0;
    pa_stream* stream_ = nullptr;
    bool ready_ = false;
    bool closing_ = false;
    bool lost_ = false;
};

} // namespace

std::unique_ptr<CaptureStream> openPulseCapture(Connection& conn, const char* device,
                                                StreamFormat format, CaptureSink& sink) {
    pa_sample_spec spec{PA_SAMPLE_S16LE, format.rate, static_cast<uint8_t>(format.channels)};
    if (!pa_sample_spec_valid(&spec))
        return nullptr;
    auto capture = std::make_unique<PulseCapture>(conn, sink, pa_frame_size(&spec));
    bool opened = false;
    {
        LoopLock lock(conn.loop);
        opened = capture->open(device, spec,
                               format.blockMs ? pa_usec_t{format.blockMs} * 1000 : kFragmentUsec);
    }
    // A failed stream is torn down by the destructor, which locks by itself.
    if (!opened)
        return nullptr;
    return capture;
}

} // namespace audiolib::pulse
