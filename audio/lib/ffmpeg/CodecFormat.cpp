// encodeGetCodecFormat and the codec-dialog hook. The dialog itself lives in
// the UI; the layer only knows the hook, so it never depends on a toolkit.

#include "audio/lib/AudioLib.h"
#include "audio/lib/Channel.h"
#include "audio/lib/WaveFormat.h"

#include <mutex>
#include <utility>

namespace audiolib {
namespace {

std::mutex hookMutex;
CodecDialogHook& hookSlot() {
    static CodecDialogHook hook;
    return hook;
}

} // namespace

void setCodecDialogHook(CodecDialogHook hook) {
    std::lock_guard lock(hookMutex);
    hookSlot() = std::move(hook);
}

uint32_t encodeGetCodecFormat(Handle channel, void* form, uint32_t formlen, const char* title,
                              uint32_t flags) {
    // Without a block the caller asks how big one may get.
    if (!form)
        return static_cast<uint32_t>(kWaveFormatMaxSize);
    // Every channel delivers 44100 Hz stereo, so a channel does not narrow
    // the choice; 0 asks for any format, anything else must be a channel.
    if (channel != 0 && !findChannel(channel))
        return fail(kErrHandle, 0u);
    if (formlen < kWaveFormatHeadSize)
        return fail(kErrFormat, 0u);

    CodecDialogHook hook;
    {
        std::lock_guard lock(hookMutex);
        hook = hookSlot();
    }
    if (!hook)
        return fail(kErrNotAvail, 0u);

    // Without kCodecDefault the caller's block is no preselection; the dialog
    // then opens on CD-quality PCM rather than on whatever the block held.
    if (!(flags & kCodecDefault)) {
        writeWaveFormat(pcmWaveFormat(kCaptureChannels, 16, kCaptureRate), form, formlen);
    }
    bool chosen = false;
    try {
        chosen = hook(form, formlen, title);
    } catch (...) {
        return fail(kErrUnknown, 0u);
    }
    if (!chosen)
        return fail(kErrCancelled, 0u);
    const auto format = readWaveFormat(form, formlen);
    if (!format)
        return fail(kErrFormat, 0u);
    setError(kOk);
    return static_cast<uint32_t>(format->size());
}

} // namespace audiolib
