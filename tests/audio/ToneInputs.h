#pragma once
// Recorder tests' sound system: the virtual backend with named inputs, input n
// playing (n + 1) kHz at real-time pace in 10 ms blocks, so pauses and
// lengths can be checked.

#include "audio/lib/AudioLib.h"
#include "audio/lib/virtual/VirtualBackend.h"

#include <memory>
#include <string>
#include <vector>

namespace audiotest {

// Installs the backend; the audio layer owns it until audiolib::free().
inline audiolib::VirtualBackend* installToneInputs(const std::vector<std::string>& names) {
    audiolib::VirtualConfig config;
    config.blockFrames = 441;
    for (size_t i = 0; i < names.size(); ++i)
        config.inputs.push_back({names[i], 1000.0 * static_cast<double>(i + 1), 12000});
    auto backend = std::make_unique<audiolib::VirtualBackend>(std::move(config));
    audiolib::VirtualBackend* installed = backend.get();
    audiolib::installBackend(std::move(backend));
    return installed;
}

} // namespace audiotest
