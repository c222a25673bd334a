#pragma once
// One playing file: a decoder thread fills a ChunkRing that the sound
// server's playback stream drains. Position and spectrum come from what the
// stream reports as heard, never from how far decoding got. Every public
// operation runs on the owning (UI) thread. A length the file must be read
// through to know is counted on a thread of its own: playing and seeking
// need not wait for it.

#include "audio/lib/Backend.h"
#include "audio/lib/ffmpeg/FileDecoder.h"
#include "audio/lib/playback/ChunkRing.h"
#include "audio/lib/playback/Spectrum.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace audiolib {

using PlaybackOpener =
    std::function<std::unique_ptr<PlaybackStream>(StreamFormat, PlaybackSource&)>;

class DecodedFilePlayer final : public PlaybackSource {
public:
    // nullptr with `error` set when the file cannot be decoded or no stream
    // can be opened; nothing is left running then.
    static std::unique_ptr<DecodedFilePlayer> open(const std::string& path,
                                                   FileDecoder::Container container,
                                                   const PlaybackOpener& opener, int& error);
    ~DecodedFilePlayer() override;
    DecodedFilePlayer(const DecodedFilePlayer&) = delete;
    DecodedFilePlayer& operator=(const DecodedFilePlayer&) = delete;

    // Results and failures as the channel functions of AudioLib.h; the error
    // code of a failure is in lastError().
    bool play(bool restart);
    bool pause();
    bool stop();
    int activity() const;
    // FileDecoder::kUnknownLength until the count is done.
    uint64_t lengthBytes() const;
    uint64_t positionBytes() const;
    bool setPositionBytes(uint64_t bytes);
    double bytesToSeconds(uint64_t bytes) const;
    uint64_t fileSize() const { return fileSize_; }
    StreamFormat format() const { return format_; }
    int lastError() const { return lastError_; }

    // Spectrum1024::kBins magnitudes of the 1024 frames heard last (mono mix).
    bool spectrum(float* out);

    // Called by the playback stream on the server's thread.
    size_t pull(int16_t* samples, size_t frames) override;

private:
    enum class State { Stopped, Playing, Paused };
    static constexpr size_t kHistory = 1 << 16; // heard frames kept for the FFT

    DecodedFilePlayer(std::unique_ptr<FileDecoder> decoder);
    void decodeLoop();
    void countLength(const std::string& path);
    void restartAt(uint64_t frame);
    uint64_t positionFrames() const;
    bool atEnd() const;
    void settle();
    bool failWith(int code);

    std::unique_ptr<FileDecoder> decoder_;
    StreamFormat format_;
    std::atomic<uint64_t> lengthFrames_{0}; // set once by the counting thread
    std::atomic<bool> stopCounting_{false};
    uint64_t fileSize_ = 0;

    // UI thread only.
    State state_ = State::Stopped;
    uint32_t generation_ = 1;
    uint64_t base_ = 0; // file frame heard first after the last flush
    int lastError_ = 0;
    Spectrum1024 fft_;

    // Decoder thread requests.
    std::mutex control_;
    std::condition_variable wake_;
    uint32_t requestGeneration_ = 1;
    uint64_t requestFrame_ = 0;
    bool quit_ = false;

    // Shared between threads without locks.
    ChunkRing ring_;
    std::atomic<uint32_t> acceptGeneration_{1};
    std::atomic<uint32_t> endGeneration_{0};
    std::atomic<uint64_t> endFrame_{0};
    std::atomic<uint64_t> pulled_{0}; // frames handed out since the last flush
    std::unique_ptr<std::atomic<int16_t>[]> history_;

    // Server thread only.
    uint32_t pullGeneration_ = 1;
    size_t chunkOffset_ = 0;

    std::thread thread_;
    std::thread counter_;
    std::unique_ptr<PlaybackStream> stream_; // last: goes first, before pulls could dangle
};

} // namespace audiolib
