#pragma once
// Reading and writing the little-endian fields of RIFF and WAVEFORMATEX
// blocks, whatever the machine's own byte order.

#include <cstdint>

namespace audiolib::le {

inline uint16_t get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t get32(const uint8_t* p) {
    return uint32_t{get16(p)} | (uint32_t{get16(p + 2)} << 16);
}
inline void put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void put32(uint8_t* p, uint32_t v) {
    put16(p, static_cast<uint16_t>(v));
    put16(p + 2, static_cast<uint16_t>(v >> 16));
}

} // namespace audiolib::le
