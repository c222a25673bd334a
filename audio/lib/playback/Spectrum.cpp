#include "audio/lib/playback/Spectrum.h"

#include <algorithm>
#include <cmath>
#include <numbers>

extern "C" {
#include <libavutil/mem.h>
#include <libavutil/tx.h>
}

namespace audiolib {

namespace {
struct TxFreer {
    void operator()(AVTXContext* c) const { av_tx_uninit(&c); }
};
struct AvFreer {
    void operator()(void* p) const { av_free(p); }
};
} // namespace

struct Spectrum1024::Impl {
    std::unique_ptr<AVTXContext, TxFreer> tx;
    av_tx_fn run = nullptr;
    // av_tx wants SIMD-aligned buffers.
    std::unique_ptr<float, AvFreer> in{static_cast<float*>(av_malloc(kSize * sizeof(float)))};
    std::unique_ptr<AVComplexFloat, AvFreer> out{
        static_cast<AVComplexFloat*>(av_malloc((kBins + 1) * sizeof(AVComplexFloat)))};
    std::array<float, kSize> window{};
};

Spectrum1024::Spectrum1024() : d(std::make_unique<Impl>()) {
    AVTXContext* raw = nullptr;
    const float scale = 1.0f;
    if (d->in && d->out && av_tx_init(&raw, &d->run, AV_TX_FLOAT_RDFT, 0, kSize, &scale, 0) == 0) {
        d->tx.reset(raw);
    }
    // Periodic Hann: its coefficients sum to N/2, which fixes the scale below.
    for (size_t i = 0; i < kSize; ++i) {
        d->window[i] = static_cast<float>(
            0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / kSize));
    }
}

Spectrum1024::~Spectrum1024() = default;

bool Spectrum1024::valid() const {
    return d->tx != nullptr;
}

void Spectrum1024::magnitudes(const float* samples, float* out) {
    if (!valid()) {
        std::fill(out, out + kBins, 0.0f);
        return;
    }
    float* in = d->in.get();
    for (size_t i = 0; i < kSize; ++i) {
        in[i] = samples[i] * d->window[i];
    }
    AVComplexFloat* spec = d->out.get();
    d->run(d->tx.get(), spec, in, sizeof(float));
    // The forward real transform leaves the Nyquist bin's imaginary part
    // unwritten.
    spec[kBins].im = 0.0f;
    // A sine of amplitude A gives A * N/4 in its bin after a Hann window.
    constexpr float kScale = 4.0f / kSize;
    for (size_t k = 0; k < kBins; ++k) {
        out[k] = std::hypot(spec[k].re, spec[k].im) * kScale;
    }
}

} // namespace audiolib
