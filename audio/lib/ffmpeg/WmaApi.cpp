// The wmaEncode* functions of the layer.

#include "audio/lib/AudioLib.h"
#include "audio/lib/Channel.h"
#include "audio/lib/ffmpeg/AudioFileWriter.h"
#include "audio/lib/ffmpeg/CodecFileEncoder.h"
#include "audio/lib/ffmpeg/WmaEncoder.h"
#include "audio/lib/ffmpeg/WmaFileEncoder.h"
#include "audio/lib/ffmpeg/WmaRates.h"
#include "audio/lib/ffmpeg/WmaRegistry.h"

namespace audiolib {

using ffmpeg::WmaRegistry;

const uint32_t* wmaEncodeGetRates(uint32_t freq, uint32_t chans, uint32_t /*flags*/) {
    const uint32_t* rates = ffmpeg::wmaOfferedRates(freq, chans);
    if (!rates)
        return fail(kErrFormat, static_cast<const uint32_t*>(nullptr));
    setError(kOk);
    return rates;
}

Handle encodeStartWmaFile(Handle channel, uint32_t freq, uint32_t chans, uint32_t /*flags*/,
                          uint32_t bitrate, const char* file) {
    if (!findChannel(channel))
        return fail(kErrHandle, Handle{0});
    if (!file || !*file)
        return fail(kErrFileOpen, Handle{0});
    int error = kOk;
    auto encoder = ffmpeg::createWmaFileEncoder(freq, chans, bitrate, file, error);
    return ffmpeg::attachFileEncoder(channel, std::move(encoder), error, file);
}

Handle wmaEncodeOpenFile(uint32_t freq, uint32_t chans, uint32_t /*flags*/, uint32_t bitrate,
                         const char* file) {
    // The flags only say "standard WMA" and "UTF-8 names", which is all we do.
    if (!ffmpeg::isOfferedWmaRate(freq, chans, bitrate))
        return fail(kErrFormat, Handle{0});
    if (!file || !*file)
        return fail(kErrFileOpen, Handle{0});
    int error = kOk;
    auto encoder = ffmpeg::WmaEncoder::open(freq, chans, bitrate, file, error);
    if (!encoder)
        return fail(error, Handle{0});
    const Handle handle = WmaRegistry::instance().add(std::move(encoder));
    if (handle == 0) {
        // The encoder has already been released with an empty file.
        ffmpeg::removeUnfinished(file);
        return fail(kErrMemory, Handle{0});
    }
    setError(kOk);
    return handle;
}

bool wmaEncodeSetTag(Handle encoder, const char* tag, const char* text, int form) {
    // Binary tag values (form bit 8) have no place in our text-only tags.
    if (tag && (form & 0x100))
        return fail(kErrFormat, false);
    bool ok = false;
    const bool known = WmaRegistry::instance().withEncoder(encoder, [&](ffmpeg::WmaEncoder& e) {
        if (!tag) {
            e.endTags();
            ok = true;
        } else {
            ok = e.setTag(tag, text);
        }
    });
    if (!known)
        return fail(kErrHandle, false);
    if (!ok)
        return fail(kErrNotAvail, false);
    setError(kOk);
    return true;
}

bool wmaEncodeWrite(Handle encoder, const void* buffer, uint32_t length) {
    bool written = false;
    if (!WmaRegistry::instance().write(encoder, buffer, length, written))
        return fail(kErrHandle, false);
    if (!written)
        return fail(kErrEnded, false);
    return true;
}

bool wmaEncodeClose(Handle encoder) {
    auto owned = WmaRegistry::instance().remove(encoder);
    if (!owned)
        return fail(kErrHandle, false);
    if (!owned->close())
        return fail(kErrFileOpen, false);
    setError(kOk);
    return true;
}

} // namespace audiolib
