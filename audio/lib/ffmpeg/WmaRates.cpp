#include "audio/lib/ffmpeg/WmaRates.h"

namespace audiolib::ffmpeg {
namespace {

// The encoder takes nothing under 24 kbit/s. Above about 3 bits per sample
// per channel it has nothing left to gain, so the tops follow the rate.
constexpr uint32_t k44Stereo[] = {320000, 256000, 192000, 160000, 128000, 96000,
                                  80000,  64000,  48000,  40000,  32000,  0};
constexpr uint32_t k44Mono[] = {160000, 128000, 96000, 80000, 64000, 48000, 40000, 32000, 0};
constexpr uint32_t k32Stereo[] = {192000, 160000, 128000, 96000, 80000, 64000, 48000, 40000, 0};
constexpr uint32_t k32Mono[] = {96000, 80000, 64000, 48000, 40000, 32000, 0};
constexpr uint32_t k22Stereo[] = {128000, 96000, 80000, 64000, 48000, 40000, 32000, 0};
constexpr uint32_t k22Mono[] = {64000, 48000, 40000, 32000, 24000, 0};
constexpr uint32_t k16Stereo[] = {64000, 48000, 40000, 32000, 0};
constexpr uint32_t k16Mono[] = {48000, 40000, 32000, 24000, 0};

struct Entry {
    uint32_t rate;
    const uint32_t* mono;
    const uint32_t* stereo;
};
constexpr Entry kTable[] = {
    {48000, k44Mono, k44Stereo}, {44100, k44Mono, k44Stereo}, {32000, k32Mono, k32Stereo},
    {22050, k22Mono, k22Stereo}, {16000, k16Mono, k16Stereo},
};

} // namespace

const uint32_t* wmaOfferedRates(uint32_t rate, uint32_t channels) {
    if (channels != 1 && channels != 2)
        return nullptr;
    for (const Entry& e : kTable)
        if (e.rate == rate)
            return channels == 1 ? e.mono : e.stereo;
    return nullptr;
}

bool isOfferedWmaRate(uint32_t rate, uint32_t channels, uint32_t bitrate) {
    const uint32_t* list = wmaOfferedRates(rate, channels);
    for (; list && *list; ++list)
        if (*list == bitrate)
            return true;
    return false;
}

} // namespace audiolib::ffmpeg
