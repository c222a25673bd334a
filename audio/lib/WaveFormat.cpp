#include "audio/lib/WaveFormat.h"

#include "audio/lib/LittleEndian.h"

#include <cstring>

namespace audiolib {
namespace {

using le::get16;
using le::get32;
using le::put16;
using le::put32;

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

std::vector<uint8_t> wavFileHeader(const WaveFormat& f, uint32_t riffSize, uint32_t dataSize) {
    // Plain PCM gets the classic 16-byte format chunk without cbSize, which
    // every reader takes; anything else carries its whole block.
    const bool classic = f.formatTag == kWavePcm && f.extra.empty();
    const size_t fmtSize = classic ? kWaveFormatHeadSize - 2 : f.size();
    std::vector<uint8_t> h(20 + fmtSize + 8);
    std::memcpy(&h[0], "RIFF", 4);
    put32(&h[4], riffSize);
    std::memcpy(&h[8], "WAVEfmt ", 8);
    put32(&h[16], static_cast<uint32_t>(fmtSize));
    std::vector<uint8_t> block(f.size());
    if (writeWaveFormat(f, block.data(), block.size()) == 0)
        return {};
    std::memcpy(&h[20], block.data(), fmtSize);
    std::memcpy(&h[20 + fmtSize], "data", 4);
    put32(&h[24 + fmtSize], dataSize);
    return h;
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
