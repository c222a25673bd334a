// Cost of one spectrum frame (TSpectrumVisio::GetView, 55 x 53 pixels, 129
// bands, the player's offsets) against clearing the same picture alone, and
// the heap allocations a frame makes (there should be none).
//
//   spectrum_bench [frames]   (default 200000)

#include "audio/TSpectrumVisio.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

int main(int argc, char** argv) {
    const long frames = argc > 1 ? std::atol(argv[1]) : 200000;
    using Clock = std::chrono::steady_clock;

    // A moving spectrum: each frame a different sweep, so bars rise and fall.
    std::vector<TFFTData> inputs(64);
    for (size_t f = 0; f < inputs.size(); ++f)
        for (size_t k = 0; k < 512; ++k)
            inputs[f][k] = static_cast<float>(0.15 * (1.0 + std::sin(0.07 * k + 0.4 * f)));

    TSpectrumVisio view(55, 53);
    PixelBuffer reference(55, 53);
    unsigned sink = 0;

    const auto r0 = Clock::now();
    for (long i = 0; i < frames; ++i) {
        reference.fillRect(0, 0, 55, 53, static_cast<TColor>(i));
        sink += reference.pixel(1, 1);
    }
    const double clearUs = std::chrono::duration<double, std::micro>(Clock::now() - r0).count();

    view.GetView(inputs[0], 10, -10); // first frame outside the count
    const long before = allocations.load();
    const auto t0 = Clock::now();
    for (long i = 0; i < frames; ++i)
        sink += view.GetView(inputs[static_cast<size_t>(i) % inputs.size()], 10, -10).pixel(12, 40);
    const double viewUs = std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
    const long perFrame = allocations.load() - before;

    std::printf("GetView 55x53, 129 bands: %.3f us/frame (target <= 30), clear alone %.3f "
                "us/frame, ratio %.2f\n",
                viewUs / frames, clearUs / frames, viewUs / clearUs);
    std::printf("allocations during %ld frames: %ld (target 0)   [%u]\n", frames, perFrame,
                sink % 2);
    return 0;
}
