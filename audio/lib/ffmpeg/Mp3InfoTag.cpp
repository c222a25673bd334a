#include "audio/lib/ffmpeg/Mp3InfoTag.h"

#include <cstring>

namespace audiolib {

namespace {

uint32_t be32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

} // namespace

size_t id3v2Size(const uint8_t* bytes, size_t size) {
    if (size < 10 || std::memcmp(bytes, "ID3", 3) != 0)
        return 0;
    const size_t body = (size_t{bytes[6]} & 0x7F) << 21 | (size_t{bytes[7]} & 0x7F) << 14 |
                        (size_t{bytes[8]} & 0x7F) << 7 | (size_t{bytes[9]} & 0x7F);
    const bool footer = (bytes[5] & 0x10) != 0;
    return 10 + body + (footer ? 10 : 0);
}

std::optional<uint64_t> mp3InfoTagFrames(const uint8_t* bytes, size_t size) {
    if (size < 4 || bytes[0] != 0xFF || (bytes[1] & 0xE0) != 0xE0)
        return std::nullopt;
    const int version = (bytes[1] >> 3) & 3; // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    const int layer = (bytes[1] >> 1) & 3;   // 1: Layer III
    if (version == 1 || layer != 1)
        return std::nullopt;
    const bool mono = (bytes[3] >> 6) == 3;
    const bool mpeg1 = version == 3;
    const size_t sideInfo = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    const uint64_t samplesPerFrame = mpeg1 ? 1152 : 576;
    size_t at = 4 + sideInfo;
    if (size < at + 8 ||
        (std::memcmp(bytes + at, "Xing", 4) != 0 && std::memcmp(bytes + at, "Info", 4) != 0))
        return std::nullopt;
    const uint32_t flags = be32(bytes + at + 4);
    at += 8;
    if ((flags & 1) == 0 || size < at + 4)
        return std::nullopt;
    const uint64_t frames = be32(bytes + at);
    at += 4;
    at += (flags & 2) ? 4 : 0;   // byte count
    at += (flags & 4) ? 100 : 0; // seek table
    at += (flags & 8) ? 4 : 0;   // quality
    // The encoder's extension: a 9-byte name, then the delay and padding at
    // byte 21, twelve bits each.
    if (size < at + 24 || bytes[at] < 'A' || bytes[at] > 'Z')
        return std::nullopt;
    const uint8_t* gap = bytes + at + 21;
    const uint64_t delay = (uint64_t{gap[0]} << 4) | (gap[1] >> 4);
    const uint64_t padding = ((uint64_t{gap[1]} & 0x0F) << 8) | gap[2];
    const uint64_t total = frames * samplesPerFrame;
    if (frames == 0 || delay + padding >= total)
        return std::nullopt;
    return total - delay - padding;
}

} // namespace audiolib
