#include "audio/WaveFormatBlock.h"

#include "audio/lib/LittleEndian.h"

#include <array>

namespace wavefmt {
namespace {

using audiolib::le::put16;

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

// The 4-bit ADPCM codecs start each block with a few header bytes per
// channel that hold whole samples; samples per block go first in the extras.
void setAdpcmBlocks(audiolib::WaveFormat& f, uint32_t headerBytes, uint32_t headerSamples) {
    f.bitsPerSample = 4;
    f.blockAlign = adpcmBlockAlign(f.channels, f.samplesPerSec);
    const uint32_t samplesPerBlock =
        (f.blockAlign - headerBytes * f.channels) * 8u / (4u * f.channels) + headerSamples;
    f.avgBytesPerSec = static_cast<uint32_t>(static_cast<uint64_t>(f.samplesPerSec) * f.blockAlign /
                                             samplesPerBlock);
    put16(f.extra.data(), static_cast<uint16_t>(samplesPerBlock));
}

} // namespace

size_t writeCodecBlock(void* block, size_t size, uint16_t tag, uint16_t channels, uint16_t bits,
                       uint32_t rate) {
    using namespace audiolib;
    if (channels == 0 || rate == 0)
        return 0;
    WaveFormat f;
    f.formatTag = tag;
    f.channels = channels;
    f.samplesPerSec = rate;
    switch (tag) {
    case kWavePcm:
        if (bits != 8 && bits != 16 && bits != 24)
            return 0;
        f = pcmWaveFormat(channels, bits, rate);
        break;
    case kWaveALaw:
    case kWaveMuLaw:
        f.bitsPerSample = 8;
        f.blockAlign = channels;
        f.avgBytesPerSec = rate * channels;
        break;
    case kWaveImaAdpcm:
        f.extra.resize(2);
        setAdpcmBlocks(f, 4, 1);
        break;
    case kWaveMsAdpcm: {
        f.extra.resize(32);
        setAdpcmBlocks(f, 7, 2);
        put16(f.extra.data() + 2, static_cast<uint16_t>(kMsAdpcmCoefficients.size()));
        for (size_t i = 0; i < kMsAdpcmCoefficients.size(); ++i) {
            put16(f.extra.data() + 4 + 4 * i, static_cast<uint16_t>(kMsAdpcmCoefficients[i][0]));
            put16(f.extra.data() + 6 + 4 * i, static_cast<uint16_t>(kMsAdpcmCoefficients[i][1]));
        }
        break;
    }
    default:
        return 0;
    }
    return writeWaveFormat(f, block, size);
}

} // namespace wavefmt
