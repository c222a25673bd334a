#pragma once
// The input that records the microphone and the computer's sound together.
// It is listed after the sound system's own inputs, whenever the system can
// say which are its defaults, and opening it opens both (MixedCapture).

#include "audio/lib/Backend.h"

#include <memory>

namespace audiolib {

// Its id can be no source's name on a sound server (they have no ':').
inline constexpr const char* kMixedInputId = "mix:source+monitor";
inline constexpr const char* kMixedInputName = "Microphone + computer sound";

// The backend with the mixed input added to its listing.
std::unique_ptr<Backend> withMixedInput(std::unique_ptr<Backend> backend);

} // namespace audiolib
