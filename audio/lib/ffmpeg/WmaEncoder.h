#pragma once
// A stand-alone WMA file being written, for a caller that feeds it from its
// own capture thread (a recording channel's WMA file is a CodecFileEncoder on
// the channel's writer thread instead). The caller pushes PCM into a ring; a
// worker thread of the encoder converts and encodes it, so a slow disk never
// stalls the caller.
//
// Tags: setTag() works until the tag phase ends, by endTags() or by the first
// block written; the header, with the tags, is written then. Tags that come
// later are refused.

#include "audio/lib/SpscRing.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace audiolib::ffmpeg {

class AudioFileWriter;

class WmaEncoder {
public:
    // Null with `error` set when the encoder cannot be opened or the file
    // cannot be created (no file is left then).
    static std::unique_ptr<WmaEncoder> open(uint32_t rate, uint32_t channels, uint32_t bitrate,
                                            const std::string& path, int& error);
    ~WmaEncoder();
    WmaEncoder(const WmaEncoder&) = delete;
    WmaEncoder& operator=(const WmaEncoder&) = delete;

    // UI thread.
    bool setTag(const char* tag, const char* text);
    void endTags() { tagsEnded_.store(true, std::memory_order_release); }
    // Drains the queue, pads, flushes and writes the trailer. True when the
    // file is complete.
    bool close();

    // Capture thread: never blocks, locks or allocates. `bytes` of
    // interleaved 44100 Hz stereo 16-bit PCM. False when the encoder has
    // failed or the block did not fit in the queue.
    bool write(const void* buffer, uint32_t bytes);

    bool failed() const { return failed_.load(std::memory_order_acquire); }
    uint64_t droppedBlocks() const { return dropped_.load(std::memory_order_relaxed); }

private:
    explicit WmaEncoder(std::unique_ptr<AudioFileWriter> writer);
    void run();
    bool startFile();

    std::unique_ptr<AudioFileWriter> writer_;
    SpscRing<int16_t> ring_;
    std::mutex headerMutex_; // between setTag and the worker's header
    bool headerStarted_ = false;
    std::atomic<bool> tagsEnded_{false};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> failed_{false};
    std::atomic<uint64_t> dropped_{0};
    bool complete_ = false;
    bool closed_ = false;
    std::thread worker_;
};

} // namespace audiolib::ffmpeg
