#pragma once
// How every WMA file of ours is written, whether a recording channel feeds
// it or a stand-alone encoder does.

#include "audio/lib/ffmpeg/AudioFileWriter.h"
#include "audio/lib/ffmpeg/CodecFileEncoder.h"

#include <memory>
#include <string>

namespace audiolib::ffmpeg {

// At an offered rate, channel count and bitrate (bit/s).
OutputSpec wmaOutputSpec(uint32_t rate, uint32_t channels, uint32_t bitrate);
// The silence that goes before the trailer, so the tail stays whole.
size_t wmaTailFrames(const AudioFileWriter& writer);

// A WMA file without tags for a recording channel, its header written. Null
// with `error` set (kErrFormat for a combination not offered, kErrFileOpen
// for a file that cannot be created); no file is left behind then.
std::unique_ptr<CodecFileEncoder> createWmaFileEncoder(uint32_t rate, uint32_t channels,
                                                       uint32_t bitrate, const std::string& path,
                                                       int& error);

} // namespace audiolib::ffmpeg
