#pragma once
// Magnitudes of a 1024-point FFT, for the spectrum picture of what is heard.

#include <array>
#include <cstddef>
#include <memory>

namespace audiolib {

class Spectrum1024 {
public:
    static constexpr size_t kSize = 1024;
    static constexpr size_t kBins = kSize / 2;

    Spectrum1024();
    ~Spectrum1024();
    Spectrum1024(const Spectrum1024&) = delete;
    Spectrum1024& operator=(const Spectrum1024&) = delete;

    bool valid() const;
    // samples: kSize mono values in -1..1. out: kBins magnitudes of the
    // Hann-windowed signal, scaled so that a full-scale sine centred on a
    // bin reads 1.0.
    void magnitudes(const float* samples, float* out);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace audiolib
