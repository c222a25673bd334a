// encodeStartCodecFile: a WAV codec encoder on a recording channel; and how
// any file encoder joins its channel.

#include "audio/lib/AudioLib.h"
#include "audio/lib/Channel.h"
#include "audio/lib/WaveFormat.h"
#include "audio/lib/ffmpeg/AudioFileWriter.h"
#include "audio/lib/ffmpeg/CodecFileEncoder.h"

namespace audiolib {

Handle encodeStartCodecFile(Handle channel, const void* form, uint32_t /*flags*/,
                            const char* file) {
    // kEncodeAutoFree needs no handling: a channel always releases its
    // encoders when it stops.
    if (!findChannel(channel))
        return fail(kErrHandle, Handle{0});
    if (!file || !*file)
        return fail(kErrFileOpen, Handle{0});
    // The block says its own length through cbSize; the largest we know is
    // all we ever read.
    const auto format = readWaveFormat(form, kWaveFormatMaxSize);
    if (!format)
        return fail(kErrFormat, Handle{0});
    int error = kOk;
    auto encoder = ffmpeg::CodecFileEncoder::create(*format, file, error);
    return ffmpeg::attachFileEncoder(channel, std::move(encoder), error, file);
}

namespace ffmpeg {

Handle attachFileEncoder(Handle channel, std::unique_ptr<CodecFileEncoder> encoder, int error,
                         const char* file) {
    if (!encoder)
        return fail(error, Handle{0});
    const Handle handle = attachEncoder(channel, std::move(encoder));
    if (handle == 0) {
        // The encoder is gone with its header written; no file without a
        // recording behind it.
        const int code = errorCode();
        ffmpeg::removeUnfinished(file);
        return fail(code ? code : kErrHandle, Handle{0});
    }
    setError(kOk);
    return handle;
}

} // namespace ffmpeg
} // namespace audiolib
