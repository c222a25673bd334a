#pragma once
// A playback stream on the server's default sink, fed from a PlaybackSource
// on the mainloop thread.

#include "audio/lib/Backend.h"
#include "audio/lib/pulse/PulseConnection.h"

#include <memory>

namespace audiolib::pulse {

// Created corked. nullptr when the server refuses the stream.
std::unique_ptr<PlaybackStream> openPulsePlayback(Connection& conn, StreamFormat format,
                                                  PlaybackSource& source);

} // namespace audiolib::pulse
