#pragma once
// Driving the real program under an X server, as a user would: helper
// programs run to their end, the window found by its title, clicks at the
// buttons' centres. Needs DISPLAY and xdotool.

#include "audio/TBassRecorder.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <string>
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

// The first visible window whose title matches the pattern; empty when none.
inline QString VisibleWindow(const QString& titlePattern) {
    return RunHelper("xdotool", {"search", "--onlyvisible", "--name", titlePattern})
        .split('\n')
        .value(0);
}

class ProgramWindow {
public:
    explicit ProgramWindow(QString id) : id_(std::move(id)) {}
    void click(int x, int y) const {
        RunHelper("xdotool", {"mousemove", "--window", id_, QString::number(x), QString::number(y),
                              "click", "1"});
    }
    // Window coordinates of the buttons' centres: the top bar sits at (7, 9).
    void clickRecord() const { click(7 + 226 + 22, 9 + 30 + 22); }
    void clickStop() const { click(7 + 291 + 20, 9 + 32 + 20); }
    void clickClose() const { click(7 + 371 + 6, 9 + 6 + 7); }

private:
    QString id_;
};
