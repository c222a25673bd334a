// Loads and saves a catalogue of 100,000 paths of mixed scripts and compares
// the times with reading and writing the same bytes with plain file I/O.

#include "recordings/TRecordFiles.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kPaths = 100000;
constexpr int kRuns = 7;

// Folder and name pieces in the scripts people name their recordings in.
const char* const kFolders[] = {
    "/home/anna/Music/Recordings/", "/home/jürgen/Musik/Aufnahmen/Proben 2024/",
    "/home/ковалёв/Музыка/Записи/", "/home/tanaka/ミュージック/録音/",
    "/media/usb-stick/interviews/", "/home/łucja/Muzyka/Nagrania/Próby chóru/"};
const char* const kNames[] = {"notitle_",    "interview_", "Chœur répétition ",
                              "会議の記録 ", "лекция ",    "band practice ",
                              "録音",        "podcast-ep", "\xF0\x9F\x8E\xB5 demo "};
const char* const kExtensions[] = {".wav", ".mp3", ".wma", ".ogg"};

std::vector<std::string> MakePaths() {
    std::mt19937 random(2024);
    std::vector<std::string> paths;
    paths.reserve(kPaths);
    for (int k = 0; k < kPaths; ++k) {
        std::string p = kFolders[random() % std::size(kFolders)];
        p += kNames[random() % std::size(kNames)];
        p += std::to_string(20240000000000ULL + random() % 1000000000ULL);
        p += kExtensions[random() % std::size(kExtensions)];
        paths.push_back(std::move(p));
    }
    return paths;
}

double CpuMs() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Median wall time and median CPU time of the process: on a shared machine
// the second shows the cost when the first is inflated by waiting for a core.
struct Times {
    double wall;
    double cpu;
};

template <class F> Times Median(F&& f) {
    std::vector<double> wall, cpu;
    for (int r = 0; r < kRuns; ++r) {
        const auto t0 = Clock::now();
        const double c0 = CpuMs();
        f();
        cpu.push_back(CpuMs() - c0);
        wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

void PlainWrite(const std::string& path, const std::string& bytes, bool flush) {
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fflush(f);
    if (flush)
        ::fsync(fileno(f));
    std::fclose(f);
}

std::string PlainRead(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    std::string bytes(static_cast<std::size_t>(std::ftell(f)), '\0');
    std::fseek(f, 0, SEEK_SET);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    return bytes;
}

} // namespace

int main() {
    const fs::path dir =
        fs::temp_directory_path() / ("catalogue-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "recorded.xml").string();
    const std::string plain = (dir / "plain.bin").string();

    TRecordFiles catalogue;
    catalogue.Files() = MakePaths();
    std::size_t textBytes = 0;
    for (const auto& p : catalogue.Files())
        textBytes += p.size();

    bool ok = true;
    const Times save =
        Median([&] { ok = ok && TRecordFiles::SaveDataFile(path, &catalogue).empty(); });
    std::size_t loaded = 0;
    const Times load = Median([&] {
        const auto c = TRecordFiles::CreateFromDataFile(path);
        loaded = c ? c->Files().size() : 0;
        ok = ok && c && c->Files() == catalogue.Files();
    });
    const std::string bytes = PlainRead(path);
    const Times write = Median([&] { PlainWrite(plain, bytes, false); });
    const Times writeFlushed = Median([&] { PlainWrite(plain, bytes, true); });
    const Times read = Median([&] { (void)PlainRead(plain).size(); });
    fs::remove_all(dir);

    std::printf("catalogue: %d paths, %.1f MB of path text, file %.1f MB, %s\n", kPaths,
                textBytes / 1e6, bytes.size() / 1e6,
                ok && loaded == kPaths ? "round trip ok" : "ROUND TRIP FAILED");
    std::printf("                 wall ms   cpu ms\n");
    auto row = [](const char* what, Times t) {
        std::printf("%-16s %7.1f  %7.1f\n", what, t.wall, t.cpu);
    };
    row("load", load);
    row("plain read", read);
    row("save", save);
    row("plain write", write);
    row("+ fsync", writeFlushed);
    std::printf("ratio load/read %.1f (cpu %.1f), save/write %.1f (cpu %.1f), "
                "save/(write+fsync) %.1f\n",
                load.wall / read.wall, load.cpu / read.cpu, save.wall / write.wall,
                save.cpu / write.cpu, save.wall / writeFlushed.wall);
    return ok ? 0 : 1;
}
