// The remote control of the real program, on a session bus of the test's own,
// under an X server and the sound server's null sink: the command-line verbs
// start, pause, resume and stop a recording of a running copy, --record
// starts the program when none runs, and a timed recording stops by itself.

#include "recordings/TRecordFiles.h"
#include "tests/audio/DecodedAudio.h"
#include "tests/support/ConfigTestData.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/ProgramUnderTest.h"
#include "tests/support/TempFolder.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

struct Answer {
    int exitCode = -1;
    QString out;
    QString err;
    qint64 ms = 0;
};

std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(folder))
        files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

class RemoteControlEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(qgetenv("DISPLAY").isEmpty());
        ASSERT_FALSE(bus.address().isEmpty()) << "no private bus";
        const int monitor = MonitorInput();
        ASSERT_GE(monitor, 0) << "no monitor of the null sink";
        std::string config = RecordingConfig(monitor, output.path().string());
        setElementText(config, "Volume", "10");
        exe = InstallProgram(program, TOVALINE_EXE, config);
        ASSERT_TRUE(PlayTone(tone, program / "tone.wav", 40)) << "no tone played";
        // Until the sink has settled on the tone's short latency, its monitor
        // comes late and a recording falls short of the time it ran.
        std::this_thread::sleep_for(2500ms);
    }
    void TearDown() override {
        if (app.state() != QProcess::NotRunning) {
            app.kill();
            app.waitForFinished();
        }
        tone.kill();
        tone.waitForFinished();
    }

    // A verb run to its end, as a script from cron would: without a display,
    // so it could not open a window if it tried.
    Answer Run(const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = bus.environment();
        env.remove("DISPLAY");
        p.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        p.start(QString::fromStdString(exe.string()), args);
        if (!p.waitForFinished(10000))
            return {};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError()), clock.elapsed()};
    }

    // Starts a copy with those arguments and waits for its window.
    QString Start(const QStringList& args) {
        app.setProcessEnvironment(bus.environment());
        app.setProcessChannelMode(QProcess::ForwardedChannels);
        app.start(QString::fromStdString(exe.string()), args);
        return app.waitForStarted() ? FindProgramWindow() : QString();
    }

    // Asks --status until its line matches, for up to five seconds; the last
    // line it printed.
    QString WaitForStatus(const QString& pattern) {
        const QRegularExpression wanted(pattern);
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        QString line;
        do {
            line = Run({"--status"}).out;
            if (wanted.match(line).hasMatch())
                break;
            std::this_thread::sleep_for(50ms);
        } while (std::chrono::steady_clock::now() < deadline);
        return line;
    }

    // Main windows of the started copy.
    int VisibleWindows() {
        return static_cast<int>(
            RunHelper("xdotool", {"search", "--all", "--onlyvisible", "--pid",
                                  QString::number(app.processId()), "--name", "^Tovaline$"})
                .split('\n', Qt::SkipEmptyParts)
                .size());
    }

    TempFolder program;
    TempFolder output;
    TempFolder busFolder;
    PrivateBus bus{busFolder.path()};
    fs::path exe;
    QProcess tone;
    QProcess app;
};

} // namespace

TEST_F(RemoteControlEndToEnd, VerbsDriveTheRunningCopyAndReportItsState) {
    // No copy yet: --status and --stop say so, open no window, fail fast.
    for (const char* verb : {"--status", "--stop"}) {
        const Answer none = Run({verb});
        EXPECT_EQ(none.exitCode, 1) << verb;
        EXPECT_TRUE(none.out.isEmpty()) << verb;
        EXPECT_TRUE(none.err.contains("no running copy")) << none.err.toStdString();
        EXPECT_LT(none.ms, 1000) << verb;
    }

    // --record starts the program, which records at once.
    const QString id = Start({"--record"});
    ASSERT_FALSE(id.isEmpty()) << "the window never showed";
    ASSERT_TRUE(WaitUntilNotEmpty(output.path())) << "the started copy records nothing";
    EXPECT_TRUE(QRegularExpression("^recording \\d\\d:\\d\\d:\\d\\d\\n$")
                    .match(WaitForStatus("^recording"))
                    .hasMatch());

    std::this_thread::sleep_for(2s);
    const Answer pause = Run({"--record"});
    EXPECT_EQ(pause.exitCode, 0);
    std::cout << "[ figure ] --record to the running copy returned in " << pause.ms << " ms\n";
    const QString paused = WaitForStatus("^paused ");
    ASSERT_TRUE(paused.startsWith("paused 00:00:0")) << paused.toStdString();
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(Run({"--status"}).out, paused) << "the count must stand still while paused";

    EXPECT_EQ(Run({"--record"}).exitCode, 0);
    EXPECT_TRUE(WaitForStatus("^recording").startsWith("recording"));
    std::this_thread::sleep_for(1s);
    const Answer stop = Run({"--stop"});
    EXPECT_EQ(stop.exitCode, 0);
    std::cout << "[ figure ] --stop returned in " << stop.ms << " ms\n";
    EXPECT_EQ(WaitForStatus("^idle$"), "idle\n");

    // A second copy was never opened, and the one file is listed.
    EXPECT_EQ(VisibleWindows(), 1);
    const std::vector<fs::path> made = FilesIn(output.path());
    ASSERT_EQ(made.size(), 1u);
    const auto list = TRecordFiles::CreateFromDataFile((program / "recorded.xml").string());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Files(), std::vector<std::string>{made[0].string()});
    const auto audio = decoded::decode(made[0].string());
    ASSERT_TRUE(audio.ok);
    // About 2 s before the pause and 1 s after it.
    EXPECT_GT(audio.seconds(), 2.5);
    EXPECT_LT(audio.seconds(), 5.0);

    ClickCloseButton(id);
    EXPECT_TRUE(app.waitForFinished(10000));
}

TEST_F(RemoteControlEndToEnd, TimedRecordingsStopByThemselvesAndTheProgramStaysOpen) {
    const Answer bad = Run({"--record", "--for", "90 minutes"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains("no duration")) << bad.err.toStdString();
    EXPECT_TRUE(fs::is_empty(output.path()));

    // No copy running: the started program records for the duration.
    ASSERT_FALSE(Start({"--record", "--for", "3s"}).isEmpty()) << "the window never showed";
    ASSERT_TRUE(WaitUntilNotEmpty(output.path()));
    ASSERT_TRUE(WaitForStatus("^recording").startsWith("recording"));
    EXPECT_EQ(WaitForStatus("^idle$"), "idle\n") << "the timed recording did not stop";

    // Handed to the running copy: the invocation returns, the copy records.
    const Answer handed = Run({"--record", "--for", "00:00:02"});
    EXPECT_EQ(handed.exitCode, 0);
    EXPECT_LT(handed.ms, 1000);
    ASSERT_TRUE(WaitForStatus("^recording").startsWith("recording"));
    EXPECT_EQ(WaitForStatus("^idle$"), "idle\n");
    EXPECT_EQ(app.state(), QProcess::Running) << "the program stays open";
    EXPECT_EQ(VisibleWindows(), 1);

    const std::vector<fs::path> made = FilesIn(output.path());
    ASSERT_EQ(made.size(), 2u);
    const auto list = TRecordFiles::CreateFromDataFile((program / "recorded.xml").string());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Files().size(), 2u);
    std::vector<double> seconds;
    for (const std::string& file : list->Files()) {
        const auto audio = decoded::decode(file);
        ASSERT_TRUE(audio.ok) << file;
        seconds.push_back(audio.seconds());
    }
    std::cout << "[ figure ] --for 3s recorded " << seconds[0] << " s, --for 00:00:02 recorded "
              << seconds[1] << " s\n";
    EXPECT_NEAR(seconds[0], 3.0, 0.4);
    EXPECT_NEAR(seconds[1], 2.0, 0.4);
}
