#pragma once
// A record stream on the server, delivering blocks to a CaptureSink on the
// mainloop thread.

#include "audio/lib/Backend.h"
#include "audio/lib/pulse/PulseConnection.h"

#include <memory>

namespace audiolib::pulse {

// device: a source name, or nullptr for the server's default. Created
// corked. nullptr when the server refuses the stream.
std::unique_ptr<CaptureStream> openPulseCapture(Connection& conn, const char* device,
                                                StreamFormat format, CaptureSink& sink);

} // namespace audiolib::pulse
