// Start-up of the main window to its first painted frame, with a recorded.xml
// of 10,000 recordings against an empty one, alternating in one process. The
// window is made as the program makes it: the real sound server when one runs
// (scripts/bench starts one), offscreen unless a display is given.
//   startup_bench [runs]

#include "BenchSupport.h"
#include "app/TfrmMain.h"
#include "recordings/TRecordFiles.h"
#include "ui/PlatformServices.h"

#include <QApplication>
#include <QEvent>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kEntries = 10000;

class FirstPaint : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// A program folder with the shipped settings and a catalogue of n entries.
fs::path MakeProgramFolder(const fs::path& root, int entries) {
    const fs::path folder = root / std::to_string(entries);
    fs::create_directories(folder);
    fs::copy_file(TOVALINE_SHIPPED_CONFIG, folder / "config.xml",
                  fs::copy_options::overwrite_existing);
    TRecordFiles list;
    for (int k = 0; k < entries; ++k)
        list.Files().push_back("/home/anna/Music/Recordings/notitle_" +
                               std::to_string(20240101000000LL + k) + ".mp3");
    TRecordFiles::SaveDataFile((folder / "recorded.xml").string(), &list);
    return folder;
}

// Milliseconds from creating the window to the end of its first paint.
double StartOnce(const fs::path& folder) {
    PlatformServices services = PlatformServices::desktop();
    services.programFolder = QString::fromStdString(folder.string()) + '/';
    services.files = ProgramFiles::portable(services.programFolder);
    const auto start = Clock::now();
    TfrmMain window(std::move(services));
    FirstPaint watcher;
    window.installEventFilter(&watcher);
    window.show();
    while (!watcher.painted)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    window.hide();
    return ms;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;

    char tmpl[] = "/tmp/tovaline-startup-XXXXXX";
    if (!mkdtemp(tmpl))
        return 1;
    const fs::path root = tmpl;
    const fs::path empty = MakeProgramFolder(root, 0);
    const fs::path full = MakeProgramFolder(root, kEntries);

    StartOnce(empty); // fonts, plugins and the server connection warm up
    std::vector<double> emptyMs;
    std::vector<double> fullMs;
    for (int i = 0; i < runs; ++i) {
        emptyMs.push_back(StartOnce(empty));
        fullMs.push_back(StartOnce(full));
    }
    const double e = bench::median(emptyMs);
    const double f = bench::median(fullMs);
    std::printf("start-up to first paint, median of %d runs (%s)\n", runs,
                qPrintable(QApplication::platformName()));
    std::printf("  empty recorded.xml:       %7.1f ms\n", e);
    std::printf("  %d-entry recorded.xml: %7.1f ms\n", kEntries, f);
    std::printf("  ratio:                    %7.2f\n", f / e);
    fs::remove_all(root);
    return 0;
}
