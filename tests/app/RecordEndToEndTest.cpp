// The whole road of one recording, by the real program in a program folder
// of its own, under an X server and the sound server's null sink: a tone is
// played into the sink, its monitor is recorded by clicks on the window, and
// the file and the list of recordings are checked afterwards.

#include "app/TfrmMain.h"
#include "audio/TBassRecorder.h"
#include "recordings/TRecordFiles.h"
#include "tests/audio/DecodedAudio.h"
#include "tests/support/ConfigTestData.h"
#include "tests/support/FakePlatformServices.h"
#include "tests/support/ProgramUnderTest.h"
#include "tests/support/TempFolder.h"
#include "ui/TListBox.h"

#include <QApplication>
#include <QDateTime>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

std::string Config(int device, const std::string& folder) {
    std::string config = RecordingConfig(device, folder);
    setElementText(config, "Volume", "10");
    setElementText(config, "Prefix", "take");
    return config;
}

int argc = 1;
char arg0[] = "record_end_to_end_test";
char* argv[] = {arg0, nullptr};

} // namespace

TEST(RecordEndToEnd, ClicksRecordAToneIntoAListedFile) {
    ASSERT_FALSE(qgetenv("DISPLAY").isEmpty());
    TempFolder program;
    TempFolder output;
    const int monitor = MonitorInput();
    ASSERT_GE(monitor, 0) << "no monitor of the null sink";
    const fs::path exe =
        InstallProgram(program, TOVALINE_EXE, Config(monitor, output.path().string()));

    QProcess player;
    // Until the sink has settled on the tone's short latency, a recording
    // misses the block that is not yet rendered when it stops.
    ASSERT_TRUE(PlayTone(player, program / "tone.wav", 12)) << "no tone played";
    const auto settled = std::chrono::steady_clock::now() + 2500ms;

    QProcess app;
    const QString id = StartProgram(app, exe);
    ASSERT_FALSE(id.isEmpty()) << "the window never showed";
    ASSERT_TRUE(WaitUntilPanelOpen(id));
    std::this_thread::sleep_until(settled);

    const ProgramWindow window(id);
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    window.clickRecord();
    // The three seconds count from the moment the recording exists.
    ASSERT_TRUE(WaitUntilNotEmpty(output.path())) << "the record button started nothing";
    std::this_thread::sleep_for(3s);
    window.clickStop();
    const QDateTime after = QDateTime::currentDateTime();
    WaitUntilWritten(output.path());
    window.clickClose();
    ASSERT_TRUE(app.waitForFinished(10000)) << "the close button did not end the program";
    EXPECT_EQ(app.exitCode(), 0);
    player.kill();
    player.waitForFinished();

    std::vector<fs::path> made;
    for (const auto& e : fs::directory_iterator(output.path()))
        made.push_back(e.path());
    ASSERT_EQ(made.size(), 1u);
    const QString name = QString::fromStdString(made[0].filename().string());
    const auto match = QRegularExpression("^take_(\\d{14})\\.mp3$").match(name);
    ASSERT_TRUE(match.hasMatch()) << name.toStdString();
    const QDateTime stamp = QDateTime::fromString(match.captured(1), "yyyyMMddHHmmss");
    EXPECT_GE(stamp, before.addMSecs(-before.time().msec()));
    EXPECT_LE(stamp, after);

    const auto audio = decoded::decode(made[0].string());
    ASSERT_TRUE(audio.ok);
    std::cout << "[ figure ] recorded " << audio.seconds() << " s for 3 s between the clicks\n";
    EXPECT_NEAR(audio.seconds(), 3.0, 0.3);
    EXPECT_NEAR(decoded::toneHz(audio), 1000.0, 20.0);

    const auto list = TRecordFiles::CreateFromDataFile((program / "recorded.xml").string());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Files(), std::vector<std::string>{made[0].string()});

    // A second start lists it.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    FakeServices fakes;
    TfrmMain frm(fakes.make(QString::fromStdString(program.path().string())));
    ASSERT_EQ(frm.listFiles->count(), 1);
    EXPECT_EQ(frm.listFiles->item(0)->text(), name);
}
