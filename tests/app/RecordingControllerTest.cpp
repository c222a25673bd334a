// The recording workflow on the offscreen window, recording a tone input
// through the real encoders. The timers' handlers are driven by the test, so
// no test waits on the clock except where the recorder itself must run.

#include "app/TfrmMain.h"
#include "audio/TBassRecorder.h"
#include "audio/lib/ExternalEncoder.h"
#include "recordings/TRecordFiles.h"
#include "settings/RecorderSettings.h"
#include "tests/audio/DecodedAudio.h"
#include "tests/audio/ToneInputs.h"
#include "tests/support/ChildProcesses.h"
#include "tests/support/FakePlatformServices.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowFixture.h"
#include "ui/TBitmapButton.h"
#include "ui/TCheckBox.h"
#include "ui/TComboBox.h"
#include "ui/TFloatTrackBar.h"
#include "ui/TListBox.h"
#include "ui/TTabControl.h"
#include "ui/TText.h"
#include "ui/TTextBox.h"
#include "ui/TTextButton.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QIODevice>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Found by the comparisons of GoogleTest, so beside ShownMessage.
bool operator==(const ShownMessage& a, const ShownMessage& b) {
    return a.caption == b.caption && a.text == b.text && a.icon == b.icon && a.buttons == b.buttons;
}

void PrintTo(const ShownMessage& m, std::ostream* os) {
    *os << '[' << m.caption.toStdString() << "] \"" << m.text.toStdString() << "\" icon "
        << static_cast<int>(m.icon) << " buttons " << static_cast<int>(m.buttons);
}

namespace {

ShownMessage Box(const char* caption, const QString& text, MessageIcon icon,
                 MessageButtons buttons = MessageButtons::Ok) {
    return {QString::fromUtf8(caption), text, icon, buttons};
}

QImage SkinImage(const QString& name) {
    auto stream = TfrmMain::LoadResourceStream(name);
    QImage image;
    if (stream)
        image.loadFromData(stream->readAll());
    // The button keeps its images premultiplied.
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

class RecordingController : public WindowFixture {
protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path().empty());
        ASSERT_FALSE(output.path().empty());
        // The program folder holds the encoders, as an installed program's does.
        fs::create_symlink("/usr/bin/lame", dir / "lame");
        fs::create_symlink("/usr/bin/oggenc", dir / "oggenc2");
        installTone({"Line In", "Microphone"});
    }

    void TearDown() override {
        frm.reset();
        Settings = TRecorderSettings{};
    }

    void installTone(const std::vector<std::string>& inputs) {
        tone = audiotest::installToneInputs(inputs);
    }

    // The window with MP3 recordings of input 0 into the output folder, named
    // "take" (or automatically when auto is set); what start-up said is
    // forgotten.
    void create(bool automatic = false) {
        frm = makeWindow();
        Settings = TRecorderSettings{};
        Settings.Device = 0;
        Settings.Volume = 10;
        Settings.OutFormat = rofMP3;
        Settings.SaveFolder = QString::fromStdString(output.path());
        Settings.SpecialPath = QStringLiteral("take");
        Settings.Prefix = QStringLiteral("rec");
        (automatic ? frm->rdAutoSave : frm->rdSpecial)->setChecked(true);
        fakes.messages->shown.clear();
    }

    QString out(const std::string& name) const {
        return QString::fromStdString((output / name).string());
    }

    void tick(int n) {
        for (int i = 0; i < n; ++i)
            frm->TimerTimer(frm->Timer);
    }

    bool panelEnabled() const {
        const bool all = frm->listFiles->isEnabled() && frm->btnClear->isEnabled() &&
                         frm->btnPlayStop->isEnabled() && frm->btnPlay->isEnabled() &&
                         frm->tbSound->isEnabled();
        const bool none = !frm->listFiles->isEnabled() && !frm->btnClear->isEnabled() &&
                          !frm->btnPlayStop->isEnabled() && !frm->btnPlay->isEnabled() &&
                          !frm->tbSound->isEnabled();
        EXPECT_TRUE(all || none) << "the panel's controls are locked together";
        return all;
    }

    bool showsPauseImages() const {
        using Look = TBitmapButton::Look;
        const bool pause = frm->btnRecord->image(Look::Normal) == SkinImage("pausenormal") &&
                           frm->btnRecord->image(Look::Hot) == SkinImage("pausenormal") &&
                           frm->btnRecord->image(Look::Down) == SkinImage("pauseclick");
        const bool record = frm->btnRecord->image(Look::Normal) == SkinImage("recnormal") &&
                            frm->btnRecord->image(Look::Hot) == SkinImage("recnormal") &&
                            frm->btnRecord->image(Look::Down) == SkinImage("recclick");
        EXPECT_NE(pause, record);
        return pause;
    }

    // The one message shown since the last look; forgotten once seen.
    ShownMessage takeMessage() {
        std::vector<ShownMessage>& shown = fakes.messages->shown;
        EXPECT_EQ(shown.size(), 1u);
        ShownMessage m = shown.empty() ? ShownMessage{} : shown.back();
        shown.clear();
        return m;
    }

    std::vector<std::string> catalogue() const {
        return RecordFiles ? RecordFiles->Files() : std::vector<std::string>{};
    }

    TempFolder output;
    audiolib::VirtualBackend* tone = nullptr; // owned by the audio layer
    std::unique_ptr<TfrmMain> frm;
};

} // namespace

TEST_F(RecordingController, RecordPauseResumeStopWalkTheStatesAndWriteTheFile) {
    create();
    const QImage recordNormal = SkinImage("recnormal");
    ASSERT_FALSE(recordNormal.isNull());
    ASSERT_FALSE(SkinImage("pausenormal").isNull());
    EXPECT_FALSE(showsPauseImages());
    EXPECT_TRUE(panelEnabled());

    frm->btnRecord->click();
    EXPECT_EQ(frm->FCurrentState, rsRecording);
    EXPECT_TRUE(fakes.messages->shown.empty());
    EXPECT_TRUE(showsPauseImages());
    EXPECT_TRUE(frm->Timer->isActive());
    EXPECT_FALSE(frm->TmFlash->isActive());
    EXPECT_FALSE(panelEnabled());
    EXPECT_EQ(Entries(frm->listFiles), QStringList{"take.mp3"});
    EXPECT_EQ(catalogue(), std::vector<std::string>{out("take.mp3").toStdString()});
    EXPECT_TRUE(frm->listFiles->selectedItems().isEmpty());
    // Only the recordings panel is locked.
    for (QWidget* w : std::initializer_list<QWidget*>{
             frm->btnRecord, frm->btnRecStop, frm->btnList, frm->btnOptions, frm->btnMinize,
             frm->btnClose, frm->btnOpenFilePath, frm->tcOptions, frm->cmbFormat})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();

    std::this_thread::sleep_for(400ms);
    tick(2);
    frm->btnRecord->click();
    EXPECT_EQ(frm->FCurrentState, rsRecordPause);
    EXPECT_FALSE(showsPauseImages());
    EXPECT_FALSE(frm->Timer->isActive());
    EXPECT_TRUE(frm->TmFlash->isActive());
    EXPECT_FALSE(panelEnabled());
    EXPECT_EQ(frm->txtTimer->text(), "00:00:02");

    std::this_thread::sleep_for(300ms); // not recorded
    frm->btnRecord->click();
    EXPECT_EQ(frm->FCurrentState, rsRecording);
    EXPECT_TRUE(showsPauseImages());
    EXPECT_TRUE(frm->Timer->isActive());
    EXPECT_FALSE(frm->TmFlash->isActive());
    EXPECT_TRUE(frm->txtTimer->isVisibleTo(frm.get()));

    std::this_thread::sleep_for(400ms);
    tick(1);
    frm->btnRecStop->click();
    EXPECT_EQ(frm->FCurrentState, rsRecordStoped);
    EXPECT_FALSE(showsPauseImages());
    EXPECT_FALSE(frm->Timer->isActive());
    EXPECT_FALSE(frm->TmFlash->isActive());
    EXPECT_TRUE(panelEnabled());
    EXPECT_EQ(frm->txtTimer->text(), "00:00:03") << "the final time stays";
    EXPECT_TRUE(fakes.messages->shown.empty());

    auto audio = decoded::decode((output / "take.mp3").string());
    ASSERT_TRUE(audio.ok);
    EXPECT_NEAR(audio.seconds(), 0.8, 0.2) << "the pause is not in the file";
    EXPECT_NEAR(decoded::toneHz(audio), 1000.0, 20.0);
}

TEST_F(RecordingController, StopWithNothingRunningDoesNothing) {
    create();
    frm->txtTimer->setText(QStringLiteral("00:12:34"));
    frm->btnRecStop->click();
    EXPECT_EQ(frm->FCurrentState, rsNormal);
    EXPECT_EQ(frm->txtTimer->text(), "00:12:34");
    EXPECT_EQ(frm->FRecUtils->RecChannel(), 0u);
    EXPECT_TRUE(fakes.messages->shown.empty());
    EXPECT_TRUE(panelEnabled());

    // Pause and resume have nothing to act on either.
    frm->FCurrentState = rsRecordStoped;
    frm->btnRecStop->click();
    EXPECT_EQ(frm->FCurrentState, rsRecordStoped);
    for (TCurrentAppState s : {rsPlayFile, rsPausePlay, rsStopPlay}) {
        frm->FCurrentState = s;
        frm->btnRecord->click();
        EXPECT_EQ(frm->FCurrentState, s);
        EXPECT_EQ(frm->FRecUtils->RecChannel(), 0u);
    }
    EXPECT_TRUE(fakes.messages->shown.empty());
}

TEST_F(RecordingController, SameNameRules) {
    create();
    TempFolder::write(output / "take.mp3", "old take");

    // Prompt, No: nothing changes.
    Settings.SamenameOP = TSameNameAction::Prompt;
    frm->btnRecord->click();
    EXPECT_EQ(takeMessage(), Box("Notice",
                                 QStringLiteral("File \"%1\" already exists. Do you want to "
                                                "overwrite the existing file?")
                                     .arg(out("take.mp3")),
                                 MessageIcon::Question, MessageButtons::YesNo));
    EXPECT_EQ(frm->FCurrentState, rsNormal);
    EXPECT_EQ(frm->FRecUtils->RecChannel(), 0u);
    EXPECT_TRUE(Entries(frm->listFiles).isEmpty());
    EXPECT_TRUE(catalogue().empty());
    EXPECT_FALSE(frm->Timer->isActive());
    EXPECT_TRUE(panelEnabled());
    EXPECT_EQ(TempFolder::read(output / "take.mp3"), "old take");

    // Prompt, Yes: recorded over it.
    fakes.messages->answers.push_back(MessageResult::Yes);
    frm->btnRecord->click();
    EXPECT_EQ(frm->FCurrentState, rsRecording);
    std::this_thread::sleep_for(300ms);
    frm->btnRecStop->click();
    EXPECT_TRUE(decoded::decode((output / "take.mp3").string()).ok);
    EXPECT_EQ(Entries(frm->listFiles), QStringList{"take.mp3"});

    // Overwrite: no question, and the same path listed twice.
    fakes.messages->shown.clear();
    Settings.SamenameOP = TSameNameAction::Overwrite;
    frm->btnRecord->click();
    EXPECT_TRUE(fakes.messages->shown.empty());
    EXPECT_EQ(frm->FCurrentState, rsRecording);
    frm->btnRecStop->click();
    EXPECT_EQ(Entries(frm->listFiles), (QStringList{"take.mp3", "take.mp3"}));
    EXPECT_EQ(catalogue(), std::vector<std::string>(2, out("take.mp3").toStdString()));

    // SaveAs: the first free number.
    TempFolder::write(output / "take_1.mp3", "first copy");
    Settings.SamenameOP = TSameNameAction::NewName;
    frm->btnRecord->click();
    EXPECT_TRUE(fakes.messages->shown.empty());
    EXPECT_EQ(frm->FCurrentState, rsRecording);
    std::this_thread::sleep_for(300ms);
    frm->btnRecStop->click();
    EXPECT_EQ(Entries(frm->listFiles).last(), "take_2.mp3");
    EXPECT_EQ(catalogue().back(), out("take_2.mp3").toStdString());
    EXPECT_EQ(TempFolder::read(output / "take_1.mp3"), "first copy");
    EXPECT_TRUE(decoded::decode((output / "take_2.mp3").string()).ok);
}

TEST_F(RecordingController, ChecksBeforeStartingTellTheUserAndChangeNothing) {
    create();
    auto expectUntouched = [&] {
        EXPECT_EQ(frm->FCurrentState, rsNormal);
        EXPECT_EQ(frm->FRecUtils->RecChannel(), 0u);
        EXPECT_TRUE(catalogue().empty());
        EXPECT_FALSE(frm->Timer->isActive());
        EXPECT_TRUE(panelEnabled());
        EXPECT_FALSE(showsPauseImages());
    };

    // No path: the FilePath page opens.
    Settings.SaveFolder.clear();
    frm->btnRecord->click();
    EXPECT_EQ(takeMessage(),
              Box("Notice", "Please input valid filepath.", MessageIcon::Information));
    EXPECT_TRUE(frm->tcOptions->isVisibleTo(frm.get()));
    EXPECT_EQ(frm->tcOptions->tabIndex(), 2);
    expectUntouched();

    // A folder under a regular file cannot be made.
    TempFolder::write(output / "plain", "x");
    Settings.SaveFolder = out("plain/sub");
    frm->btnRecord->click();
    EXPECT_EQ(takeMessage(), Box("Warning", "Target folder is invalid!", MessageIcon::Warning));
    expectUntouched();

    // A missing folder two levels deep is made.
    Settings.SaveFolder = out("new/deeper");
    frm->btnRecord->click();
    EXPECT_TRUE(fakes.messages->shown.empty());
    EXPECT_EQ(frm->FCurrentState, rsRecording);
    frm->btnRecStop->click();
    EXPECT_TRUE(fs::is_regular_file(output / "new/deeper/take.mp3"));
}

TEST_F(RecordingController, NoInputIsToldBeforeTheRecorderIsTouched) {
    installTone({});
    create();
    frm->btnRecord->click();
    EXPECT_EQ(takeMessage(),
              Box("Notice", "No valid audio device found.", MessageIcon::Information));
    EXPECT_EQ(frm->FCurrentState, rsNormal);
    EXPECT_TRUE(catalogue().empty());
}

TEST_F(RecordingController, AFailedStartWarnsOnceAndAddsNothing) {
    create();
    fs::remove(dir / "lame");
    frm->btnRecord->click();
    const QString why = QString::fromStdString(frm->FRecUtils->GetLastErrorMessage());
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(takeMessage(), Box("Warning", why, MessageIcon::Warning));
    EXPECT_EQ(frm->FCurrentState, rsNormal);
    EXPECT_TRUE(catalogue().empty());
    EXPECT_TRUE(Entries(frm->listFiles).isEmpty());
    EXPECT_TRUE(panelEnabled());
    EXPECT_FALSE(frm->Timer->isActive());

    // The codec dialog cancelled.
    Settings.OutFormat = rofWAVE;
    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    frm->btnRecord->click();
    EXPECT_EQ(takeMessage(), Box("Warning", "Recording failed!", MessageIcon::Warning));
    EXPECT_EQ(frm->FCurrentState, rsNormal);
    EXPECT_TRUE(catalogue().empty());
    EXPECT_FALSE(fs::exists(output / "take.wav"));
}

TEST_F(RecordingController, ElapsedTimeCountsTicksAndSkipsPauses) {
    create();
    frm->btnRecord->click();
    ASSERT_EQ(frm->FCurrentState, rsRecording);
    EXPECT_EQ(frm->txtTimer->text(), "00:00:00");
    tick(5);
    frm->btnRecord->click();
    // Ten seconds of pause: the display blinks and the count stands still.
    std::vector<bool> shown;
    for (int i = 0; i < 10; ++i) {
        frm->TmFlashTimer(frm->TmFlash);
        shown.push_back(frm->txtTimer->isVisibleTo(frm.get()));
    }
    for (size_t i = 1; i < shown.size(); ++i)
        EXPECT_NE(shown[i], shown[i - 1]) << "alternates every second";
    EXPECT_EQ(frm->txtTimer->text(), "00:00:05");
    frm->btnRecord->click();
    EXPECT_TRUE(frm->txtTimer->isVisibleTo(frm.get()));
    tick(2);
    EXPECT_EQ(frm->txtTimer->text(), "00:00:07");
    EXPECT_EQ(frm->FElapsedTimeCount, 7);

    tick(3600 - 7);
    EXPECT_EQ(frm->txtTimer->text(), "01:00:00");
    tick(360000 - 3600);
    EXPECT_EQ(frm->txtTimer->text(), "100:00:00");
    tick(1);
    EXPECT_EQ(frm->txtTimer->text(), "100:00:01");
    EXPECT_EQ(TfrmMain::ElapsedTimeText(3599), "00:59:59");
    EXPECT_EQ(TfrmMain::ElapsedTimeText(3661), "01:01:01");
}

TEST_F(RecordingController, ASecondRecordingShowsTheOldTimeUntilItsFirstTick) {
    create();
    Settings.SamenameOP = TSameNameAction::Overwrite;
    frm->btnRecord->click();
    tick(300);
    frm->btnRecStop->click();
    EXPECT_EQ(frm->txtTimer->text(), "00:05:00");
    // Stopped while blinking: the display comes back.
    frm->btnRecord->click();
    EXPECT_EQ(frm->txtTimer->text(), "00:05:00");
    frm->btnRecord->click();
    ASSERT_EQ(frm->FCurrentState, rsRecordPause);
    frm->TmFlashTimer(frm->TmFlash);
    frm->TmFlashTimer(frm->TmFlash);
    frm->btnRecStop->click();
    EXPECT_TRUE(frm->txtTimer->isVisibleTo(frm.get()));

    frm->btnRecord->click();
    ASSERT_EQ(frm->FCurrentState, rsRecording);
    EXPECT_EQ(frm->txtTimer->text(), "00:05:00");
    tick(1);
    EXPECT_EQ(frm->txtTimer->text(), "00:00:01");
}

TEST_F(RecordingController, APlatformCloseWhilePausedEndsTheRecording) {
    create();
    frm->show();
    frm->btnRecord->click();
    std::this_thread::sleep_for(400ms);
    frm->btnRecord->click();
    ASSERT_EQ(frm->FCurrentState, rsRecordPause);
    EXPECT_TRUE(frm->close());
    EXPECT_EQ(frm->FCurrentState, rsRecordStoped);
    EXPECT_FALSE(frm->TmFlash->isActive());
    EXPECT_EQ(frm->FRecUtils->RecChannel(), 0u);
    auto audio = decoded::decode((output / "take.mp3").string());
    ASSERT_TRUE(audio.ok) << "the encoder finished the file";
    EXPECT_NEAR(audio.seconds(), 0.4, 0.15);
}

TEST_F(RecordingController, AnInputLostWhilePausedEndsTheRecordingAtTheNextBlink) {
    create();
    frm->btnRecord->click();
    ASSERT_GE(tone->openCaptures(), 1);
    std::this_thread::sleep_for(300ms);
    frm->btnRecord->click();
    tone->loseInput();
    std::this_thread::sleep_for(100ms);
    frm->TmFlashTimer(frm->TmFlash);
    EXPECT_EQ(frm->FCurrentState, rsRecordStoped);
    EXPECT_FALSE(frm->TmFlash->isActive());
    EXPECT_TRUE(frm->txtTimer->isVisibleTo(frm.get()));
    EXPECT_TRUE(panelEnabled());
    EXPECT_EQ(takeMessage(), Box("Warning",
                                 "The recording stopped: the recording input is no longer "
                                 "available.",
                                 MessageIcon::Warning));
    EXPECT_EQ(Entries(frm->listFiles), QStringList{"take.mp3"}) << "what was recorded stays listed";
    EXPECT_TRUE(decoded::decode((output / "take.mp3").string()).ok);
}

TEST_F(RecordingController, AKilledEncoderEndsTheRecordingWithinASecond) {
    create(true);
    frm->btnRecord->click();
    ASSERT_EQ(frm->FCurrentState, rsRecording);
    std::this_thread::sleep_for(500ms);
    const auto lame = ChildrenNamed("lame");
    ASSERT_EQ(lame.size(), 1u);
    ASSERT_EQ(::kill(lame[0], SIGKILL), 0);

    QElapsedTimer clock;
    clock.start();
    while (frm->FCurrentState == rsRecording && clock.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    const qint64 took = clock.elapsed();
    EXPECT_EQ(frm->FCurrentState, rsRecordStoped);
    EXPECT_LE(took, 1100) << "the next tick of Timer sees it";
    std::cout << "[ figure ] killed encoder noticed after " << took << " ms\n";
    EXPECT_FALSE(frm->Timer->isActive());
    EXPECT_TRUE(panelEnabled());
    EXPECT_FALSE(showsPauseImages());
    EXPECT_EQ(takeMessage(), Box("Warning",
                                 "The recording stopped: the MP3 encoder (lame) quit "
                                 "unexpectedly.",
                                 MessageIcon::Warning));
    EXPECT_EQ(catalogue().size(), 1u);

    // The window is ready for the next recording.
    fakes.clock->time = fakes.clock->time.addSecs(5);
    frm->btnRecord->click();
    EXPECT_EQ(frm->FCurrentState, rsRecording);
    EXPECT_TRUE(fakes.messages->shown.empty());
    frm->btnRecStop->click();
    EXPECT_EQ(catalogue().size(), 2u);
}

// Puts an encoder program of the test's own in the program folder, as lame:
// it writes a line into its output file (the last argument), then `body`.
void InstallFakeLame(const fs::path& folder, const std::string& body) {
    fs::remove(folder / "lame");
    std::ofstream(folder / "lame") << "#!/bin/sh\nfor a; do out=$a; done\necho begun > \"$out\"\n"
                                   << body << "\n";
    fs::permissions(folder / "lame", fs::perms::owner_all);
}

const QString kLameUnfinished =
    "The recording was stopped, but the MP3 encoder (lame) did not complete the file. What was "
    "recorded is kept in the file; its end may be missing.";

TEST_F(RecordingController, AStopWhoseEncoderFailsWarnsAndKeepsTheFile) {
    InstallFakeLame(dir.path(), "cat > /dev/null\nexit 3");
    create();
    frm->btnRecord->click();
    ASSERT_EQ(frm->FCurrentState, rsRecording);
    std::this_thread::sleep_for(200ms);
    frm->btnRecStop->click();
    EXPECT_EQ(frm->FCurrentState, rsRecordStoped);
    EXPECT_EQ(takeMessage(), Box("Warning", kLameUnfinished, MessageIcon::Warning));
    EXPECT_EQ(Entries(frm->listFiles), QStringList{"take.mp3"});
    EXPECT_EQ(fs::file_size(output / "take.mp3"), 6u) << "what it wrote is kept";
    EXPECT_TRUE(panelEnabled());
}

TEST_F(RecordingController, AHungEncoderNeitherHoldsTheStopNorGoesUntold) {
    // It reads a little, then never again and never exits. The grace it gets
    // is shortened here; the program's own is ten seconds.
    InstallFakeLame(dir.path(), "head -c 100000 > /dev/null\nexec sleep 120");
    audiolib::ExternalEncoder::setFinishGrace(2s);
    create();
    frm->btnRecord->click();
    ASSERT_EQ(frm->FCurrentState, rsRecording);
    QElapsedTimer clock;
    clock.start();
    while (ChildrenNamed("sleep").empty() && clock.elapsed() < 5000)
        std::this_thread::sleep_for(20ms);
    ASSERT_EQ(ChildrenNamed("sleep").size(), 1u) << "the encoder stopped reading";

    clock.restart();
    frm->btnRecStop->click();
    const qint64 stopTook = clock.elapsed();
    EXPECT_LT(stopTook, 1000);
    std::cout << "[ figure ] stop with a hung encoder took " << stopTook << " ms\n";
    EXPECT_EQ(frm->FCurrentState, rsRecordStoped);
    EXPECT_TRUE(panelEnabled());
    EXPECT_EQ(Entries(frm->listFiles), QStringList{"take.mp3"});
    EXPECT_TRUE(fakes.messages->shown.empty()) << "nothing is known yet";

    // Its file is not started over while its encoder may still write to it...
    Settings.SamenameOP = TSameNameAction::Overwrite;
    frm->btnRecord->click();
    EXPECT_EQ(frm->FCurrentState, rsRecordStoped);
    EXPECT_EQ(takeMessage(), Box("Warning",
                                 "The last recording of this file is still being finished. Please "
                                 "try again in a moment.",
                                 MessageIcon::Warning));
    // ...but a recording of another file starts and ends meanwhile, on its own.
    Settings.OutFormat = rofOGG;
    Settings.SpecialPath = QStringLiteral("second");
    frm->btnRecord->click();
    ASSERT_EQ(frm->FCurrentState, rsRecording);
    std::this_thread::sleep_for(300ms);
    frm->btnRecStop->click();
    EXPECT_EQ(frm->FCurrentState, rsRecordStoped);
    EXPECT_TRUE(decoded::decode((output / "second.ogg").string()).ok);

    // The hung one is ended off the UI thread, and the window says so.
    while (fakes.messages->shown.empty() && clock.elapsed() < 30000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    std::cout << "[ figure ] hung encoder told after " << clock.elapsed() << " ms\n";
    EXPECT_EQ(takeMessage(), Box("Warning", kLameUnfinished, MessageIcon::Warning));
    EXPECT_TRUE(ChildrenNamed("sleep").empty()) << "the encoder was ended";
    EXPECT_EQ(fs::file_size(output / "take.mp3"), 6u) << "what it wrote is kept";
    EXPECT_EQ(catalogue().size(), 2u);
    // Told once only.
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(fakes.messages->shown.empty());
    audiolib::ExternalEncoder::setFinishGrace(10s);
}

TEST_F(RecordingController, LostSoundShowsWhileRecordingAndIsToldAfterTheStop) {
    create(true);
    const auto timerColor = [&] { return frm->txtTimer->palette().color(QPalette::WindowText); };
    frm->btnRecord->click();
    std::this_thread::sleep_for(200ms);
    tick(1);
    EXPECT_EQ(timerColor(), kTimerColor);
    tone->reportOverrun(2 * 44100);
    tick(1);
    EXPECT_EQ(timerColor(), kTimerLostColor);
    frm->btnRecStop->click();
    EXPECT_EQ(takeMessage(), Box("Warning",
                                 "Some sound could not be recorded: about 2.0 seconds are missing "
                                 "from the file. The computer or its disk may have been too busy.",
                                 MessageIcon::Warning));

    // The next recording starts in the normal colour and, losing nothing, tells nothing.
    fakes.clock->time = fakes.clock->time.addSecs(5);
    frm->btnRecord->click();
    EXPECT_EQ(timerColor(), kTimerColor);
    std::this_thread::sleep_for(200ms);
    tick(1);
    frm->btnRecStop->click();
    EXPECT_EQ(timerColor(), kTimerColor);
    EXPECT_TRUE(fakes.messages->shown.empty());
}

// The record button never takes the focus: what the naming boxes show is
// what the recording takes, confirmed or not. A generated name never
// replaces a recording, whatever the special mode's "On Same name:" left.
TEST_F(RecordingController, StartTakesWhatTheBoxesShowAndAutoNamesNeverOverwrite) {
    create(true);
    Settings.SamenameOP = TSameNameAction::Overwrite;
    TempFolder::write(output / "interview_20240131235958.mp3", "another day");
    frm->edtPrefix->selectAll();
    QTest::keyClicks(frm->edtPrefix, "interview"); // and no Enter
    frm->btnRecord->click();
    ASSERT_EQ(frm->FCurrentState, rsRecording);
    EXPECT_TRUE(fakes.messages->shown.empty());
    frm->btnRecStop->click();
    EXPECT_EQ(Settings.Prefix, "interview");
    EXPECT_EQ(TempFolder::read(output / "interview_20240131235958.mp3"), "another day");
    EXPECT_EQ(Entries(frm->listFiles).last(), "interview_20240131235958_1.mp3");
}
