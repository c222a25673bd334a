#include "audio/lib/playback/DecodedFilePlayer.h"

#include "audio/lib/AudioLib.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <optional>

namespace audiolib {

std::unique_ptr<DecodedFilePlayer> DecodedFilePlayer::open(const std::string& path,
                                                           FileDecoder::Container container,
                                                           const PlaybackOpener& opener,
                                                           int& error) {
    std::unique_ptr<FileDecoder> decoder =
        FileDecoder::open(path, container, error, FileDecoder::Counting::Later);
    if (!decoder) {
        return nullptr;
    }
    std::unique_ptr<DecodedFilePlayer> player(new DecodedFilePlayer(std::move(decoder)));
    if (!player->fft_.valid()) {
        error = kErrMemory;
        return nullptr;
    }
    player->stream_ = opener ? opener(player->format_, *player) : nullptr;
    if (!player->stream_) {
        error = kErrCreate;
        return nullptr;
    }
    player->thread_ = std::thread([e = player.get()] { e->decodeLoop(); });
    if (player->lengthFrames_.load() == FileDecoder::kUnknownLength) {
        player->counter_ = std::thread([e = player.get(), path] { e->countLength(path); });
    }
    error = kOk;
    return player;
}

// A file that cannot be counted keeps an unknown length; it still plays to
// its end.
void DecodedFilePlayer::countLength(const std::string& path) {
    if (const std::optional<uint64_t> frames = FileDecoder::countFrames(path, stopCounting_)) {
        lengthFrames_.store(*frames, std::memory_order_release);
    }
}

DecodedFilePlayer::DecodedFilePlayer(std::unique_ptr<FileDecoder> decoder)
    : decoder_(std::move(decoder)), format_{decoder_->rate(), decoder_->channels()},
      lengthFrames_(decoder_->lengthFrames()), fileSize_(decoder_->fileSize()),
      history_(std::make_unique<std::atomic<int16_t>[]>(kHistory)) {}

DecodedFilePlayer::~DecodedFilePlayer() {
    // Another file may be opened at once: the count gives up.
    stopCounting_ = true;
    // The stream first: once it is gone nothing pulls from the ring.
    stream_.reset();
    {
        std::lock_guard lock(control_);
        quit_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) {
        thread_.join();
    }
    if (counter_.joinable()) {
        counter_.join();
    }
}

void DecodedFilePlayer::decodeLoop() {
    using namespace std::chrono_literals;
    std::unique_lock lock(control_);
    // The decoder stands at frame 0, which is what generation 1 asks for. A
    // request made before this thread first ran must still be seen as new.
    uint32_t generation = 1;
    bool ended = false;
    while (!quit_) {
        if (requestGeneration_ != generation) {
            generation = requestGeneration_;
            const uint64_t frame = requestFrame_;
            lock.unlock();
            ended = !decoder_->seek(frame);
            if (ended) {
                // An unseekable spot plays as the end of the file.
                endFrame_.store(frame, std::memory_order_relaxed);
                endGeneration_.store(generation, std::memory_order_release);
            }
            lock.lock();
            continue;
        }
        if (ended) {
            wake_.wait(lock);
            continue;
        }
        ChunkRing::Chunk* chunk = ring_.writable();
        if (chunk == nullptr) {
            // The server thread may not signal (it must not lock), so a full
            // ring is polled; it holds over a second of sound.
            wake_.wait_for(lock, 5ms);
            continue;
        }
        lock.unlock();
        const uint64_t first = decoder_->nextFrame();
        const size_t frames = decoder_->read(chunk->samples.data(), ChunkRing::kChunkFrames);
        chunk->generation = generation;
        chunk->firstFrame = first;
        chunk->frames = static_cast<uint32_t>(frames);
        if (frames > 0) {
            ring_.commit();
        }
        if (frames < ChunkRing::kChunkFrames) {
            ended = true;
            endFrame_.store(first + frames, std::memory_order_relaxed);
            endGeneration_.store(generation, std::memory_order_release);
        }
        lock.lock();
    }
}

size_t DecodedFilePlayer::pull(int16_t* samples, size_t frames) {
    const uint32_t generation = acceptGeneration_.load(std::memory_order_acquire);
    uint64_t count = pulled_.load(std::memory_order_relaxed);
    if (generation != pullGeneration_) {
        pullGeneration_ = generation;
        count = 0;
    }
    const size_t channels = format_.channels;
    size_t done = 0;
    while (done < frames) {
        const ChunkRing::Chunk* chunk = ring_.readable();
        if (chunk == nullptr) {
            break;
        }
        if (chunk->generation != generation) {
            ring_.release();
            chunkOffset_ = 0;
            continue;
        }
        const size_t take = std::min(frames - done, chunk->frames - chunkOffset_);
        const int16_t* from = chunk->samples.data() + chunkOffset_ * channels;
        std::memcpy(samples + done * channels, from, take * channels * sizeof(int16_t));
        for (size_t i = 0; i < take; ++i) {
            const int mono = channels == 2 ? (from[2 * i] + from[2 * i + 1]) / 2 : from[i];
            history_[(count + i) % kHistory].store(static_cast<int16_t>(mono),
                                                   std::memory_order_relaxed);
        }
        count += take;
        done += take;
        chunkOffset_ += take;
        if (chunkOffset_ == chunk->frames) {
            ring_.release();
            chunkOffset_ = 0;
        }
    }
    pulled_.store(count, std::memory_order_release);
    return done;
}

void DecodedFilePlayer::restartAt(uint64_t frame) {
    // From here the server thread hands out nothing of the old position;
    // the flush then drops what it had queued, and only after that may the
    // decoder produce the new position, so what is heard after the flush
    // starts exactly at `frame`.
    ++generation_;
    acceptGeneration_.store(generation_, std::memory_order_release);
    stream_->flush();
    base_ = frame;
    {
        std::lock_guard lock(control_);
        requestGeneration_ = generation_;
        requestFrame_ = frame;
    }
    wake_.notify_one();
}

uint64_t DecodedFilePlayer::positionFrames() const {
    uint64_t pos =
        base_ + std::min(stream_->framesPlayed(), pulled_.load(std::memory_order_acquire));
    if (endGeneration_.load(std::memory_order_acquire) == generation_) {
        pos = std::min(pos, endFrame_.load(std::memory_order_relaxed));
    }
    return std::min(pos, lengthFrames_.load(std::memory_order_acquire));
}

// The end of the file was heard, or the sound system dropped the stream,
// which ends the playback just the same.
bool DecodedFilePlayer::atEnd() const {
    if (stream_->failed()) {
        return true;
    }
    return endGeneration_.load(std::memory_order_acquire) == generation_ &&
           positionFrames() >= endFrame_.load(std::memory_order_relaxed);
}

// A stream that has played out counts as stopped from then on, as a later
// seek must not start it again by itself.
void DecodedFilePlayer::settle() {
    if (state_ == State::Playing && atEnd()) {
        stream_->setPaused(true);
        state_ = State::Stopped;
    }
}

bool DecodedFilePlayer::failWith(int code) {
    lastError_ = code;
    return false;
}

bool DecodedFilePlayer::play(bool restart) {
    settle();
    if (stream_->failed()) {
        return failWith(kErrDriver);
    }
    if (restart || atEnd()) {
        restartAt(0);
    } else if (state_ == State::Playing) {
        return true;
    }
    if (!stream_->setPaused(false)) {
        return failWith(kErrDriver);
    }
    state_ = State::Playing;
    return true;
}

bool DecodedFilePlayer::pause() {
    settle();
    if (state_ == State::Paused) {
        return failWith(kErrAlready);
    }
    if (state_ == State::Stopped) {
        return failWith(kErrNotAvail);
    }
    stream_->setPaused(true);
    state_ = State::Paused;
    return true;
}

bool DecodedFilePlayer::stop() {
    stream_->setPaused(true);
    state_ = State::Stopped;
    return true;
}

int DecodedFilePlayer::activity() const {
    switch (state_) {
    case State::Playing:
        return atEnd() ? kActiveStopped : kActivePlaying;
    case State::Paused:
        return kActivePaused;
    case State::Stopped:
        break;
    }
    return kActiveStopped;
}

uint64_t DecodedFilePlayer::lengthBytes() const {
    const uint64_t frames = lengthFrames_.load(std::memory_order_acquire);
    if (frames == FileDecoder::kUnknownLength) {
        return FileDecoder::kUnknownLength;
    }
    return frames * format_.channels * sizeof(int16_t);
}

uint64_t DecodedFilePlayer::positionBytes() const {
    return positionFrames() * format_.channels * sizeof(int16_t);
}

bool DecodedFilePlayer::setPositionBytes(uint64_t bytes) {
    const uint64_t frame = bytes / (format_.channels * sizeof(int16_t));
    // While the length is unknown any place may be asked for; past the end
    // the decoder finds nothing, which plays as the end.
    if (frame >= lengthFrames_.load(std::memory_order_acquire)) {
        return failWith(kErrPosition);
    }
    settle();
    restartAt(frame);
    return true;
}

double DecodedFilePlayer::bytesToSeconds(uint64_t bytes) const {
    return static_cast<double>(bytes) /
           (static_cast<double>(format_.channels) * sizeof(int16_t) * format_.rate);
}

bool DecodedFilePlayer::spectrum(float* out) {
    const uint64_t pulled = pulled_.load(std::memory_order_acquire);
    const uint64_t heard = std::min(stream_->framesPlayed(), pulled);
    std::array<float, Spectrum1024::kSize> window{};
    for (size_t i = 0; i < Spectrum1024::kSize; ++i) {
        // Frames before the last flush, or already overwritten, count as silence.
        const uint64_t back = Spectrum1024::kSize - i;
        if (heard < back || pulled - (heard - back) > kHistory) {
            continue;
        }
        const uint64_t at = heard - back;
        window[i] = history_[at % kHistory].load(std::memory_order_relaxed) / 32768.0f;
    }
    fft_.magnitudes(window.data(), out);
    return true;
}

} // namespace audiolib
