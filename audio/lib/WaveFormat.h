#pragma once
// The WAVEFORMATEX block as the codec encoder reads it: a packed,
// little-endian record of 18 bytes followed by cbSize extra bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace audiolib {

enum WaveTag : uint16_t {
    kWavePcm = 0x0001,
    kWaveMsAdpcm = 0x0002,
    kWaveALaw = 0x0006,
    kWaveMuLaw = 0x0007,
    kWaveImaAdpcm = 0x0011,
    // What 24-bit PCM files carry in their header; the sub-format is PCM.
    kWaveExtensible = 0xFFFE,
};

// Size of the fixed head, cbSize included.
constexpr size_t kWaveFormatHeadSize = 18;
// MS ADPCM needs the most: its coefficient table takes 32 extra bytes.
constexpr size_t kWaveFormatMaxSize = kWaveFormatHeadSize + 32;

struct WaveFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    std::vector<uint8_t> extra; // cbSize is its length

    size_t size() const { return kWaveFormatHeadSize + extra.size(); }
    bool operator==(const WaveFormat&) const = default;
};

// Reads a block of `length` bytes; empty when it is shorter than its head
// plus its cbSize says.
std::optional<WaveFormat> readWaveFormat(const void* block, size_t length);
// Writes the block; returns its size, or 0 (nothing written) when capacity
// is too small.
size_t writeWaveFormat(const WaveFormat& format, void* block, size_t capacity);

// The RIFF head of a WAV file up to the start of its samples: the format
// chunk holds the block, and the sizes are written as given (0xFFFFFFFF for a
// stream of unknown length). Empty when the block cannot be written.
std::vector<uint8_t> wavFileHeader(const WaveFormat& format, uint32_t riffSize, uint32_t dataSize);

constexpr uint32_t kWaveMinRate = 8000;
constexpr uint32_t kWaveMaxRate = 44100;

// A PCM block with block alignment and byte rate derived.
WaveFormat pcmWaveFormat(uint16_t channels, uint16_t bits, uint32_t rate);

// Whether the codec encoder can write this block. Lenient about what a
// reader recomputes anyway (byte rate, ADPCM extras), strict about what
// decides the sound (codec, rate, channels, sample size, PCM alignment).
bool isWritableWaveFormat(const WaveFormat& format);

} // namespace audiolib
