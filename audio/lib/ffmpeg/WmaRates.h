#pragma once
// The WMA bitrates we offer, per sample rate and channel count.

#include <cstdint>

namespace audiolib::ffmpeg {

// Zero-terminated, highest first; null for a rate or channel count we do not
// offer.
const uint32_t* wmaOfferedRates(uint32_t rate, uint32_t channels);
bool isOfferedWmaRate(uint32_t rate, uint32_t channels, uint32_t bitrate);

} // namespace audiolib::ffmpeg
