// The virtual device pushes blocks at 20 times real time into the WAV codec
// writer and into lame while other threads keep both cores busy: how many
// blocks does the ring between capture and writer lose?
//
//   capture_loss_bench [seconds of audio]   (default 120)

#include "BenchSupport.h"
#include "audio/lib/AudioLib.h"
#include "audio/lib/virtual/VirtualBackend.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace audiolib;

constexpr double kSpeed = 20.0;

struct Result {
    bool ok = false;
    uint64_t lost = 0;
    double captured = 0;
    double wall = 0;
    uint64_t fileBytes = 0;
};

std::atomic<uint64_t> capturedBytes{0};

bool countBytes(Handle, const void*, uint32_t length, void*) {
    capturedBytes += length;
    return true;
}

// 16-bit stereo PCM at 44100 Hz, in the layout encodeStartCodecFile reads.
std::vector<uint8_t> pcmFormatBlock() {
    std::vector<uint8_t> b(18, 0);
    auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&b[at], &v, 2); };
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); };
    put16(0, 1);
    put16(2, 2);
    put32(4, 44100);
    put32(8, 176400);
    put16(12, 4);
    put16(14, 16);
    return b;
}

Result run(double audioSeconds, const std::function<Handle(Handle)>& attach, const fs::path& file) {
    VirtualConfig config;
    config.inputs = {{"Tone", 1000.0, 16384}};
    config.speed = kSpeed;
    installBackend(std::make_unique<VirtualBackend>(config));
    Result r;
    if (!recordInit(-1))
        return r;
    capturedBytes = 0;
    const Handle h = recordStart(44100, 2, kRecordPause, countBytes, nullptr);
    if (h == 0 || attach(h) != h) {
        recordFree();
        return r;
    }
    const auto start = std::chrono::steady_clock::now();
    channelPlay(h, false);
    while (capturedBytes.load() < audioSeconds * 176400)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    r.lost = channelLostBlocks(h);
    channelStop(h);
    r.wall = bench::wallSeconds(start);
    recordFree();
    r.captured = capturedBytes / 176400.0;
    r.fileBytes = fs::exists(file) ? fs::file_size(file) : 0;
    r.ok = true;
    return r;
}

void print(const char* what, const Result& r) {
    if (!r.ok) {
        std::printf("  %-5s failed to start\n", what);
        return;
    }
    std::printf("  %-5s %.1f s of audio in %.2f s (%.1fx), %llu blocks lost, file %llu bytes\n",
                what, r.captured, r.wall, r.captured / r.wall,
                static_cast<unsigned long long>(r.lost),
                static_cast<unsigned long long>(r.fileBytes));
}

} // namespace

int main(int argc, char** argv) {
    const double audioSeconds = argc > 1 ? std::atof(argv[1]) : 120.0;
    const fs::path dir = fs::temp_directory_path() / ("tovaline-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);

    // Both cores busy for the whole run.
    std::atomic<bool> done{false};
    std::vector<std::thread> burners;
    for (unsigned i = 0; i < std::max(2u, std::thread::hardware_concurrency()); ++i)
        burners.emplace_back([&done] {
            volatile uint64_t spin = 0;
            while (!done.load(std::memory_order_relaxed))
                spin = spin + 1;
        });

    const fs::path wav = dir / "take.wav";
    const std::vector<uint8_t> form = pcmFormatBlock();
    const Result wavResult = run(
        audioSeconds,
        [&](Handle h) {
            return encodeStartCodecFile(h, form.data(), kEncodeAutoFree, wav.c_str());
        },
        wav);

    const fs::path mp3 = dir / "take.mp3";
    const std::string line =
        bench::programFolder() + "lame " + " -b 128 -m s " + " - \"" + mp3.string() + "\"";
    const Result mp3Result = run(
        audioSeconds,
        [&](Handle h) { return encodeStart(h, line.c_str(), kEncodeAutoFree, nullptr, nullptr); },
        mp3);

    done = true;
    for (auto& t : burners)
        t.join();
    std::printf("virtual device at %.0fx real time, %zu busy threads, ring of ~6 s\n", kSpeed,
                burners.size());
    print("WAV", wavResult);
    print("MP3", mp3Result);
    fs::remove_all(dir);
    return wavResult.ok && mp3Result.ok ? 0 : 1;
}
