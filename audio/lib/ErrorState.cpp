// The per-thread error code and the version the engines check.
#include "audio/lib/AudioLib.h"
#include "audio/lib/Channel.h"

namespace audiolib {

namespace {
thread_local int tlsError = kOk;
// Low half: our own revision of the layer, independent of the interface.
constexpr uint32_t kRevision = 0x0001;
} // namespace

void setError(int code) {
    tlsError = code;
}

int errorCode() {
    return tlsError;
}

uint32_t version() {
    return (kInterfaceVersion << 16) | kRevision;
}

} // namespace audiolib
