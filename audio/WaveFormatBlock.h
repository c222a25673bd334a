#pragma once
// The codec format blocks the recorder offers: what each codec's decoder
// needs in the WAVEFORMATEX block besides its head.

#include "audio/lib/WaveFormat.h"

#include <cstddef>
#include <cstdint>

namespace wavefmt {

// The complete block for one of the audio layer's WAV codecs, extra bytes
// included (ADPCM needs samples-per-block and, for MS ADPCM, its coefficient
// table). Writes at most size bytes; returns the block's length, or 0 when it
// does not fit or the tag is not one of ours.
size_t writeCodecBlock(void* block, size_t size, uint16_t tag, uint16_t channels, uint16_t bits,
                       uint32_t rate);

} // namespace wavefmt
