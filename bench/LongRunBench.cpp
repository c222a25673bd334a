// Hours of sound in minutes through the real capture path: a counter signal
// (a distinct value per frame) goes into a FIFO that the sound server's pipe
// source reads as fast as it comes, is recorded to WAV through the audio
// layer, and every frame of the file is checked. The feed keeps a few
// seconds ahead of what the file holds (the capture ring holds about 6 s).
// Prints frames lost and duplicated, the feed rate, the resident size's
// growth after the first minute of sound, and what ffprobe, sndfile-info and
// soxi read of the file. Needs the sound server of scripts/services.sh; run
// by scripts/longrun.
//
//   long_run_bench [hours of sound] [times real time]   (default 8, 200)

#include "BenchSupport.h"
#include "audio/lib/AudioLib.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace audiolib;
using Clock = std::chrono::steady_clock;

constexpr uint32_t kRate = 44100;
constexpr uint64_t kAheadFrames = 3 * kRate;
constexpr uint64_t kPieceFrames = 4096;

std::string output(const std::string& command) {
    std::string text;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[512];
        while (std::fgets(buf, sizeof buf, p))
            text += buf;
        pclose(p);
    }
    return text;
}

uint64_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    uint64_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
}

int inputNamed(const char* description) {
    for (int n = 0; const char* name = recordGetInputName(n); ++n)
        if (std::strcmp(name, description) == 0)
            return n;
    return -1;
}

// The capture stream gets nothing while the server keeps it corked.
bool waitUncorked() {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
        if (output("pactl list source-outputs").find("Corked: no") != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// Frame n of the counter: its low half left, its high half right.
void counter(std::vector<int16_t>& out, uint64_t first, uint64_t frames) {
    out.resize(2 * frames);
    for (uint64_t i = 0; i < frames; ++i) {
        const uint64_t n = first + i;
        out[2 * i] = static_cast<int16_t>(static_cast<uint16_t>(n));
        out[2 * i + 1] = static_cast<int16_t>(static_cast<uint16_t>(n >> 16));
    }
}

uint64_t dataStart(const fs::path& wav) {
    std::ifstream in(wav, std::ios::binary);
    std::vector<uint8_t> head(4096);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    for (size_t at = 12; at + 8 <= head.size();) {
        uint32_t size = 0;
        std::memcpy(&size, &head[at + 4], 4);
        if (std::memcmp(&head[at], "data", 4) == 0)
            return at + 8;
        at += 8 + size + (size & 1);
    }
    return 0;
}

struct Check {
    uint64_t frames = 0, lost = 0, duplicated = 0, foreign = 0;
};

// Walks the file's frames: each should be the one after the last.
Check checkFrames(const fs::path& wav) {
    Check c;
    const uint64_t start = dataStart(wav);
    std::ifstream in(wav, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(start));
    std::vector<int16_t> buf(2 * 65536);
    uint64_t expect = 0;
    while (in.read(reinterpret_cast<char*>(buf.data()), buf.size() * 2) || in.gcount() > 0) {
        const auto n = static_cast<size_t>(in.gcount()) / 4;
        for (size_t i = 0; i < n; ++i) {
            const uint64_t low = static_cast<uint16_t>(buf[2 * i]);
            const uint64_t high = static_cast<uint16_t>(buf[2 * i + 1]);
            const uint64_t value = low | (high << 16);
            ++c.frames;
            if (value == expect) {
                ++expect;
            } else if (value > expect && value - expect < (uint64_t{1} << 31)) {
                c.lost += value - expect;
                expect = value + 1;
            } else if (value < expect) {
                ++c.duplicated;
            } else {
                ++c.foreign;
            }
        }
    }
    return c;
}

uint64_t numberAfter(const std::string& text, const std::string& key) {
    const size_t at = text.find(key);
    return at == std::string::npos ? 0 : std::strtoull(text.c_str() + at + key.size(), nullptr, 10);
}

} // namespace

int main(int argc, char** argv) {
    const double hours = argc > 1 ? std::atof(argv[1]) : 8.0;
    const double speed = argc > 2 ? std::atof(argv[2]) : 200.0;
    const auto total = static_cast<uint64_t>(hours * 3600 * kRate);
    const fs::path dir = fs::temp_directory_path() / ("tovaline-long-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path fifo = dir / "fifo", wav = dir / "long.wav";

    const std::string module = output(
        "pactl load-module module-pipe-source source_name=tovaline_fast file=" + fifo.string() +
        " format=s16le rate=44100 channels=2 source_properties=device.description=FastPipe");
    const int moduleIndex = std::atoi(module.c_str());
    if (module.empty() || !recordInit(-1) || inputNamed("FastPipe") < 0) {
        std::fprintf(stderr, "no sound server to load a pipe source into\n");
        return 1;
    }
    const int input = inputNamed("FastPipe");
    for (int n = 0; recordGetInputName(n); ++n)
        recordSetInput(n, n == input ? kInputOn : kInputOff, 1.0f);
    const int feed = open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
    const Handle channel = recordStart(kRate, 2, kRecordPause, nullptr, nullptr);
    const uint8_t pcm[18] = {1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0, 0, 0};
    if (feed < 0 || channel == 0 ||
        encodeStartCodecFile(channel, pcm, kEncodeAutoFree, wav.c_str()) == 0) {
        std::fprintf(stderr, "the recording did not start\n");
        return 1;
    }
    channelPlay(channel, false);
    if (!waitUncorked())
        std::fprintf(stderr, "the capture stream stayed corked\n");

    const uint64_t header = dataStart(wav);
    const auto held = [&] {
        struct stat st {};
        return stat(wav.c_str(), &st) == 0 && static_cast<uint64_t>(st.st_size) > header
                   ? (static_cast<uint64_t>(st.st_size) - header) / 4
                   : 0;
    };
    uint64_t fed = 0, baseline = 0, peak = 0;
    std::vector<int16_t> piece;
    const auto start = Clock::now();
    while (fed < total) {
        const double wall = bench::wallSeconds(start);
        if (fed > held() + kAheadFrames || static_cast<double>(fed) > wall * speed * kRate) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            continue;
        }
        const uint64_t n = std::min(kPieceFrames, total - fed);
        counter(piece, fed, n);
        const auto* bytes = reinterpret_cast<const char*>(piece.data());
        for (size_t done = 0; done < n * 4;) {
            const ssize_t w = write(feed, bytes + done, n * 4 - done);
            if (w < 0 && errno != EINTR) {
                std::fprintf(stderr, "the FIFO refused the feed\n");
                return 1;
            }
            done += w > 0 ? static_cast<size_t>(w) : 0;
        }
        fed += n;
        if (baseline == 0 && fed >= 60 * kRate)
            baseline = residentBytes();
        if ((fed & 0xFFFFF) < n)
            peak = std::max(peak, residentBytes());
    }
    const double feedWall = bench::wallSeconds(start);
    // What is still on its way into the file.
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (held() < fed && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    peak = std::max(peak, residentBytes());
    const uint64_t lostBlocks = channelLostBlocks(channel);
    channelStop(channel);
    recordFree();
    close(feed);
    output("pactl unload-module " + std::to_string(moduleIndex));

    const Check c = checkFrames(wav);
    const std::string q = "'" + wav.string() + "'";
    const uint64_t ffprobe = std::strtoull(
        output("ffprobe -v error -show_entries stream=duration_ts -of csv=p=0 " + q).c_str(),
        nullptr, 10);
    // sndfile-info goes on to scan every sample for the peak; its length
    // line comes first.
    const uint64_t sndfile = numberAfter(
        output("stdbuf -oL sndfile-info " + q + " | grep -m1 '^Frames      :'"), "Frames      :");
    const uint64_t sox =
        std::strtoull(output("soxi -s " + q + " 2>/dev/null").c_str(), nullptr, 10);
    char id[5] = {};
    std::ifstream(wav, std::ios::binary).read(id, 4);

    std::printf("%.2f h of a counter signal through a pipe source, fed at up to %.0fx\n", hours,
                speed);
    std::printf("  fed %llu frames in %.1f s (%.0fx real time), %llu blocks lost by capture\n",
                static_cast<unsigned long long>(fed), feedWall, fed / (feedWall * kRate),
                static_cast<unsigned long long>(lostBlocks));
    std::printf("  file %s, %llu bytes, %llu frames: %llu lost, %llu duplicated, %llu foreign\n",
                id, static_cast<unsigned long long>(fs::file_size(wav)),
                static_cast<unsigned long long>(c.frames), static_cast<unsigned long long>(c.lost),
                static_cast<unsigned long long>(c.duplicated),
                static_cast<unsigned long long>(c.foreign));
    std::printf(
        "  missing at the end: %llu frames\n",
        static_cast<unsigned long long>(fed > c.frames + c.lost ? fed - c.frames - c.lost : 0));
    std::printf("  resident size after the first minute %.1f MiB, at most %.1f MiB (%+.1f MiB)\n",
                baseline / 1048576.0, peak / 1048576.0,
                (static_cast<double>(peak) - static_cast<double>(baseline)) / 1048576.0);
    std::printf("  readers: ffprobe %llu, sndfile-info %llu, soxi %llu frames\n",
                static_cast<unsigned long long>(ffprobe), static_cast<unsigned long long>(sndfile),
                static_cast<unsigned long long>(sox));
    fs::remove_all(dir);
    return c.lost == 0 && c.duplicated == 0 && c.foreign == 0 ? 0 : 1;
}
