#include "audio/lib/ffmpeg/WmaFileEncoder.h"

#include "audio/lib/ffmpeg/WmaRates.h"

#include <algorithm>

namespace audiolib::ffmpeg {

OutputSpec wmaOutputSpec(uint32_t rate, uint32_t channels, uint32_t bitrate) {
    OutputSpec spec;
    spec.muxer = "asf";
    spec.codec = AV_CODEC_ID_WMAV2;
    spec.rate = rate;
    spec.channels = static_cast<int>(channels);
    spec.bitRate = bitrate;
    spec.primingFrame = true;
    // The muxer writes whole data packets only. Its usual 3200 bytes take
    // up to a second to fill at low bitrates, and a killed recording would
    // lose that much on top of what was not yet synced; below 76.8 kbit/s
    // the packets hold a third of a second.
    constexpr uint32_t kUsualPacketBytes = 3200;
    const uint32_t thirdSecondBytes = bitrate / 24;
    if (thirdSecondBytes < kUsualPacketBytes)
        spec.packetBytes = static_cast<int>(std::max<uint32_t>(thirdSecondBytes, 800));
    return spec;
}

size_t wmaTailFrames(const AudioFileWriter& writer) {
    // The decoder swallows the first frame as priming: the writer leads
    // with a frame of silence for it, so the sound starts on time. A frame
    // of silence at the end as well keeps the tail whole for a decoder that
    // does not.
    return static_cast<size_t>(writer.encoderFrameSize());
}

std::unique_ptr<CodecFileEncoder> createWmaFileEncoder(uint32_t rate, uint32_t channels,
                                                       uint32_t bitrate, const std::string& path,
                                                       int& error) {
    if (!isOfferedWmaRate(rate, channels, bitrate)) {
        error = kErrFormat;
        return nullptr;
    }
    auto writer = AudioFileWriter::create(path, wmaOutputSpec(rate, channels, bitrate), error);
    const size_t tail = writer ? wmaTailFrames(*writer) : 0;
    return CodecFileEncoder::begin(std::move(writer), tail, error);
}

} // namespace audiolib::ffmpeg
