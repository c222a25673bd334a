#pragma once
// Plays what the virtual sink's streams hold, on the test's thread.

#include "audio/lib/AudioLib.h"
#include "audio/lib/virtual/VirtualBackend.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

namespace audiolib {

// Installs a virtual backend that moves only when the test pulls; the sink to
// pull from.
inline VirtualBackend* installManualBackend() {
    VirtualConfig config;
    config.manual = true;
    auto backend = std::make_unique<VirtualBackend>(config);
    VirtualBackend* sink = backend.get();
    installBackend(std::move(backend));
    return sink;
}

// Pulls until `frames` were heard or nothing more comes for about 2 s; the
// frames heard.
inline uint64_t hearPlayback(VirtualBackend& sink, uint64_t frames) {
    uint64_t done = 0;
    for (int idle = 0; done < frames && idle < 2000;) {
        const size_t got =
            sink.pullPlayback(static_cast<size_t>(std::min<uint64_t>(frames - done, 4096)));
        done += got;
        if (got == 0) {
            ++idle;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return done;
}

} // namespace audiolib
