#include "audio/WaveFormatBlock.h"

#include <array>
#include <cstring>

namespace wavefmt {
namespace {

void put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v & 0xFF);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>((v >> (8 * i)) & 0xFF);
}

uint16_t get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// The seven predictor pairs every MS ADPCM decoder expects in the block.
constexpr std::array<std::array<int16_t, 2>, 7> kMsAdpcmCoefficients{{
    {256, 0},
    {512, -256},
    {0, 0},
    {192, 64},
    {240, 0},
    {460, -208},
    {392, -232},
}};

// ADPCM blocks grow with the rate so a block stays about 23 ms long.
uint16_t adpcmBlockAlign(uint16_t channels, uint32_t rate) {
    uint32_t factor = rate <= 11025 ? 1 : (rate <= 22050 ? 2 : 4);
    return static_cast<uint16_t>(256u * channels * factor);
}

} // namespace

bool readHead(const void* block, size_t size, Head& out) {
    if (block == nullptr || size < kHeadSize)
        return false;
    auto* p = static_cast<const uint8_t*>(block);
    out.formatTag = get16(p);
    out.channels = get16(p + 2);
    out.samplesPerSec = get32(p + 4);
    out.avgBytesPerSec = get32(p + 8);
    out.blockAlign = get16(p + 12);
    out.bitsPerSample = get16(p + 14);
    out.cbSize = get16(p + 16);
    return true;
}

bool writeHead(void* block, size_t size, const Head& head) {
    if (block == nullptr || size < kHeadSize)
        return false;
    auto* p = static_cast<uint8_t*>(block);
    put16(p, head.formatTag);
    put16(p + 2, head.channels);
    put32(p + 4, head.samplesPerSec);
    put32(p + 8, head.avgBytesPerSec);
    put16(p + 12, head.blockAlign);
    put16(p + 14, head.bitsPerSample);
    put16(p + 16, head.cbSize);
    return true;
}

Head pcmHead(uint16_t channels, uint16_t bits, uint32_t rate) {
    Head h;
    h.formatTag = kTagPcm;
    h.channels = channels;
    h.samplesPerSec = rate;
    h.bitsPerSample = bits;
    // Truncated to 16 bits on purpose: the field is 16 bits wide.
    h.blockAlign = static_cast<uint16_t>((static_cast<uint32_t>(channels) * bits) / 8);
    h.avgBytesPerSec = rate * h.blockAlign;
    h.cbSize = 0;
    return h;
}

size_t writeCodecBlock(void* block, size_t size, uint16_t tag, uint16_t channels, uint16_t bits,
                       uint32_t rate) {
    if (channels == 0 || rate == 0)
        return 0;
    Head h;
    h.formatTag = tag;
    h.channels = channels;
    h.samplesPerSec = rate;
    std::array<uint8_t, 32> extra{};
    switch (tag) {
    case kTagPcm:
        if (bits != 8 && bits != 16 && bits != 24)
            return 0;
        h = pcmHead(channels, bits, rate);
        break;
    case kTagALaw:
    case kTagMuLaw:
        h.bitsPerSample = 8;
        h.blockAlign = channels;
        h.avgBytesPerSec = rate * channels;
        break;
    case kTagImaAdpcm: {
        h.bitsPerSample = 4;
        h.blockAlign = adpcmBlockAlign(channels, rate);
        uint32_t samplesPerBlock = (h.blockAlign - 4u * channels) * 8u / (4u * channels) + 1u;
        h.avgBytesPerSec =
            static_cast<uint32_t>(static_cast<uint64_t>(rate) * h.blockAlign / samplesPerBlock);
        h.cbSize = 2;
        put16(extra.data(), static_cast<uint16_t>(samplesPerBlock));
        break;
    }
    case kTagMsAdpcm: {
        h.bitsPerSample = 4;
        h.blockAlign = adpcmBlockAlign(channels, rate);
        uint32_t samplesPerBlock = (h.blockAlign - 7u * channels) * 8u / (4u * channels) + 2u;
        h.avgBytesPerSec =
            static_cast<uint32_t>(static_cast<uint64_t>(rate) * h.blockAlign / samplesPerBlock);
        h.cbSize = 32;
        put16(extra.data(), static_cast<uint16_t>(samplesPerBlock));
        put16(extra.data() + 2, static_cast<uint16_t>(kMsAdpcmCoefficients.size()));
        for (size_t i = 0; i < kMsAdpcmCoefficients.size(); ++i) {
            put16(extra.data() + 4 + 4 * i, static_cast<uint16_t>(kMsAdpcmCoefficients[i][0]));
            put16(extra.data() + 6 + 4 * i, static_cast<uint16_t>(kMsAdpcmCoefficients[i][1]));
        }
        break;
    }
    default:
        return 0;
    }
    size_t total = kHeadSize + h.cbSize;
    if (block == nullptr || size < total)
        return 0;
    writeHead(block, size, h);
    std::memcpy(static_cast<uint8_t*>(block) + kHeadSize, extra.data(), h.cbSize);
    return total;
}

} // namespace wavefmt
