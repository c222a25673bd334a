// CPU cost of recording the sound server's tone to MP3 through the audio
// layer, against the plain `parec | lame` pipeline with the same options.
// Needs the PulseAudio daemon with the null sink "rec", sox and lame.
//
//   record_cpu_bench [seconds]   (default 60)

#include "BenchSupport.h"
#include "LayerRecording.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// parec | lame, both children of ours, for `secs`; returns their CPU time,
// and parec's alone in `parecCpu`.
double pipelineCpu(int secs, const std::string& out, double& parecCpu) {
    const double before = bench::cpuSeconds(RUSAGE_CHILDREN);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    const pid_t parec = bench::spawn({"parec", "-d", "rec.monitor", "--format=s16le",
                                      "--rate=44100", "--channels=2", "--latency-msec=20"},
                                     -1, fds[1]);
    const pid_t lame = bench::spawn({"lame", "-r", "-s", "44.1", "--bitwidth", "16", "--signed",
                                     "--little-endian", "-b", "128", "-m", "s", "-", out},
                                    fds[0], -1);
    close(fds[0]);
    close(fds[1]);
    if (parec < 0 || lame < 0)
        return -1;
    std::this_thread::sleep_for(std::chrono::seconds(secs));
    kill(parec, SIGTERM);
    rusage usage{};
    wait4(parec, nullptr, 0, &usage);
    parecCpu = bench::seconds(usage.ru_utime) + bench::seconds(usage.ru_stime);
    waitpid(lame, nullptr, 0);
    return bench::cpuSeconds(RUSAGE_CHILDREN) - before;
}

} // namespace

int main(int argc, char** argv) {
    const int secs = argc > 1 ? std::atoi(argv[1]) : 60;
    const fs::path dir = fs::temp_directory_path() / ("tovaline-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    // The tone plays through the whole run.
    const pid_t player = bench::playTone((dir / "tone.wav").string(), 2 * secs + 20, 0.5);
    if (player < 0) {
        std::fprintf(stderr, "sox failed\n");
        return 1;
    }

    const bench::LayerRun layer =
        bench::recordThroughLayer(secs, "Monitor of RecSink", (dir / "layer.mp3").string());
    const double ours = layer.cpu;
    const uint64_t lost = layer.lost;
    const double captured = layer.captured;
    const double own = layer.own;
    double parecCpu = 0;
    const double theirs = pipelineCpu(secs, (dir / "pipeline.mp3").string(), parecCpu);

    bench::stop(player);
    if (ours < 0 || theirs <= 0) {
        std::fprintf(stderr, "recording failed\n");
        fs::remove_all(dir);
        return 1;
    }
    std::printf("record to MP3 (-b 128 -m s), %d s of a 1 kHz tone\n", secs);
    std::printf("  through the layer:  %.2f s CPU (process %.2f + lame), %.2f s captured, %llu "
                "blocks lost, file %llu bytes\n",
                ours, own, captured, static_cast<unsigned long long>(lost),
                static_cast<unsigned long long>(fs::file_size(dir / "layer.mp3")));
    std::printf("  parec | lame:       %.2f s CPU (parec %.2f + lame), file %llu bytes\n", theirs,
                parecCpu, static_cast<unsigned long long>(fs::file_size(dir / "pipeline.mp3")));
    std::printf("  CPU ratio layer / pipeline: %.3f (target <= 1.05)\n", ours / theirs);
    fs::remove_all(dir);
    return 0;
}
