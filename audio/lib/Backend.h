#pragma once
// The seam between the audio library layer and a sound system. One real
// implementation (pulse/) and one for tests (virtual/).
//
// Lifecycle: connect() once; then any number of capture / playback streams;
// the backend is destroyed by free() / recordFree() of the layer after every
// stream it made is gone.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace audiolib {

// Receives captured audio. Called on the backend's own thread: must not lock,
// allocate or block.
class CaptureSink {
public:
    virtual ~CaptureSink() = default;
    // Interleaved 16-bit frames in the stream's format.
    virtual void onCapture(const int16_t* samples, size_t frames) = 0;
    // The source disappeared or the server connection broke.
    virtual void onInputLost() = 0;
    // The connection to the server broke (the server died or restarted);
    // sinks that do not tell it apart take it as a lost input.
    virtual void onServerLost() { onInputLost(); }
    // The server dropped data before we could read it.
    virtual void onOverrun(uint64_t frames) = 0;
    // One side of a mixed capture went away (kLostMicrophone or
    // kLostComputerSound); the capture goes on with the other.
    virtual void onPartLost(uint32_t part) { (void)part; }
};

class CaptureStream {
public:
    virtual ~CaptureStream() = default;
    virtual bool setPaused(bool paused) = 0;
};

// Feeds a playback stream. Called on the backend's own thread: must not lock,
// allocate or block. Returns the frames written (fewer at the end of data).
class PlaybackSource {
public:
    virtual ~PlaybackSource() = default;
    virtual size_t pull(int16_t* samples, size_t frames) = 0;
};

class PlaybackStream {
public:
    virtual ~PlaybackStream() = default;
    virtual bool setPaused(bool paused) = 0;
    // Drop what is queued but not yet heard (after a seek or a stop).
    virtual void flush() = 0;
    // Frames that have actually reached the listener since creation or flush.
    virtual uint64_t framesPlayed() const = 0;
    // The sound system dropped the stream (server gone, stream killed):
    // nothing more will be heard from it.
    virtual bool failed() const { return false; }
};

struct StreamFormat {
    uint32_t rate = 44100;
    uint32_t channels = 2;
    // How often a capture delivers, when the caller cares (0: the backend's
    // own choice). Each delivery wakes the backend's thread.
    uint32_t blockMs = 0;
};

class Backend {
public:
    virtual ~Backend() = default;
    // Connects to the sound system; false (and a reason) when there is none.
    // Must give up within two seconds.
    virtual bool connect(std::string& reason) = 0;
    // Recording inputs, in the server's order, by the name a user sees.
    virtual std::vector<std::string> inputNames() = 0;
    // The same inputs, listed afresh, each with the name the sound system
    // knows it by (stable while the input exists, and across runs). A real
    // sound server lists its default source first. The same order as
    // inputNames(); openCapture counts in the latest listing.
    struct Input {
        std::string id;
        std::string name;
    };
    virtual std::vector<Input> inputs() {
        std::vector<Input> all;
        for (std::string& name : inputNames())
            all.push_back({name, std::move(name)});
        return all;
    }
    // `changed` is called on the backend's own thread whenever an input
    // appears or vanishes or the default one changes; an empty function ends
    // the calls. Returns once no call of the previous function runs any more.
    virtual void watchInputs(std::function<void()> changed) { (void)changed; }
    // Capture from input `input`, created paused. nullptr on failure.
    virtual std::unique_ptr<CaptureStream> openCapture(int input, StreamFormat format,
                                                       CaptureSink& sink) = 0;
    // The two ends of a call: the source the system records by default (the
    // microphone), and the monitor of its default output (what the computer
    // plays), each as the system sets it at the moment of opening.
    enum class DefaultCapture { Source, OutputMonitor };
    virtual bool offersDefaultCaptures() const { return false; }
    // Capture from one of them, created paused. nullptr on failure.
    virtual std::unique_ptr<CaptureStream>
    openDefaultCapture(DefaultCapture which, StreamFormat format, CaptureSink& sink) {
        (void)which;
        (void)format;
        (void)sink;
        return nullptr;
    }
    // Playback on the default output, created paused. nullptr on failure.
    virtual std::unique_ptr<PlaybackStream> openPlayback(StreamFormat format,
                                                         PlaybackSource& source) = 0;
};

std::unique_ptr<Backend> makePulseBackend();

} // namespace audiolib
