// The real program under an X server, driven by its global hotkeys alone
// while another window has the keyboard: a recording started, paused,
// resumed and stopped with CTRL+ALT+R, P and S; then a second copy that wants
// the same keys is told they are taken and shows "None" for this run.

#include "recordings/TRecordFiles.h"
#include "tests/audio/DecodedAudio.h"
#include "tests/hotkeys/OtherXClient.h"
#include "tests/support/ConfigTestData.h"
#include "tests/support/ProgramUnderTest.h"
#include "tests/support/TempFolder.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

std::string Config(int device, const std::string& folder) {
    std::string config = RecordingConfig(device, folder);
    setElementText(config, "Start", "CTRL+ALT+R");
    setElementText(config, "Pause", "CTRL+ALT+P");
    setElementText(config, "Stop", "CTRL+ALT+S");
    return config;
}

void PressKeys(const char* keys) {
    bool ok = false;
    RunHelper("xdotool", {"key", keys}, &ok);
    ASSERT_TRUE(ok) << keys;
}

std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(folder))
        files.push_back(e.path());
    return files;
}

// Answers each box titled "Notice" with Return until count were answered;
// how many that were.
int AnswerNotices(int count) {
    QStringList answered;
    while (answered.size() < count) {
        const QString box = FindVisibleWindow(QStringLiteral("^Notice"), answered);
        if (box.isEmpty())
            break;
        RunHelper("xdotool", {"windowfocus", "--sync", box, "key", "Return"});
        answered << box;
    }
    return static_cast<int>(answered.size());
}

} // namespace

TEST(HotkeyEndToEnd, KeysRecordInTheBackgroundAndASecondCopyFindsThemTaken) {
    ASSERT_FALSE(qgetenv("DISPLAY").isEmpty());
    const int monitor = MonitorInput();
    ASSERT_GE(monitor, 0) << "no monitor of the null sink";
    TempFolder first, second, output, otherOutput;
    const fs::path exe =
        InstallProgram(first, TOVALINE_EXE, Config(monitor, output.path().string()));
    const fs::path secondExe =
        InstallProgram(second, TOVALINE_EXE, Config(monitor, otherOutput.path().string()));

    // Silence played into the sink from the start keeps its monitor on time.
    QProcess silence;
    silence.setStandardInputFile("/dev/zero");
    silence.start("pacat", {"--playback", "--device=rec", "--latency-msec=20", "--raw"});
    ASSERT_TRUE(silence.waitForStarted());
    const auto settled = std::chrono::steady_clock::now() + 2500ms;

    QProcess app;
    const QString id = StartProgram(app, exe);
    ASSERT_FALSE(id.isEmpty()) << "the window never showed";
    std::this_thread::sleep_until(settled);

    OtherClient other;
    const xcb_window_t focused = other.MapFocusedWindow();
    ASSERT_EQ(other.Focus(), focused) << "the program's window still has the keyboard";

    PressKeys("ctrl+alt+r");
    ASSERT_TRUE(WaitUntilNotEmpty(output.path())) << "CTRL+ALT+R started nothing";
    std::this_thread::sleep_for(2s);
    PressKeys("ctrl+alt+p");
    std::this_thread::sleep_for(2s); // not recorded
    PressKeys("ctrl+alt+p");
    std::this_thread::sleep_for(1s);
    PressKeys("ctrl+alt+s");
    WaitUntilWritten(output.path());

    const std::vector<fs::path> made = FilesIn(output.path());
    ASSERT_EQ(made.size(), 1u);
    const auto audio = decoded::decode(made[0].string());
    ASSERT_TRUE(audio.ok) << "the stop key left no complete file";
    std::cout << "[ figure ] recorded " << audio.seconds() << " s for 3 s between the keys\n";
    EXPECT_NEAR(audio.seconds(), 3.0, 0.5) << "the pause key did not pause and resume";

    // A second copy wanting the same keys: a box for each, then "None".
    QProcess copy;
    copy.setProcessChannelMode(QProcess::ForwardedChannels);
    copy.start(QString::fromStdString(secondExe.string()), {});
    ASSERT_TRUE(copy.waitForStarted());
    EXPECT_EQ(AnswerNotices(3), 3);
    const QString copyId = FindProgramWindow({id});
    ASSERT_FALSE(copyId.isEmpty()) << "the second copy's window never showed";
    ASSERT_TRUE(WaitUntilPanelOpen(copyId));
    ClickCloseButton(copyId);
    ASSERT_TRUE(copy.waitForFinished(10000)) << "the second copy did not end";
    // The keys were taken for this run only: the copy's config.xml keeps them.
    const std::string copyConfig = TempFolder::read(second / "config.xml");
    for (const char* kept :
         {"<Start>CTRL+ALT+R</Start>", "<Pause>CTRL+ALT+P</Pause>", "<Stop>CTRL+ALT+S</Stop>"})
        EXPECT_NE(copyConfig.find(kept), std::string::npos) << copyConfig;

    ClickCloseButton(id);
    ASSERT_TRUE(app.waitForFinished(10000)) << "the close button did not end the program";
    EXPECT_EQ(app.exitCode(), 0);
    silence.kill();
    silence.waitForFinished();

    EXPECT_NE(TempFolder::read(first / "config.xml").find("<Start>CTRL+ALT+R</Start>"),
              std::string::npos);
    const auto list = TRecordFiles::CreateFromDataFile((first / "recorded.xml").string());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Files(), std::vector<std::string>{made[0].string()});
}
