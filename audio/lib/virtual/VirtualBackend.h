#pragma once
// A sound system made of arithmetic, for tests and benchmarks: named inputs
// that each play a known sine, and an output that counts what it is fed.
//
// Paced mode delivers blocks from a thread of its own at `speed` times real
// time, like a server would. Manual mode delivers nothing by itself: the test
// calls pushBlocks() and the blocks arrive on the test's thread, so every
// result is exact and no test waits on a clock.

#include "audio/lib/Backend.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace audiolib {

struct VirtualInput {
    std::string name;
    double frequency = 1000.0; // Hz, the same sine on both channels
    int16_t amplitude = 16384;
    // Frames [quietFrom, quietTo) of the input's own count are digital
    // silence: a tone, a pause, a tone.
    uint64_t quietFrom = 0;
    uint64_t quietTo = 0;
};

struct VirtualConfig {
    std::vector<VirtualInput> inputs;
    bool manual = false;
    double speed = 1.0;       // paced mode: multiple of real time
    size_t blockFrames = 882; // 20 ms at 44100 Hz
    bool reachable = true;    // false: connect() fails like a missing server
    // The inputs a mixed recording takes as the default source and as the
    // monitor of the default output; -1: the system names no defaults.
    int defaultSource = -1;
    int defaultMonitor = -1;
};

class VirtualCapture;
class VirtualPlayback;

class VirtualBackend final : public Backend {
public:
    explicit VirtualBackend(VirtualConfig config);
    ~VirtualBackend() override;

    bool connect(std::string& reason) override;
    std::vector<std::string> inputNames() override;
    std::unique_ptr<CaptureStream> openCapture(int input, StreamFormat format,
                                               CaptureSink& sink) override;
    bool offersDefaultCaptures() const override;
    std::unique_ptr<CaptureStream> openDefaultCapture(DefaultCapture which, StreamFormat format,
                                                      CaptureSink& sink) override;
    std::unique_ptr<PlaybackStream> openPlayback(StreamFormat format,
                                                 PlaybackSource& source) override;

    // Sample `frame` of an input's sine (both channels carry it).
    static int16_t sineSample(const VirtualInput& input, uint64_t frame);

    // ---- control, from the test ------------------------------------------
    // Manual mode: delivers up to `count` blocks to every running capture on
    // the calling thread; returns the blocks delivered.
    size_t pushBlocks(size_t count);
    // Every open capture loses its source (reported once, then silence).
    // With a name: only the captures of the input of that name.
    void loseInput(const std::string& name = {});
    // Every open capture hears of an overrun of `frames`.
    void reportOverrun(uint64_t frames);
    // The input the last capture was opened on (-1 when the default was asked
    // for, which records input 0), and how many captures are open now.
    int lastCaptureInput() const { return lastInput_.load(); }
    int openCaptures() const;
    // Manual mode: pulls `frames` from every running playback stream.
    size_t pullPlayback(size_t frames);
    // Sees every block a playback stream takes, on the thread that pulls.
    // Set before any stream is opened.
    using PlaybackTap = std::function<void(const int16_t* samples, size_t frames)>;
    void setPlaybackTap(PlaybackTap tap) { playbackTap_ = std::move(tap); }
    const PlaybackTap& playbackTap() const { return playbackTap_; }

    const VirtualConfig& config() const { return config_; }

private:
    friend class VirtualCapture;
    friend class VirtualPlayback;
    void forget(VirtualCapture* capture);
    void forget(VirtualPlayback* playback);

    const VirtualConfig config_;
    PlaybackTap playbackTap_;
    mutable std::mutex mutex_;
    std::vector<VirtualCapture*> captures_;
    std::vector<VirtualPlayback*> playbacks_;
    std::atomic<int> lastInput_{-2};
};

} // namespace audiolib
