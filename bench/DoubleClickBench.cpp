// Double click to first sound: the window, in this process on the offscreen
// platform, plays a recording through PulseAudio, and the time from the
// double click to the first loud sample on the null sink's monitor is
// measured. `paplay` of the same file, timed the same way in the same run,
// gives the figure to compare with (the monitor's own delay is in both).
// Needs the PulseAudio daemon with the null sink "rec" as the default sink,
// ffmpeg, parec, pacat and paplay.
//
//   double_click_bench [trials]   (default 15)

#include "BenchSupport.h"
#include "app/TfrmMain.h"
#include "recordings/TRecordFiles.h"
#include "ui/TListBox.h"

#include <QApplication>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Reads the monitor as parec delivers it and notes when loud sound arrives.
class MonitorListener {
public:
    MonitorListener() {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        pid_ = bench::spawn({"parec", "--device=rec.monitor", "--format=s16le", "--rate=44100",
                             "--channels=2", "--raw", "--latency-msec=5"},
                            -1, fds[1]);
        close(fds[1]);
        fd_ = fds[0];
        reader_ = std::thread([this] { read(); });
    }
    ~MonitorListener() {
        bench::stop(pid_);
        if (reader_.joinable())
            reader_.join();
        close(fd_);
    }
    bool running() const { return pid_ > 0; }
    // The time loud sound last arrived.
    Clock::time_point lastLoud() const { return Clock::time_point(Clock::duration(loud_.load())); }

private:
    void read() {
        int16_t block[512];
        for (;;) {
            const ssize_t got = ::read(fd_, block, sizeof block);
            if (got <= 0)
                return;
            const auto n = static_cast<size_t>(got) / sizeof(int16_t);
            if (std::any_of(block, block + n, [](int16_t s) { return s > 10000 || s < -10000; }))
                loud_ = Clock::now().time_since_epoch().count();
        }
    }

    pid_t pid_ = -1;
    int fd_ = -1;
    std::thread reader_;
    std::atomic<Clock::rep> loud_{0};
};

// Milliseconds from t0 to the first loud sound after it; -1 after 3 s.
double untilSound(const MonitorListener& monitor, Clock::time_point t0) {
    while (monitor.lastLoud() < t0) {
        if (bench::wallSeconds(t0) > 3.0)
            return -1;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return std::chrono::duration<double, std::milli>(monitor.lastLoud() - t0).count();
}

// Waits until the monitor has been quiet for 300 ms.
void untilQuiet(const MonitorListener& monitor) {
    while (Clock::now() - monitor.lastLoud() < std::chrono::milliseconds(300)) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace

int main(int argc, char** argv) {
    const int trials = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);

    const fs::path dir =
        fs::temp_directory_path() / ("tovaline-dblclick-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path tone = dir / "tone.wav";
    if (std::system(
            ("ffmpeg -v error -y -f lavfi -i "
             "'aevalsrc=0.9*sin(2*PI*1000*t)|0.9*sin(2*PI*1000*t):s=44100:d=2' -c:a pcm_s16le '" +
             tone.string() + "'")
                .c_str()) != 0) {
        std::fprintf(stderr, "making the tone failed\n");
        return 1;
    }
    std::ofstream(dir / "config.xml") << "<Config/>";

    // A silent stream keeps the null sink awake, as a desktop's sink is.
    const int zeros = open("/dev/zero", O_RDONLY);
    const pid_t keepAwake = bench::spawn(
        {"pacat", "--playback", "--device=rec", "--latency-msec=20", "--raw"}, zeros, -1);
    MonitorListener monitor;
    if (keepAwake < 0 || !monitor.running()) {
        std::fprintf(stderr, "pacat or parec did not start\n");
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    PlatformServices services = PlatformServices::desktop();
    services.programFolder = QString::fromStdString(dir.string() + "/");
    services.files = ProgramFiles::portable(services.programFolder);
    auto window = std::make_unique<TfrmMain>(std::move(services));
    RecordFiles->Files() = {tone.string()};
    window->listFiles->clear();
    window->FillFileList();
    window->listFiles->setCurrentRow(0);

    std::vector<double> ours, handler, theirs;
    for (int i = 0; i < trials; ++i) {
        const auto t0 = Clock::now();
        window->listFilesDblClick(window->listFiles);
        handler.push_back(bench::wallSeconds(t0) * 1000);
        ours.push_back(untilSound(monitor, t0));
        window->StopPlayback();
        untilQuiet(monitor);

        const auto p0 = Clock::now();
        const pid_t paplay = bench::spawn({"paplay", "--device=rec", tone.string()}, -1, -1);
        theirs.push_back(untilSound(monitor, p0));
        bench::stop(paplay);
        untilQuiet(monitor);
    }
    window.reset();
    bench::stop(keepAwake);
    close(zeros);
    fs::remove_all(dir);

    if (std::count(ours.begin(), ours.end(), -1.0) +
            std::count(theirs.begin(), theirs.end(), -1.0) >
        0)
        std::printf("some trials heard nothing within 3 s\n");
    std::printf("double click to first sound: %.1f ms median (target <= 100; min %.1f, max %.1f; "
                "the handler itself %.1f ms), paplay start to sound %.1f ms median, ratio %.2f "
                "(%d trials)\n",
                bench::median(ours), *std::min_element(ours.begin(), ours.end()),
                *std::max_element(ours.begin(), ours.end()), bench::median(handler),
                bench::median(theirs), bench::median(ours) / bench::median(theirs), trials);
    return 0;
}
