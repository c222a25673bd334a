#include "audio/lib/pulse/PulseBackend.h"

#include "audio/lib/pulse/PulseCapture.h"
#include "audio/lib/pulse/PulsePlayback.h"

#include <atomic>

namespace audiolib {

std::unique_ptr<Backend> makePulseBackend() {
    return std::make_unique<pulse::PulseBackend>();
}

namespace pulse {

namespace {

// The layer promises to give up on a missing server within two seconds; a
// local server answers in milliseconds, so most of that is left as margin for
// a busy machine.
constexpr int kConnectTimeoutMs = 1500;
constexpr int kQueryTimeoutMs = 2000;

// Streams handed out keep the connection they were made on: while any
// lives, a lost connection is not replaced under it.
class CountedPlayback final : public PlaybackStream {
public:
    CountedPlayback(std::unique_ptr<PlaybackStream> inner, std::atomic<int>& live)
        : inner_(std::move(inner)), live_(live) {
        ++live_;
    }
    ~CountedPlayback() override {
        inner_.reset();
        --live_;
    }
    bool setPaused(bool paused) override { return inner_->setPaused(paused); }
    void flush() override { inner_->flush(); }
    uint64_t framesPlayed() const override { return inner_->framesPlayed(); }
    bool failed() const override { return inner_->failed(); }

private:
    std::unique_ptr<PlaybackStream> inner_;
    std::atomic<int>& live_;
};

class CountedCapture final : public CaptureStream {
public:
    CountedCapture(std::unique_ptr<CaptureStream> inner, std::atomic<int>& live)
        : inner_(std::move(inner)), live_(live) {
        ++live_;
    }
    ~CountedCapture() override {
        inner_.reset();
        --live_;
    }
    bool setPaused(bool paused) override { return inner_->setPaused(paused); }

private:
    std::unique_ptr<CaptureStream> inner_;
    std::atomic<int>& live_;
};

bool contextSettled(pa_context* c) {
    const pa_context_state_t st = pa_context_get_state(c);
    return st == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(st);
}

} // namespace

PulseBackend::~PulseBackend() {
    disconnect();
}

void PulseBackend::disconnect() {
    if (!conn_.loop)
        return;
    pa_threaded_mainloop_stop(conn_.loop);
    if (conn_.context) {
        pa_context_disconnect(conn_.context);
        pa_context_unref(conn_.context);
        conn_.context = nullptr;
    }
    pa_threaded_mainloop_free(conn_.loop);
    conn_.loop = nullptr;
}

// The server went away (or restarted): the context is dead for good.
bool PulseBackend::connectionLost() const {
    if (!conn_.context)
        return false;
    LoopLock lock(conn_.loop);
    return pa_context_get_state(conn_.context) != PA_CONTEXT_READY;
}

bool PulseBackend::connect(std::string& reason) {
    if (conn_.context) {
        if (live_ > 0 || !connectionLost())
            return true;
        // Nothing uses the dead connection any more: make a new one, so the
        // next stream works once the server is back.
        disconnect();
    }
    conn_.loop = pa_threaded_mainloop_new();
    if (!conn_.loop) {
        reason = "cannot create the PulseAudio mainloop";
        return false;
    }
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, "Tovaline");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ID, "org.tovaline.Tovaline");
    conn_.context =
        pa_context_new_with_proplist(pa_threaded_mainloop_get_api(conn_.loop), "Tovaline", props);
    pa_proplist_free(props);
    if (!conn_.context) {
        reason = "cannot create a PulseAudio context";
        disconnect();
        return false;
    }
    // A desktop recorder must not start a sound server of its own.
    if (pa_context_connect(conn_.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        reason = pa_strerror(pa_context_errno(conn_.context));
        disconnect();
        return false;
    }
    if (pa_threaded_mainloop_start(conn_.loop) < 0) {
        reason = "cannot start the PulseAudio mainloop";
        disconnect();
        return false;
    }
    bool ready = false;
    {
        LoopLock lock(conn_.loop);
        waitLocked(conn_.loop, kConnectTimeoutMs, [&] { return contextSettled(conn_.context); });
        ready = pa_context_get_state(conn_.context) == PA_CONTEXT_READY;
        if (!ready)
            reason = pa_strerror(pa_context_errno(conn_.context));
    }
    if (!ready || !listSources()) {
        if (ready)
            reason = "the server did not list its sources";
        disconnect();
        return false;
    }
    return true;
}

bool PulseBackend::listSources() {
    struct Query {
        std::vector<Source> found;
        bool done = false;
    } query;
    auto onSource = [](pa_context*, const pa_source_info* info, int eol, void* user) {
        auto* q = static_cast<Query*>(user);
        if (eol != 0) {
            q->done = true;
            return;
        }
        q->found.push_back(
            {info->name ? info->name : "", info->description ? info->description : info->name});
    };
    LoopLock lock(conn_.loop);
    pa_operation* op = pa_context_get_source_info_list(conn_.context, onSource, &query);
    if (!op)
        return false;
    const bool finished = waitLocked(conn_.loop, kQueryTimeoutMs, [&] { return query.done; });
    if (!finished) {
        // The callback must not write into `query` after we return.
        pa_operation_cancel(op);
    }
    pa_operation_unref(op);
    if (!finished)
        return false;
    sources_ = std::move(query.found);
    return true;
}

void PulseBackend::reconnectIfLost() {
    if (live_ == 0 && connectionLost()) {
        std::string reason;
        connect(reason);
    }
}

std::vector<std::string> PulseBackend::inputNames() {
    // Asked afresh: sources come and go while the connection lives (it may
    // have been made by init() long before the recording side asks).
    listSources();
    std::vector<std::string> names;
    names.reserve(sources_.size());
    for (const Source& s : sources_)
        names.push_back(s.description);
    return names;
}

std::unique_ptr<CaptureStream> PulseBackend::openCapture(int input, StreamFormat format,
                                                         CaptureSink& sink) {
    reconnectIfLost();
    if (!conn_.context || input >= static_cast<int>(sources_.size()))
        return nullptr;
    // -1: the server's default source.
    const char* device = input < 0 ? nullptr : sources_[static_cast<size_t>(input)].name.c_str();
    std::unique_ptr<CaptureStream> stream = openPulseCapture(conn_, device, format, sink);
    if (!stream)
        return nullptr;
    return std::make_unique<CountedCapture>(std::move(stream), live_);
}

std::unique_ptr<PlaybackStream> PulseBackend::openPlayback(StreamFormat format,
                                                           PlaybackSource& source) {
    reconnectIfLost();
    if (!conn_.context)
        return nullptr;
    std::unique_ptr<PlaybackStream> stream = openPulsePlayback(conn_, format, source);
    if (!stream)
        return nullptr;
    return std::make_unique<CountedPlayback>(std::move(stream), live_);
}

} // namespace pulse
} // namespace audiolib
