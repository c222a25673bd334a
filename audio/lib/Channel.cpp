// What a channel does for an operation it has no meaning for.
#include "audio/lib/Channel.h"
#include "audio/lib/AudioLib.h"

namespace audiolib {

bool Channel::play(bool) {
    return fail(kErrNotAvail, false);
}
bool Channel::pause() {
    return fail(kErrNotAvail, false);
}
bool Channel::stop() {
    return fail(kErrNotAvail, false);
}
uint64_t Channel::length() const {
    return fail(kErrNotAvail, ~uint64_t{0});
}
uint64_t Channel::position() const {
    return fail(kErrNotAvail, ~uint64_t{0});
}
bool Channel::setPosition(uint64_t) {
    return fail(kErrNotAvail, false);
}
double Channel::bytesToSeconds(uint64_t bytes) const {
    // Every channel of the layer carries 44100 Hz stereo 16-bit PCM.
    return static_cast<double>(bytes) / (double{kCaptureRate} * kCaptureFrameBytes);
}
uint32_t Channel::getData(void*, uint32_t) {
    return fail(kErrNotAvail, ~uint32_t{0});
}
uint64_t Channel::filePosition(uint32_t) const {
    return fail(kErrNotAvail, ~uint64_t{0});
}

} // namespace audiolib
