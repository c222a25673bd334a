#pragma once
// The Xing/Info frame that MP3 encoders put first: its frame count and the
// encoder's delay and padding give the decoded length, exact to the sample,
// without reading the rest of the file.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace audiolib {

// The first frame of the audio data; `bytes` start at its sync word.
// Nothing when it is not an info frame that states both the frame count and
// the encoder's delay and padding.
std::optional<uint64_t> mp3InfoTagFrames(const uint8_t* bytes, size_t size);

// Bytes of an ID3v2 tag at the start of a file (0 when there is none).
size_t id3v2Size(const uint8_t* bytes, size_t size);

} // namespace audiolib
