#pragma once
// Internal to audio/lib/pulse/: the one server connection that every capture
// and playback stream of the layer is made on. Its callbacks run on the
// mainloop's thread with the mainloop locked; everyone else takes LoopLock
// before touching a pa_* object.

#include <pulse/pulseaudio.h>

namespace audiolib::pulse {

struct Connection {
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
};

// Never taken on the mainloop thread itself (the callbacks already hold it).
class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop* loop) : loop_(loop) {
        pa_threaded_mainloop_lock(loop_);
    }
    ~LoopLock() { pa_threaded_mainloop_unlock(loop_); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pa_threaded_mainloop* loop_;
};

// Waits, with the loop locked, until `done()` or `timeoutMs` passed. The
// mainloop runs meanwhile. False on timeout.
template <typename Done> bool waitLocked(pa_threaded_mainloop* loop, int timeoutMs, Done done) {
    // Polls rather than waits on a signal so that no callback has to know
    // who is waiting; 2 ms steps are far below anything we wait for.
    for (int waited = 0; !done(); waited += 2) {
        if (waited >= timeoutMs)
            return false;
        pa_threaded_mainloop_unlock(loop);
        struct timespec step {
            0, 2'000'000
        };
        nanosleep(&step, nullptr);
        pa_threaded_mainloop_lock(loop);
    }
    return true;
}

// Called with the loop locked, after pa_stream_connect_*(): waits until the
// stream is ready or has failed, for at most two seconds. True when ready.
inline bool waitUntilReady(pa_threaded_mainloop* loop, pa_stream* stream) {
    constexpr int kStreamTimeoutMs = 2000;
    waitLocked(loop, kStreamTimeoutMs, [&] {
        const pa_stream_state_t st = pa_stream_get_state(stream);
        return st == PA_STREAM_READY || !PA_STREAM_IS_GOOD(st);
    });
    return pa_stream_get_state(stream) == PA_STREAM_READY;
}

// Called with the loop locked. Asks the server to stop or resume the
// stream; false when the request could not be sent.
inline bool corkStream(pa_stream* stream, bool paused) {
    pa_operation* op = pa_stream_cork(stream, paused ? 1 : 0, nullptr, nullptr);
    if (!op)
        return false;
    pa_operation_unref(op);
    return true;
}

// Buffer attributes with every field left to the server; callers set the
// one or two they care about.
inline pa_buffer_attr serverChosenBufferAttr() {
    constexpr uint32_t kServerChooses = static_cast<uint32_t>(-1);
    return pa_buffer_attr{kServerChooses, kServerChooses, kServerChooses, kServerChooses,
                          kServerChooses};
}

// Called with the loop locked. Detaches every callback before letting go, so
// none can reach the object that owned the stream once it is gone.
inline void releaseStream(pa_stream*& stream) {
    pa_stream_set_read_callback(stream, nullptr, nullptr);
    pa_stream_set_write_callback(stream, nullptr, nullptr);
    pa_stream_set_state_callback(stream, nullptr, nullptr);
    pa_stream_set_overflow_callback(stream, nullptr, nullptr);
    pa_stream_set_underflow_callback(stream, nullptr, nullptr);
    pa_stream_disconnect(stream);
    pa_stream_unref(stream);
    stream = nullptr;
}

} // namespace audiolib::pulse
