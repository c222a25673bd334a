#pragma once
// Internal to the audio library layer: what a handle stands for, and how the
// pieces written in separate files (recording channel, encoders, playback
// streams, WMA encoders) meet in the process-wide state.

#include "audio/lib/AudioLib.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace audiolib {

class Backend;

// Something a channel* function of AudioLib.h acts on: a recording channel or
// a playback stream. Every operation runs on the calling (UI) thread. The
// defaults fail with kErrNotAvail, except bytesToSeconds, which converts at
// the one format every channel carries (44100 Hz stereo 16-bit).
class Channel {
public:
    virtual ~Channel() = default;
    virtual bool play(bool restart);
    virtual bool pause();
    virtual bool stop();
    virtual int isActive() const = 0;
    virtual uint64_t length() const;
    virtual uint64_t position() const;
    virtual bool setPosition(uint64_t bytes);
    virtual double bytesToSeconds(uint64_t bytes) const;
    virtual uint32_t getData(void* buffer, uint32_t length);
    virtual uint64_t filePosition(uint32_t mode) const;
    // Recording channels are released by recordFree(), everything else
    // (playback streams, stand-alone encoders) by free().
    virtual bool recording() const { return false; }
};

// An encoder fed by a recording channel's writer thread (never the capture
// thread). Blocks are interleaved 16-bit PCM at 44100 Hz stereo.
class ChannelEncoder {
public:
    virtual ~ChannelEncoder() = default;
    // False when the encoder has failed; it is then no longer fed.
    virtual bool write(const int16_t* samples, size_t frames) = 0;
    // Called once when the channel stops: flush, close, wait (bounded) for
    // the file to be complete, and say whether it is.
    virtual FinishOutcome finish() = 0;
    // False once the encoder can take no more (process exited, write failed).
    virtual bool active() const = 0;
};

// Attaches an encoder to a recording channel; it is finished and released
// when the channel stops. Returns the encoder's handle (the channel's own
// handle, as encoders are addressed through their channel), or 0.
Handle attachEncoder(Handle channel, std::unique_ptr<ChannelEncoder> encoder);

// The process-wide registry of handles. Handles are never 0 and are not
// reused while the object lives.
Handle registerChannel(std::shared_ptr<Channel> channel);
std::shared_ptr<Channel> findChannel(Handle handle);
void unregisterChannel(Handle handle);
// Every live handle, for free() / recordFree().
std::vector<Handle> channelHandles();

// The backend in use, after init() or recordInit() connected it; null before.
Backend* activeBackend();

// Sets the calling thread's error code; returns the given result for chaining.
void setError(int code);
template <typename T> T fail(int code, T result) {
    setError(code);
    return result;
}

} // namespace audiolib
