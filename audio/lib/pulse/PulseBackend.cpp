#include "audio/lib/pulse/PulseBackend.h"

#include "audio/lib/pulse/PulseCapture.h"
#include "audio/lib/pulse/PulsePlayback.h"

#include <algorithm>
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
class LiveStreamCount {
public:
    explicit LiveStreamCount(std::atomic<int>& live) : live_(live) { ++live_; }
    ~LiveStreamCount() { --live_; }
    LiveStreamCount(const LiveStreamCount&) = delete;
    LiveStreamCount& operator=(const LiveStreamCount&) = delete;

private:
    std::atomic<int>& live_;
};

// The count comes first so that it drops only once the stream is gone.
class CountedPlayback final : public PlaybackStream {
public:
    CountedPlayback(std::unique_ptr<PlaybackStream> inner, std::atomic<int>& live)
        : count_(live), inner_(std::move(inner)) {}
    bool setPaused(bool paused) override { return inner_->setPaused(paused); }
    void flush() override { inner_->flush(); }
    uint64_t framesPlayed() const override { return inner_->framesPlayed(); }
    bool failed() const override { return inner_->failed(); }

private:
    LiveStreamCount count_;
    std::unique_ptr<PlaybackStream> inner_;
};

class CountedCapture final : public CaptureStream {
public:
    CountedCapture(std::unique_ptr<CaptureStream> inner, std::atomic<int>& live)
        : count_(live), inner_(std::move(inner)) {}
    bool setPaused(bool paused) override { return inner_->setPaused(paused); }

private:
    LiveStreamCount count_;
    std::unique_ptr<CaptureStream> inner_;
};

bool contextSettled(pa_context* c) {
    const pa_context_state_t st = pa_context_get_state(c);
    return st == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(st);
}

// Called with the loop locked: waits for a query's answer. On a timeout
// the query is cancelled, so its callback never writes into the caller's
// frame after it returned.
bool awaitQuery(pa_threaded_mainloop* loop, pa_operation* op, const bool& done) {
    if (!op)
        return false;
    const bool finished = waitLocked(loop, kQueryTimeoutMs, [&] { return done; });
    if (!finished)
        pa_operation_cancel(op);
    pa_operation_unref(op);
    return finished;
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
    if (!awaitQuery(conn_.loop, op, query.done))
        return false;
    // The source chosen in the desktop's sound settings comes first, the
    // others keep the server's order.
    const std::string preferred = serverDefaults().source;
    std::stable_partition(query.found.begin(), query.found.end(),
                          [&](const Source& src) { return src.name == preferred; });
    sources_ = std::move(query.found);
    return true;
}

void PulseBackend::reconnectIfLost() {
    if (live_ == 0 && connectionLost()) {
        std::string reason;
        if (connect(reason) && inputsChanged_) {
            // The new context knows nothing of the old one's subscription.
            LoopLock lock(conn_.loop);
            subscribeLocked();
        }
    }
}

// Called with the loop locked; empty names where the server names no default.
PulseBackend::Defaults PulseBackend::serverDefaults() {
    struct Query {
        Defaults names;
        bool done = false;
    } query;
    auto onInfo = [](pa_context*, const pa_server_info* info, void* user) {
        auto* q = static_cast<Query*>(user);
        if (info && info->default_source_name)
            q->names.source = info->default_source_name;
        if (info && info->default_sink_name)
            q->names.sink = info->default_sink_name;
        q->done = true;
    };
    pa_operation* op = pa_context_get_server_info(conn_.context, onInfo, &query);
    return awaitQuery(conn_.loop, op, query.done) ? query.names : Defaults{};
}

// Called with the loop locked; empty when the sink is unknown.
std::string PulseBackend::monitorOf(const std::string& sinkName) {
    struct Query {
        std::string monitor;
        bool done = false;
    } query;
    auto onSink = [](pa_context*, const pa_sink_info* info, int eol, void* user) {
        auto* q = static_cast<Query*>(user);
        if (eol != 0) {
            q->done = true;
            return;
        }
        if (info->monitor_source_name)
            q->monitor = info->monitor_source_name;
    };
    pa_operation* op =
        pa_context_get_sink_info_by_name(conn_.context, sinkName.c_str(), onSink, &query);
    return awaitQuery(conn_.loop, op, query.done) ? query.monitor : std::string();
}

void PulseBackend::onServerEvent(pa_context*, pa_subscription_event_type_t type, uint32_t,
                                 void* self) {
    const auto facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const auto kind = type & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    // A new or removed source, or a server change (its default source).
    const bool inputs =
        facility == PA_SUBSCRIPTION_EVENT_SOURCE && kind != PA_SUBSCRIPTION_EVENT_CHANGE;
    if (!inputs && facility != PA_SUBSCRIPTION_EVENT_SERVER)
        return;
    auto* backend = static_cast<PulseBackend*>(self);
    if (backend->inputsChanged_)
        backend->inputsChanged_();
}

void PulseBackend::watchInputs(std::function<void()> changed) {
    if (!conn_.context)
        return;
    LoopLock lock(conn_.loop);
    const bool subscribe = changed && !inputsChanged_;
    inputsChanged_ = std::move(changed);
    if (subscribe)
        subscribeLocked();
}

void PulseBackend::subscribeLocked() {
    pa_context_set_subscribe_callback(conn_.context, &PulseBackend::onServerEvent, this);
    pa_operation* op =
        pa_context_subscribe(conn_.context,
                             static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SOURCE |
                                                                 PA_SUBSCRIPTION_MASK_SERVER),
                             nullptr, nullptr);
    if (op)
        pa_operation_unref(op);
}

std::vector<std::string> PulseBackend::inputNames() {
    std::vector<std::string> names;
    for (Input& in : inputs())
        names.push_back(std::move(in.name));
    return names;
}

std::vector<Backend::Input> PulseBackend::inputs() {
    // Asked afresh: sources come and go while the connection lives (it may
    // have been made by init() long before the recording side asks).
    listSources();
    std::vector<Input> all;
    all.reserve(sources_.size());
    for (const Source& s : sources_)
        all.push_back({s.name, s.description});
    return all;
}

std::unique_ptr<CaptureStream> PulseBackend::openCapture(int input, StreamFormat format,
                                                         CaptureSink& sink) {
    if (input >= static_cast<int>(sources_.size()))
        return nullptr;
    // -1: the server's default source. The caller counted in our listing;
    // a reconnect lists afresh, where the same number may be another source.
    const std::string device =
        input < 0 ? std::string() : sources_[static_cast<size_t>(input)].name;
    reconnectIfLost();
    if (!conn_.context)
        return nullptr;
    if (input >= 0 && std::none_of(sources_.begin(), sources_.end(),
                                   [&](const Source& s) { return s.name == device; }))
        return nullptr;
    return openCounted(input < 0 ? nullptr : device.c_str(), format, sink);
}

std::unique_ptr<CaptureStream> PulseBackend::openCounted(const char* device, StreamFormat format,
                                                         CaptureSink& sink) {
    std::unique_ptr<CaptureStream> stream = openPulseCapture(conn_, device, format, sink);
    if (!stream)
        return nullptr;
    return std::make_unique<CountedCapture>(std::move(stream), live_);
}

// Looked up at each opening: a mixed recording follows the defaults the
// user set before it started, and keeps its streams while it runs.
std::unique_ptr<CaptureStream>
PulseBackend::openDefaultCapture(DefaultCapture which, StreamFormat format, CaptureSink& sink) {
    reconnectIfLost();
    if (!conn_.context)
        return nullptr;
    std::string device;
    {
        LoopLock lock(conn_.loop);
        const Defaults defaults = serverDefaults();
        device = which == DefaultCapture::Source ? defaults.source
                 : defaults.sink.empty()         ? std::string()
                                                 : monitorOf(defaults.sink);
    }
    if (device.empty())
        return nullptr;
    return openCounted(device.c_str(), format, sink);
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
