#include "audio/lib/virtual/VirtualBackend.h"

#include "audio/lib/AudioLib.h"
#include "audio/lib/virtual/VirtualCapture.h"
#include "audio/lib/virtual/VirtualPlayback.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace audiolib {

VirtualBackend::VirtualBackend(VirtualConfig config) : config_(std::move(config)) {}

VirtualBackend::~VirtualBackend() = default;

bool VirtualBackend::connect(std::string& reason) {
    if (!config_.reachable)
        reason = "the virtual server is switched off";
    return config_.reachable;
}

std::vector<std::string> VirtualBackend::inputNames() {
    std::vector<std::string> names;
    for (const VirtualInput& in : config_.inputs)
        names.push_back(in.name);
    return names;
}

int16_t VirtualBackend::sineSample(const VirtualInput& input, uint64_t frame) {
    if (frame >= input.quietFrom && frame < input.quietTo)
        return 0;
    // Reduced to one period first, so the phase stays exact for hours.
    const double period = 44100.0 / input.frequency;
    const double t = std::fmod(static_cast<double>(frame), period) / period;
    return static_cast<int16_t>(
        std::lround(input.amplitude * std::sin(2.0 * std::numbers::pi * t)));
}

std::unique_ptr<CaptureStream> VirtualBackend::openCapture(int input, StreamFormat format,
                                                           CaptureSink& sink) {
    if (format.rate != kCaptureRate || format.channels != kCaptureChannels ||
        config_.inputs.empty())
        return nullptr;
    if (input >= static_cast<int>(config_.inputs.size()) || input < -1)
        return nullptr;
    lastInput_ = input;
    const VirtualInput& chosen = config_.inputs[static_cast<size_t>(std::max(input, 0))];
    auto capture = std::make_unique<VirtualCapture>(*this, chosen, sink);
    {
        std::lock_guard lock(mutex_);
        captures_.push_back(capture.get());
    }
    if (!config_.manual)
        capture->startPacing();
    return capture;
}

bool VirtualBackend::offersDefaultCaptures() const {
    return config_.defaultSource >= 0 && config_.defaultMonitor >= 0;
}

std::unique_ptr<CaptureStream>
VirtualBackend::openDefaultCapture(DefaultCapture which, StreamFormat format, CaptureSink& sink) {
    if (!offersDefaultCaptures())
        return nullptr;
    return openCapture(which == DefaultCapture::Source ? config_.defaultSource
                                                       : config_.defaultMonitor,
                       format, sink);
}

std::unique_ptr<PlaybackStream> VirtualBackend::openPlayback(StreamFormat format,
                                                             PlaybackSource& source) {
    if (format.rate == 0 || format.channels == 0 || format.channels > 8)
        return nullptr;
    auto playback = std::make_unique<VirtualPlayback>(*this, format, source);
    {
        std::lock_guard lock(mutex_);
        playbacks_.push_back(playback.get());
    }
    if (!config_.manual)
        playback->startPacing();
    return playback;
}

void VirtualBackend::forget(VirtualCapture* capture) {
    std::lock_guard lock(mutex_);
    std::erase(captures_, capture);
}

void VirtualBackend::forget(VirtualPlayback* playback) {
    std::lock_guard lock(mutex_);
    std::erase(playbacks_, playback);
}

size_t VirtualBackend::pushBlocks(size_t count) {
    std::lock_guard lock(mutex_);
    size_t delivered = 0;
    for (size_t i = 0; i < count; ++i)
        for (VirtualCapture* c : captures_)
            delivered += c->deliver() ? 1 : 0;
    return delivered;
}

void VirtualBackend::loseInput(const std::string& name) {
    std::lock_guard lock(mutex_);
    for (VirtualCapture* c : captures_) {
        if (!name.empty() && c->inputName() != name)
            continue;
        c->lose();
        // Paced captures report it on their own thread.
        if (config_.manual)
            c->deliver();
    }
}

void VirtualBackend::reportOverrun(uint64_t frames) {
    std::lock_guard lock(mutex_);
    for (VirtualCapture* c : captures_)
        c->overrun(frames);
}

int VirtualBackend::openCaptures() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(captures_.size());
}

size_t VirtualBackend::pullPlayback(size_t frames) {
    std::lock_guard lock(mutex_);
    size_t got = 0;
    for (VirtualPlayback* p : playbacks_)
        got += p->pull(frames);
    return got;
}

} // namespace audiolib
