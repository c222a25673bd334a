// CPU cost of recording the mixed input (the default source and the default
// output's monitor) to MP3, against recording one source to MP3, side by side
// in one run: the two alternate, twice each, with the same tone playing.
// Needs the PulseAudio daemon with the null sink "rec" as its default, sox
// and lame.
//
//   mix_cpu_bench [seconds per recording]   (default 30)

#include "BenchSupport.h"
#include "LayerRecording.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

struct Total {
    double cpu = 0;
    double own = 0;
    double captured = 0;
    uint64_t lost = 0;
    bool add(const bench::LayerRun& run) {
        cpu += run.cpu;
        own += run.own;
        captured += run.captured;
        lost += run.lost;
        return run.cpu >= 0;
    }
};

} // namespace

int main(int argc, char** argv) {
    const int secs = argc > 1 ? std::atoi(argv[1]) : 30;
    const fs::path dir = fs::temp_directory_path() / ("tovaline-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const pid_t player = bench::playTone((dir / "tone.wav").string(), 4 * secs + 20, 0.4);
    if (player < 0) {
        std::fprintf(stderr, "sox failed\n");
        return 1;
    }

    Total single;
    Total mixed;
    bool ok = true;
    for (int round = 0; round < 2 && ok; ++round) {
        ok = single.add(bench::recordThroughLayer(secs, "Monitor of RecSink",
                                                  (dir / "single.mp3").string())) &&
             mixed.add(bench::recordThroughLayer(secs, "Microphone + computer sound",
                                                 (dir / "mixed.mp3").string()));
    }
    bench::stop(player);
    fs::remove_all(dir);
    if (!ok || single.cpu <= 0) {
        std::fprintf(stderr, "recording failed\n");
        return 1;
    }
    std::printf("record to MP3 (-b 128 -m s), 2 x %d s each, a 1 kHz tone playing\n", secs);
    std::printf("  one source:       %.2f s CPU (process %.2f + lame), %.1f s captured, %llu "
                "blocks lost\n",
                single.cpu, single.own, single.captured,
                static_cast<unsigned long long>(single.lost));
    std::printf("  mixed input:      %.2f s CPU (process %.2f + lame), %.1f s captured, %llu "
                "blocks lost\n",
                mixed.cpu, mixed.own, mixed.captured, static_cast<unsigned long long>(mixed.lost));
    std::printf("  CPU ratio mixed / one source: %.3f (target <= 1.2)\n", mixed.cpu / single.cpu);
    return 0;
}
