#pragma once
// The backend on the PulseAudio server (or PipeWire's Pulse service).

#include "audio/lib/Backend.h"
#include "audio/lib/pulse/PulseConnection.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace audiolib::pulse {

class PulseBackend final : public Backend {
public:
    PulseBackend() = default;
    ~PulseBackend() override;
    PulseBackend(const PulseBackend&) = delete;
    PulseBackend& operator=(const PulseBackend&) = delete;

    bool connect(std::string& reason) override;
    std::vector<std::string> inputNames() override;
    std::vector<Input> inputs() override;
    void watchInputs(std::function<void()> changed) override;
    std::unique_ptr<CaptureStream> openCapture(int input, StreamFormat format,
                                               CaptureSink& sink) override;
    bool offersDefaultCaptures() const override { return true; }
    std::unique_ptr<CaptureStream> openDefaultCapture(DefaultCapture which, StreamFormat format,
                                                      CaptureSink& sink) override;
    std::unique_ptr<PlaybackStream> openPlayback(StreamFormat format,
                                                 PlaybackSource& source) override;

private:
    struct Source {
        std::string name;        // the server's name, to connect a stream
        std::string description; // what the user sees
    };
    bool listSources();
    struct Defaults {
        std::string source;
        std::string sink;
    };
    Defaults serverDefaults();
    std::string monitorOf(const std::string& sinkName);
    std::unique_ptr<CaptureStream> openCounted(const char* device, StreamFormat format,
                                               CaptureSink& sink);
    void disconnect();
    bool connectionLost() const;
    void reconnectIfLost();
    void subscribeLocked();
    static void onServerEvent(pa_context*, pa_subscription_event_type_t type, uint32_t, void* self);

    Connection conn_;
    std::vector<Source> sources_;
    std::atomic<int> live_{0};            // streams handed out and not yet released
    std::function<void()> inputsChanged_; // touched with the loop locked
};

} // namespace audiolib::pulse
