// Loads and saves a catalogue of 100,000 paths of mixed scripts and compares
// the times with reading and writing the same bytes with plain file I/O.

#include "recordings/TRecordFiles.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
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

template <class F> double MedianMs(F&& f) {
    std::vector<double> ms;
    for (int r = 0; r < kRuns; ++r) {
        const auto t0 = Clock::now();
        f();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
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
    const double save =
        MedianMs([&] { ok = ok && TRecordFiles::SaveDataFile(path, &catalogue).empty(); });
    std::size_t loaded = 0;
    const double load = MedianMs([&] {
        const auto c = TRecordFiles::CreateFromDataFile(path);
        loaded = c ? c->Files().size() : 0;
        ok = ok && c && c->Files() == catalogue.Files();
    });
    const std::string bytes = PlainRead(path);
    const double write = MedianMs([&] { PlainWrite(plain, bytes, false); });
    const double writeFlushed = MedianMs([&] { PlainWrite(plain, bytes, true); });
    std::size_t readSize = 0;
    const double read = MedianMs([&] { readSize = PlainRead(plain).size(); });
    fs::remove_all(dir);

    std::printf("catalogue: %d paths, %.1f MB of path text, file %.1f MB, %s\n", kPaths,
                textBytes / 1e6, bytes.size() / 1e6,
                ok && loaded == kPaths ? "round trip ok" : "ROUND TRIP FAILED");
    std::printf("load  %7.1f ms   plain read %6.1f ms   ratio %5.1f\n", load, read, load / read);
    std::printf("save  %7.1f ms   plain write %5.1f ms   ratio %5.1f   (plain write + fsync %.1f "
                "ms, ratio %.1f)\n",
                save, write, save / write, writeFlushed, save / writeFlushed);
    (void)readSize;
    return ok ? 0 : 1;
}
