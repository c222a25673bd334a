#include "audio/lib/WaveFormat.h"

#include <cstring>

namespace audiolib {
namespace {

uint16_t get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t get32(const uint8_t* p) {
    return uint32_t{get16(p)} | (uint32_t{get16(p + 2)} << 16);
}
void put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
    put16(p, static_cast<uint16_t>(v));
    put16(p + 2, static_cast<uint16_t>(v >> 16));
}

bool offered(uint16_t tag, uint16_t bits) {
    switch (tag) {
    case kWavePcm:
        return bits == 8 || bits == 16 || bits == 24;
    case kWaveALaw:
    case kWaveMuLaw:
        return bits == 8;
    case kWaveImaAdpcm:
    case kWaveMsAdpcm:
        return bits == 4;
    default:
        return false;
    }
}

bool isAdpcm(uint16_t tag) {
    return tag == kWaveImaAdpcm || tag == kWaveMsAdpcm;
}

} // namespace

std::optional<WaveFormat> readWaveFormat(const void* block, size_t length) {
    if (!block || length < kWaveFormatHeadSize)
        return std::nullopt;
    const auto* p = static_cast<const uint8_t*>(block);
    const uint16_t cbSize = get16(p + 16);
    if (length < kWaveFormatHeadSize + cbSize)
        return std::nullopt;
    WaveFormat f;
    f.formatTag = get16(p);
    f.channels = get16(p + 2);
    f.samplesPerSec = get32(p + 4);
    f.avgBytesPerSec = get32(p + 8);
    f.blockAlign = get16(p + 12);
    f.bitsPerSample = get16(p + 14);
    f.extra.assign(p + kWaveFormatHeadSize, p + kWaveFormatHeadSize + cbSize);
    return f;
}

size_t writeWaveFormat(const WaveFormat& f, void* block, size_t capacity) {
    if (!block || f.extra.size() > UINT16_MAX || capacity < f.size())
        return 0;
    auto* p = static_cast<uint8_t*>(block);
    put16(p, f.formatTag);
    put16(p + 2, f.channels);
    put32(p + 4, f.samplesPerSec);
    put32(p + 8, f.avgBytesPerSec);
    put16(p + 12, f.blockAlign);
    put16(p + 14, f.bitsPerSample);
    put16(p + 16, static_cast<uint16_t>(f.extra.size()));
    if (!f.extra.empty())
        std::memcpy(p + kWaveFormatHeadSize, f.extra.data(), f.extra.size());
    return f.size();
}

WaveFormat pcmWaveFormat(uint16_t channels, uint16_t bits, uint32_t rate) {
    WaveFormat f;
    f.formatTag = kWavePcm;
    f.channels = channels;
    f.samplesPerSec = rate;
    f.bitsPerSample = bits;
    f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
    f.avgBytesPerSec = rate * f.blockAlign;
    return f;
}

bool isWritableWaveFormat(const WaveFormat& f) {
    if (!offered(f.formatTag, f.bitsPerSample) || f.channels < 1 || f.channels > 2 ||
        f.samplesPerSec < kWaveMinRate || f.samplesPerSec > kWaveMaxRate)
        return false;
    if (!isAdpcm(f.formatTag))
        return f.blockAlign == f.channels * f.bitsPerSample / 8;
    const bool powerOfTwo = (f.blockAlign & (f.blockAlign - 1)) == 0;
    return powerOfTwo && f.blockAlign >= 64 * f.channels && f.blockAlign <= 8192;
}

} // namespace audiolib
