// The channel* functions: look the handle up and let the channel act.
#include "audio/lib/AudioLib.h"
#include "audio/lib/Channel.h"

namespace audiolib {

namespace {

// Runs `op` on the channel of `handle`; `bad` is the result for an unknown
// handle. A successful op clears the error code, a failing one has set it.
template <typename Result, typename Op> Result withChannel(Handle handle, Result bad, Op op) {
    std::shared_ptr<Channel> channel = findChannel(handle);
    if (!channel)
        return fail(kErrHandle, bad);
    setError(kOk);
    return op(*channel);
}

} // namespace

bool channelPlay(Handle channel, bool restart) {
    return withChannel(channel, false, [&](Channel& c) { return c.play(restart); });
}

bool channelPause(Handle channel) {
    return withChannel(channel, false, [](Channel& c) { return c.pause(); });
}

bool channelStop(Handle channel) {
    return withChannel(channel, false, [](Channel& c) { return c.stop(); });
}

int channelIsActive(Handle channel) {
    return withChannel(channel, kActiveStopped, [](Channel& c) { return c.isActive(); });
}

uint64_t channelGetLength(Handle channel, uint32_t mode) {
    if (mode != kPosByte)
        return fail(kErrNotAvail, ~uint64_t{0});
    return withChannel(channel, ~uint64_t{0}, [](Channel& c) { return c.length(); });
}

uint64_t channelGetPosition(Handle channel, uint32_t mode) {
    if (mode != kPosByte)
        return fail(kErrNotAvail, ~uint64_t{0});
    return withChannel(channel, ~uint64_t{0}, [](Channel& c) { return c.position(); });
}

bool channelSetPosition(Handle channel, uint64_t pos, uint32_t mode) {
    if (mode != kPosByte)
        return fail(kErrNotAvail, false);
    return withChannel(channel, false, [&](Channel& c) { return c.setPosition(pos); });
}

double channelBytes2Seconds(Handle channel, uint64_t bytes) {
    return withChannel(channel, -1.0, [&](Channel& c) { return c.bytesToSeconds(bytes); });
}

uint32_t channelGetData(Handle channel, void* buffer, uint32_t length) {
    if (!buffer)
        return fail(kErrNotAvail, ~uint32_t{0});
    return withChannel(channel, ~uint32_t{0},
                       [&](Channel& c) { return c.getData(buffer, length); });
}

} // namespace audiolib
