#pragma once
// The WAVEFORMATEX head of a codec format block, read and written
// little-endian whatever the host byte order, so the block means the same to
// the recorder, the format dialog and the codec writer.

#include <cstddef>
#include <cstdint>

namespace wavefmt {

constexpr size_t kHeadSize = 18;

constexpr uint16_t kTagPcm = 0x0001;
constexpr uint16_t kTagMsAdpcm = 0x0002;
constexpr uint16_t kTagALaw = 0x0006;
constexpr uint16_t kTagMuLaw = 0x0007;
constexpr uint16_t kTagImaAdpcm = 0x0011;

struct Head {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t cbSize = 0;
};

// Both fail (false) on a block shorter than the head.
bool readHead(const void* block, size_t size, Head& out);
bool writeHead(void* block, size_t size, const Head& head);

// A PCM head from channels, bits and rate, with block align and byte rate
// derived the way every reader of WAV files expects.
Head pcmHead(uint16_t channels, uint16_t bits, uint32_t rate);

// The complete block for one of the codecs above, extra bytes included
// (ADPCM needs samples-per-block and, for MS ADPCM, its coefficient table).
// Writes at most size bytes; returns the block's length, or 0 when it does not
// fit or the tag is not one of ours.
size_t writeCodecBlock(void* block, size_t size, uint16_t tag, uint16_t channels, uint16_t bits,
                       uint32_t rate);

} // namespace wavefmt
