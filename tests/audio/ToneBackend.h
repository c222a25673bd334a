#pragma once
// A sound system for recorder tests: named inputs, each a sine of its own
// frequency (1000 Hz for input 0, 2000 Hz for input 1, ...) delivered in
// 10 ms blocks at real-time pace, so pauses and lengths can be checked.

#include "audio/lib/Backend.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tonetest {

class ToneCapture final : public audiolib::CaptureStream {
public:
    ToneCapture(int input, audiolib::StreamFormat format, audiolib::CaptureSink& sink)
        : freq_(1000.0 * (input < 0 ? 1 : input + 1)), format_(format), sink_(sink) {
        thread_ = std::thread([this] { run(); });
    }
    ~ToneCapture() override {
        quit_ = true;
        thread_.join();
    }
    bool setPaused(bool paused) override {
        paused_ = paused;
        return true;
    }
    // The source goes away, as when a USB microphone is pulled.
    void loseInput() { lost_ = true; }

private:
    void run() {
        const size_t frames = format_.rate / 100;
        std::vector<int16_t> block(frames * format_.channels);
        auto next = std::chrono::steady_clock::now();
        bool told = false;
        while (!quit_) {
            next += std::chrono::milliseconds(10);
            std::this_thread::sleep_until(next);
            if (lost_) {
                if (!told)
                    sink_.onInputLost();
                told = true;
                continue;
            }
            if (paused_)
                continue;
            for (size_t i = 0; i < frames; ++i) {
                double t = static_cast<double>(pos_++) / format_.rate;
                auto v = static_cast<int16_t>(12000.0 * std::sin(2.0 * M_PI * freq_ * t));
                for (uint32_t c = 0; c < format_.channels; ++c)
                    block[i * format_.channels + c] = v;
            }
            sink_.onCapture(block.data(), frames);
        }
    }

    double freq_;
    audiolib::StreamFormat format_;
    audiolib::CaptureSink& sink_;
    std::atomic<bool> quit_{false};
    std::atomic<bool> paused_{true};
    std::atomic<bool> lost_{false};
    uint64_t pos_ = 0;
    std::thread thread_;
};

class ToneBackend final : public audiolib::Backend {
public:
    explicit ToneBackend(std::vector<std::string> inputs, ToneCapture** last = nullptr)
        : inputs_(std::move(inputs)), last_(last) {}
    bool connect(std::string&) override { return true; }
    std::vector<std::string> inputNames() override { return inputs_; }
    std::unique_ptr<audiolib::CaptureStream> openCapture(int input, audiolib::StreamFormat format,
                                                         audiolib::CaptureSink& sink) override {
        auto capture = std::make_unique<ToneCapture>(input, format, sink);
        if (last_ != nullptr)
            *last_ = capture.get();
        return capture;
    }
    std::unique_ptr<audiolib::PlaybackStream> openPlayback(audiolib::StreamFormat,
                                                           audiolib::PlaybackSource&) override {
        return nullptr;
    }

private:
    std::vector<std::string> inputs_;
    ToneCapture** last_;
};

} // namespace tonetest
