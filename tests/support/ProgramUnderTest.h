#pragma once
// The real program in a program folder of its own, driven from outside by
// helper programs (xdotool, sox, paplay) under an X server and the sound
// server's null sink.

#include "audio/TBassRecorder.h"
#include "tests/support/ConfigTestData.h"
#include "tests/support/OpenFiles.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WaitFor.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

// Runs a helper program to its end; its standard output, trimmed.
inline QString RunHelper(const QString& program, const QStringList& args, bool* ok = nullptr) {
    QProcess p;
    p.start(program, args);
    const bool done =
        p.waitForFinished(15000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (ok)
        *ok = done;
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// Plays a 1 kHz tone of that many seconds into the null sink, with paplay
// itself as the child, so killing it silences the sink; a short latency keeps
// the sink rendering in small blocks (it takes about two seconds to settle on
// it). False when no tone could be made or started.
inline bool PlayTone(QProcess& player, const std::filesystem::path& wav, int seconds) {
    const QString file = QString::fromStdString(wav.string());
    bool made = false;
    RunHelper("sox",
              {"-n", "-r", "44100", "-c", "2", "-b", "16", file, "synth", QString::number(seconds),
               "sine", "1000", "vol", "0.5"},
              &made);
    if (!made)
        return false;
    player.start("paplay", {"--device=rec", "--latency-msec=20", file});
    return player.waitForStarted();
}

// The monitor of the null sink, as the program numbers its inputs.
inline int MonitorInput() {
    TBassRecorder rec;
    rec.Init(nullptr);
    std::vector<std::string> names;
    rec.LoadDeviceName(names);
    rec.Uninit();
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i].find("RecSink") != std::string::npos)
            return static_cast<int>(i);
    return -1;
}

// The default config.xml recording from that input into that folder.
inline std::string RecordingConfig(int device, const std::string& folder) {
    std::string config = defaultConfigFile();
    setElementText(config, "Device", std::to_string(device));
    setElementText(config, "SaveFolder", folder);
    return config;
}

// A copy of the executable with the encoder links and this config.xml.
inline std::filesystem::path InstallProgram(const TempFolder& folder, const char* executable,
                                            const std::string& config) {
    const std::filesystem::path exe = folder / "tovaline";
    std::filesystem::copy_file(executable, exe);
    std::filesystem::create_symlink("/usr/bin/lame", folder / "lame");
    std::filesystem::create_symlink("/usr/bin/oggenc", folder / "oggenc2");
    TempFolder::write(folder / "config.xml", config);
    return exe;
}

// The X id of a visible window whose name matches the pattern, skipping
// those in others; empty when none showed within 20 seconds.
inline QString FindVisibleWindow(const QString& pattern, const QStringList& others = {}) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        const QStringList ids = RunHelper("xdotool", {"search", "--onlyvisible", "--name", pattern})
                                    .split('\n', Qt::SkipEmptyParts);
        for (const QString& id : ids)
            if (!others.contains(id))
                return id;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
}

// The main window of a copy of the program.
inline QString FindProgramWindow(const QStringList& others = {}) {
    return FindVisibleWindow(QStringLiteral("^Tovaline$"), others);
}

// Starts the program and waits for its main window: the window's X id,
// empty when it never showed.
inline QString StartProgram(QProcess& app, const std::filesystem::path& exe) {
    app.setProcessChannelMode(QProcess::ForwardedChannels);
    app.start(QString::fromStdString(exe.string()), {});
    return app.waitForStarted() ? FindProgramWindow() : QString();
}

// Waits up to five seconds for the folder to hold something: on a busy
// machine a click or key may take a while to be handled. True when it does.
inline bool WaitUntilNotEmpty(const std::filesystem::path& folder) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::filesystem::is_empty(folder) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return !std::filesystem::is_empty(folder);
}

// Waits up to ten seconds until nothing holds a file of the folder open: a
// stop that the program has handled leaves its recording complete. True when
// that came.
inline bool WaitUntilWritten(const std::filesystem::path& folder) {
    return WaitUntil([&] { return !AnyFileHeldOpenIn(folder); }, std::chrono::seconds(10),
                     std::chrono::milliseconds(10));
}

// The first visible window whose title matches the pattern; empty when none.
inline QString VisibleWindow(const QString& titlePattern) {
    return RunHelper("xdotool", {"search", "--onlyvisible", "--name", titlePattern})
        .split('\n')
        .value(0);
}

// The bottom of a window's shape, in window coordinates; 0 when unknown.
inline int ShapeBottom(const QString& id) {
    static const QRegularExpression extents(
        QStringLiteral(R"(Window shape extents:\s+\d+x(\d+)\+-?\d+\+(-?\d+))"));
    const QRegularExpressionMatch m = extents.match(RunHelper("xwininfo", {"-shape", "-id", id}));
    return m.hasMatch() ? m.captured(1).toInt() + m.captured(2).toInt() : 0;
}

// Waits up to five seconds for the lower panel, which slides open at
// start-up, to be open: a click then lands on the window as it stays. True
// when it opened.
inline bool WaitUntilPanelOpen(const QString& id) {
    // Its bottom edge (top 97, open height 260), less its rounded corners.
    return WaitUntil([&] { return ShapeBottom(id) >= 97 + 260 - 8; }, std::chrono::seconds(5),
                     std::chrono::milliseconds(20));
}

// Left click at a point of a window, in window coordinates.
inline void ClickWindow(const QString& id, int x, int y) {
    RunHelper("xdotool",
              {"mousemove", "--window", id, QString::number(x), QString::number(y), "click", "1"});
}

// Window coordinates of the close button's centre: the top bar sits at (7, 9).
inline void ClickCloseButton(const QString& id) {
    ClickWindow(id, 7 + 371 + 6, 9 + 6 + 7);
}

// The main window's buttons, clicked at their centres.
class ProgramWindow {
public:
    explicit ProgramWindow(QString id) : id_(std::move(id)) {}
    void clickRecord() const { ClickWindow(id_, 7 + 226 + 22, 9 + 30 + 22); }
    void clickStop() const { ClickWindow(id_, 7 + 291 + 20, 9 + 32 + 20); }
    void clickClose() const { ClickCloseButton(id_); }

private:
    QString id_;
};
