#include "audio/SpectrumBands.h"

#include <algorithm>
#include <cmath>

int32_t bandLevel(float magnitude, int32_t maxHeight) {
    const float v = std::fabs(magnitude);
    const double scaled = static_cast<double>(v) * 500.0;
    if (std::isnan(scaled))
        return 0;
    if (scaled > static_cast<double>(maxHeight))
        return maxHeight;
    return static_cast<int32_t>(scaled);
}

void advanceBands(const TFFTData& data, const BandRules& rules, BandHeights& peaks,
                  BandHeights& bars) {
    for (int i = 0; i < kSpectrumBands; ++i) {
        // A step outside 0..3 would read past the filled elements; the
        // picture then shows silence there rather than stray memory.
        const int64_t at = 5 + static_cast<int64_t>(i) * rules.step;
        const float v = at >= 0 && at < static_cast<int64_t>(data.size())
                            ? data[static_cast<size_t>(at)]
                            : 0.0f;
        const int32_t h = bandLevel(v, rules.maxHeight);
        peaks[i] = h < peaks[i] ? peaks[i] - rules.peakFall : h;
        bars[i] = h < bars[i] ? bars[i] - rules.barFall : h;
        peaks[i] = std::max(peaks[i], 0);
        bars[i] = std::max(bars[i], 0);
    }
}
