#include "audio/lib/ffmpeg/WmaEncoder.h"

#include "audio/lib/AudioLib.h"
#include "audio/lib/ffmpeg/AudioFileWriter.h"
#include "audio/lib/ffmpeg/WmaFileEncoder.h"

#include <chrono>
#include <vector>

namespace audiolib::ffmpeg {
namespace {

// Four seconds of capture: far more than a worker needs to catch up after a
// stall of the disk, small enough to preallocate.
constexpr size_t kQueueSamples = 4 * kCaptureRate * kCaptureChannels;
constexpr size_t kChunkFrames = 4096;
constexpr auto kIdleWait = std::chrono::milliseconds(5);

} // namespace

std::unique_ptr<WmaEncoder> WmaEncoder::open(uint32_t rate, uint32_t channels, uint32_t bitrate,
                                             const std::string& path, int& error) {
    const OutputSpec spec = wmaOutputSpec(rate, channels, bitrate);
    auto writer = AudioFileWriter::create(path, spec, error);
    if (!writer)
        return nullptr;
    std::unique_ptr<WmaEncoder> encoder(new WmaEncoder(std::move(writer)));
    encoder->worker_ = std::thread([e = encoder.get()] { e->run(); });
    return encoder;
}

WmaEncoder::WmaEncoder(std::unique_ptr<AudioFileWriter> writer)
    : writer_(std::move(writer)), ring_(kQueueSamples) {}

WmaEncoder::~WmaEncoder() {
    close();
}

bool WmaEncoder::setTag(const char* tag, const char* text) {
    std::lock_guard lock(headerMutex_);
    if (headerStarted_ || tagsEnded_.load(std::memory_order_acquire))
        return false;
    return writer_->setTag(tag, text);
}

bool WmaEncoder::write(const void* buffer, uint32_t bytes) {
    constexpr uint32_t kFrameBytes = kCaptureChannels * sizeof(int16_t);
    if (failed_.load(std::memory_order_acquire) || !buffer || bytes % kFrameBytes != 0 ||
        stopping_.load(std::memory_order_relaxed))
        return false;
    if (!ring_.push(static_cast<const int16_t*>(buffer), bytes / sizeof(int16_t))) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    // Sound has come: the header is due, so no tag can join it any more.
    tagsEnded_.store(true, std::memory_order_release);
    return true;
}

bool WmaEncoder::startFile() {
    std::lock_guard lock(headerMutex_);
    headerStarted_ = true;
    return writer_->begin();
}

void WmaEncoder::run() {
    std::vector<int16_t> chunk(kChunkFrames * kCaptureChannels);
    bool started = false;
    for (;;) {
        // Read before draining: whatever was pushed before close() is then
        // certain to be seen by the pop below.
        const bool stopping = stopping_.load(std::memory_order_acquire);
        if (!started) {
            if (!stopping && !tagsEnded_.load(std::memory_order_acquire) && ring_.size() == 0) {
                std::this_thread::sleep_for(kIdleWait);
                continue;
            }
            started = true;
            if (!startFile())
                failed_.store(true, std::memory_order_release);
        }
        const size_t n = ring_.pop(chunk.data(), chunk.size());
        if (n > 0) {
            // After a failure the queue is still emptied, so close() ends.
            if (!failed() && !writer_->write(chunk.data(), n / kCaptureChannels))
                failed_.store(true, std::memory_order_release);
            continue;
        }
        if (stopping)
            break;
        std::this_thread::sleep_for(kIdleWait);
    }
    complete_ = writer_->finish(wmaTailFrames(*writer_)) && !failed();
}

bool WmaEncoder::close() {
    if (closed_)
        return complete_;
    closed_ = true;
    stopping_.store(true, std::memory_order_release);
    if (worker_.joinable())
        worker_.join();
    return complete_;
}

} // namespace audiolib::ffmpeg
