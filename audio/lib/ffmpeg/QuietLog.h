#pragma once
// The layer reports every failure by code; FFmpeg's own chatter about damaged
// files or odd formats would only end up on the user's terminal.

extern "C" {
#include <libavutil/log.h>
}

#include <mutex>

namespace audiolib::ffmpeg {

inline void quietLog() {
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
}

} // namespace audiolib::ffmpeg
