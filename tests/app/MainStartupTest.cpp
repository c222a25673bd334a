// The main window's start-up and shutdown, offscreen, on a test sound system.
#include "app/TfrmMain.h"
#include "audio/TBassRecorder.h"
#include "audio/lib/Backend.h"
#include "audio/lib/Channel.h"
#include "tests/audio/DecodedAudio.h"
#include "tests/audio/ToneInputs.h"
#include "tests/support/FakePlatformServices.h"
#include "tests/support/WindowFixture.h"
#include "ui/SoundFormatDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using namespace std::chrono_literals;

namespace {

class MainStartup : public WindowFixture {
protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path().empty());
        audiotest::installToneInputs({"Line In", "Microphone", "Monitor of Speakers"});
    }
    QTemporaryDir recordings;
};

} // namespace

TEST_F(MainStartup, CreationStartsTheRecorderAndDestructionReleasesIt) {
    auto frm = makeWindow();
    EXPECT_EQ(frm->objectName(), "frmMain");
    ASSERT_NE(frm->FRecUtils, nullptr);
    EXPECT_EQ(frm->FRecUtils->GetAudioDeviceCount(), 3) << "recording device open";
    EXPECT_EQ(frm->FRecUtils->EncoderFolder(), dir.path().string() + "/");
    EXPECT_EQ(frm->FCurrentState, rsNormal);
    EXPECT_EQ(frm->FElapsedTimeCount, 0);
    EXPECT_NE(audiolib::activeBackend(), nullptr);

    frm.reset();
    EXPECT_EQ(audiolib::activeBackend(), nullptr) << "the sound system is let go";
    EXPECT_EQ(audiolib::recordGetInputName(0), nullptr);
}

TEST_F(MainStartup, AWavRecordingStartedFromTheWindowAsksForItsFormat) {
    auto frm = makeWindow();
    TBassRecorder& rec = *frm->FRecUtils;
    rec.SetRecordDevice(0, 10);
    rec.SetWaveParameter(2, 16, 44100);
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<SoundFormatDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shown = true;
        EXPECT_EQ(dialog->parentWidget(), frm.get());
        EXPECT_EQ(dialog->sampleRate(), 44100u);
        dialog->channelsBox()->setCurrentIndex(0); // mono
        dialog->accept();
    });
    const std::string path = recordings.path().toStdString() + "/take";
    ASSERT_EQ(rec.Start(rofWAVE, path), 0);
    EXPECT_TRUE(shown);
    std::this_thread::sleep_for(300ms);
    static_cast<void>(rec.Stop());
    auto audio = decoded::decode(path + ".wav");
    ASSERT_TRUE(audio.ok);
    EXPECT_GT(audio.seconds(), 0.15);

    // Cancel in the dialog is a failed start.
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(rec.Start(rofWAVE, path + "2"), -1000);
    EXPECT_EQ(rec.GetLastErrorMessage(), "Recording failed!");
}

TEST_F(MainStartup, ClosingWhileRecordingCompletesTheFileBeforeTheListIsWritten) {
    auto frm = makeWindow();
    TBassRecorder& rec = *frm->FRecUtils;
    rec.SetEncoderFolder(TBassRecorder().EncoderFolder()); // where lame is
    rec.SetRecordDevice(0, 10);
    rec.SetMP3Parameter(128, false, false, 2, 0);
    const std::string path = recordings.path().toStdString() + "/open.mp3";
    ASSERT_EQ(rec.Start(rofMP3, path), 0);
    std::this_thread::sleep_for(600ms);
    frm.reset();
    auto audio = decoded::decode(path);
    ASSERT_TRUE(audio.ok);
    EXPECT_NEAR(audio.seconds(), 0.6, 0.2);
    EXPECT_NEAR(decoded::toneHz(audio), 1000.0, 20.0);

    // The engines let go before the XML files are written: the encoder had
    // finished its file by then.
    const auto list = dir / "recorded.xml";
    ASSERT_TRUE(std::filesystem::exists(list));
    EXPECT_GE(std::filesystem::last_write_time(list), std::filesystem::last_write_time(path));
}
