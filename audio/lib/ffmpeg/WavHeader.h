#pragma once
// The size fields of a WAV header and how they are made true for what the
// file holds. Under 4 GiB the file is plain RIFF with 32-bit sizes and a
// JUNK chunk at byte 12 kept free; past that the JUNK chunk becomes ds64,
// which holds the 64-bit sizes, and the 32-bit fields say 0xFFFFFFFF (RF64).
// The same rule serves the header refresh while recording and the final
// header, so a file cut short at any moment reads the same way.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace audiolib::ffmpeg {

struct WavLayout {
    uint64_t dataStart = 0;       // the data chunk's first byte of sound
    std::optional<uint64_t> fact; // the fact chunk's 32-bit sample count
    bool placeholder = false;     // a JUNK or ds64 chunk of 28 bytes or more at byte 12
};

struct WavSizes {
    uint64_t fileBytes = 0; // the whole file
    uint64_t dataBytes = 0; // the data chunk's contents
    uint64_t frames = 0;    // sample frames in the data chunk
};

struct WavPatch {
    uint64_t offset = 0;
    std::vector<uint8_t> bytes;
};

// The layout of a header whose data chunk's contents start at `dataStart`,
// read from the file's first `dataStart` bytes. None when they are not a
// RIFF/RF64 WAVE header ending in the data chunk's head.
std::optional<WavLayout> findWavLayout(const uint8_t* head, size_t dataStart);

// True when the sizes no longer fit the 32-bit fields.
bool needsRf64(const WavSizes& sizes);

// The writes that make the header state `sizes`. Without a placeholder
// sizes past 4 GiB are clamped to 0xFFFFFFFF, as nothing else fits.
std::vector<WavPatch> wavSizePatches(const WavLayout& layout, const WavSizes& sizes);

// Applies wavSizePatches to the open file; false when a write fails.
bool writeWavSizes(int fd, const WavLayout& layout, const WavSizes& sizes);

} // namespace audiolib::ffmpeg
