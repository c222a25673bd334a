// Recording for a long time on a busy machine: a tone plays into the null
// sink "rec" while both cores are kept busy, and its monitor is recorded at
// once to WAV and to MP3 through the audio layer and to raw PCM by parec.
// For each: blocks lost, and the file's decoded length against the wall time.
// Needs the sound server of scripts/services.sh; run by scripts/soak.
//
//   soak_bench [seconds]   (default 600)

#include "BenchSupport.h"
#include "audio/lib/AudioLib.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace audiolib;

// Seconds of 44100 Hz sound ffmpeg decodes from the file.
double decodedSeconds(const fs::path& file, const char* inputOptions = "") {
    const std::string cmd = std::string("ffmpeg -nostdin -v error ") + inputOptions + " -i '" +
                            file.string() + "' -f s16le -ac 1 -ar 44100 - 2>/dev/null | wc -c";
    double bytes = 0;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        if (std::fscanf(p, "%lf", &bytes) != 1)
            bytes = 0;
        pclose(p);
    }
    return bytes / 88200.0;
}

int monitorInput() {
    for (int n = 0; const char* name = recordGetInputName(n); ++n)
        if (std::strcmp(name, "Monitor of RecSink") == 0)
            return n;
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 600;
    const fs::path dir = fs::temp_directory_path() / ("tovaline-soak-" + std::to_string(getpid()));
    fs::create_directories(dir);

    // The tone, generated for longer than the run and played with low latency.
    const std::string tone = "sox -q -n -t raw -r 44100 -e signed -b 16 -c 2 - synth " +
                             std::to_string(seconds + 30) +
                             " sine 1000 vol 0.5 | pacat --raw --latency-msec=20 --device=rec";
    const pid_t player = bench::spawn({"sh", "-c", "exec " + tone}, -1, -1);
    std::this_thread::sleep_for(std::chrono::seconds(2)); // the monitor warms up

    std::atomic<bool> done{false};
    std::vector<std::thread> hogs;
    for (unsigned i = 0; i < std::max(2u, std::thread::hardware_concurrency()); ++i)
        hogs.emplace_back([&done] {
            volatile uint64_t spin = 0;
            while (!done.load(std::memory_order_relaxed))
                spin = spin + 1;
        });

    if (!recordInit(-1) || monitorInput() < 0) {
        std::fprintf(stderr, "no sound server with the null sink \"rec\"\n");
        return 1;
    }
    const int input = monitorInput();
    for (int n = 0; recordGetInputName(n); ++n)
        recordSetInput(n, n == input ? kInputOn : kInputOff, -1.0f);

    const fs::path wav = dir / "soak.wav", mp3 = dir / "soak.mp3", raw = dir / "parec.raw";
    const Handle wavChannel = recordStart(44100, 2, kRecordPause, nullptr, nullptr);
    const Handle mp3Channel = recordStart(44100, 2, kRecordPause, nullptr, nullptr);
    const uint8_t pcm[18] = {1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0, 0, 0};
    const std::string lame = bench::programFolder() + "lame";
    const char* lameArgs[] = {"-b", "128", "-", mp3.c_str(), nullptr};
    if (encodeStartCodecFile(wavChannel, pcm, kEncodeAutoFree, wav.c_str()) == 0 ||
        encodeStartProgram(mp3Channel, lame.c_str(), lameArgs, kEncodeAutoFree) == 0) {
        std::fprintf(stderr, "the encoders did not start\n");
        return 1;
    }
    const int rawFd = open(raw.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const pid_t parec = bench::spawn({"parec", "--device=rec.monitor", "--format=s16le",
                                      "--rate=44100", "--channels=2", "--raw", "--latency-msec=20"},
                                     -1, rawFd);
    const auto start = std::chrono::steady_clock::now();
    channelPlay(wavChannel, false);
    channelPlay(mp3Channel, false);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const uint64_t wavLost = channelLostBlocks(wavChannel);
    const uint64_t mp3Lost = channelLostBlocks(mp3Channel);
    channelStop(wavChannel);
    channelStop(mp3Channel);
    const double wall = bench::wallSeconds(start);
    bench::stop(parec);
    close(rawFd);
    done = true;
    for (auto& t : hogs)
        t.join();
    bench::stop(player);
    recordFree();

    std::printf("%d s of a 1000 Hz tone from the null sink's monitor, %zu busy threads\n", seconds,
                hogs.size());
    std::printf("  WAV    %llu blocks lost, decodes %.3f s of %.3f s wall (%+.3f s)\n",
                static_cast<unsigned long long>(wavLost), decodedSeconds(wav), wall,
                decodedSeconds(wav) - wall);
    std::printf("  MP3    %llu blocks lost, decodes %.3f s of %.3f s wall (%+.3f s)\n",
                static_cast<unsigned long long>(mp3Lost), decodedSeconds(mp3), wall,
                decodedSeconds(mp3) - wall);
    const double parecSeconds = decodedSeconds(raw, "-f s16le -ar 44100 -ac 2");
    std::printf("  parec  decodes %.3f s of about %.3f s wall (%+.3f s)\n", parecSeconds, wall,
                parecSeconds - wall);
    fs::remove_all(dir);
    return 0;
}
