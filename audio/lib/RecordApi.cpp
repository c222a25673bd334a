// recordStart and what is asked of a recording channel by handle.
#include "audio/lib/AudioLib.h"
#include "audio/lib/ProcessState.h"
#include "audio/lib/RecordChannel.h"

namespace audiolib {

namespace {

std::shared_ptr<RecordChannel> findRecording(Handle handle) {
    return std::dynamic_pointer_cast<RecordChannel>(findChannel(handle));
}

} // namespace

Handle recordStart(uint32_t freq, uint32_t channels, uint32_t flags, RecordProc proc, void* user) {
    if (!recordInitialised())
        return fail(kErrInit, Handle{0});
    // The capture format is fixed; the encoders convert from it.
    if (freq != kCaptureRate || channels != kCaptureChannels)
        return fail(kErrFormat, Handle{0});
    Backend* backend = activeBackend();
    if (!backend)
        return fail(kErrInit, Handle{0});
    const int input = selectedInput();
    auto channel = std::make_shared<RecordChannel>(proc, user, inputState(input));
    if (flags & kRecordSkipSilence)
        channel->skipSilence();
    const Handle handle = registerChannel(channel);
    if (handle == 0)
        return 0;
    if (!channel->open(*backend, input, handle)) {
        unregisterChannel(handle);
        return fail(kErrCreate, Handle{0});
    }
    if (!(flags & kRecordPause) && !channel->play(false)) {
        const int code = errorCode();
        channel->stop();
        return fail(code, Handle{0});
    }
    setError(kOk);
    return handle;
}

Handle attachEncoder(Handle handle, std::unique_ptr<ChannelEncoder> encoder) {
    std::shared_ptr<RecordChannel> channel = findRecording(handle);
    if (!channel)
        return fail(kErrHandle, Handle{0});
    if (!channel->attach(std::move(encoder)))
        return 0;
    setError(kOk);
    return handle;
}

int encodeIsActive(Handle handle) {
    // From inside the record callback: answered without touching the
    // registry's lock, as the capture thread must never wait.
    if (const RecordChannel* running = RecordChannel::current();
        running && running->handle() == handle)
        return running->encoderState();
    std::shared_ptr<RecordChannel> channel = findRecording(handle);
    if (!channel)
        return fail(kErrHandle, 0);
    setError(kOk);
    return channel->encoderState();
}

bool encodeSetFinishNotify(Handle handle, FinishNotify notify) {
    std::shared_ptr<RecordChannel> channel = findRecording(handle);
    if (!channel)
        return fail(kErrHandle, false);
    channel->setFinishNotify(std::move(notify));
    setError(kOk);
    return true;
}

EndCause channelEndCause(Handle handle) {
    std::shared_ptr<RecordChannel> channel = findRecording(handle);
    if (!channel)
        return fail(kErrHandle, EndCause::None);
    setError(kOk);
    return channel->endCause();
}

uint64_t channelLostFrames(Handle handle) {
    std::shared_ptr<RecordChannel> channel = findRecording(handle);
    if (!channel)
        return fail(kErrHandle, uint64_t{0});
    setError(kOk);
    return channel->lostFrames();
}

uint32_t channelLostParts(Handle handle) {
    std::shared_ptr<RecordChannel> channel = findRecording(handle);
    if (!channel)
        return fail(kErrHandle, uint32_t{0});
    setError(kOk);
    return channel->lostParts();
}

uint64_t channelLostBlocks(Handle handle) {
    std::shared_ptr<RecordChannel> channel = findRecording(handle);
    if (!channel)
        return fail(kErrHandle, uint64_t{0});
    setError(kOk);
    return channel->lostBlocks();
}

} // namespace audiolib
