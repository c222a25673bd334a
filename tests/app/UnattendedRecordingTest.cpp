// Recordings nobody watches, on the offscreen window with a virtual input
// playing faster than real time: long quiet left out, sleep held off exactly
// while recording, and a disk that fills up warned of, then stopping the
// recording with a readable, listed file.

#include "app/TfrmMain.h"
#include "audio/TBassRecorder.h"
#include "audio/lib/AudioLib.h"
#include "audio/lib/virtual/VirtualBackend.h"
#include "recordings/TRecordFiles.h"
#include "settings/RecorderSettings.h"
#include "tests/audio/DecodedAudio.h"
#include "tests/support/ChildProcesses.h"
#include "tests/support/WindowFixture.h"
#include "ui/TBitmapButton.h"
#include "ui/TCheckBox.h"

#include <QDeadlineTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr uint64_t kSecond = 44100;
const audiolib::VirtualInput kTonePauseTone{"Line In", 1000.0, 12000, 1 * kSecond, 5 * kSecond};

// The longest run of samples under the quiet level, as {start, length}.
std::pair<size_t, size_t> longestQuiet(const decoded::Audio& a) {
    std::pair<size_t, size_t> best{0, 0};
    size_t start = 0;
    for (size_t i = 0; i <= a.samples.size(); ++i) {
        const bool quiet = i < a.samples.size() && std::abs(int(a.samples[i])) < 104;
        if (!quiet) {
            if (i - start > best.second)
                best = {start, i - start};
            start = i + 1;
        }
    }
    return best;
}

class Unattended : public WindowFixture {
protected:
    void SetUp() override {
        fs::create_symlink("/usr/bin/lame", dir / "lame");
        fs::create_symlink("/usr/bin/oggenc", dir / "oggenc2");
    }
    void TearDown() override {
        frm.reset();
        Settings = TRecorderSettings{};
        if (mounted) {
            EXPECT_EQ(std::system(("umount '" + saveFolder.string() + "'").c_str()), 0);
        }
    }

    // Input 0 plays `input` at `speed` times real time; the window records it
    // into the save folder as "take", accepting the WAV format it offers.
    void create(audiolib::VirtualInput input, double speed, TRecordOutFormat format) {
        audiolib::VirtualConfig config;
        config.blockFrames = 441;
        config.speed = speed;
        config.inputs.push_back(std::move(input));
        audiolib::installBackend(std::make_unique<audiolib::VirtualBackend>(std::move(config)));
        installConfig();
        frm = makeWindow();
        audiolib::setCodecDialogHook([](void*, uint32_t, const char*) { return true; });
        Settings = TRecorderSettings{};
        Settings.Volume = 10;
        Settings.OutFormat = format;
        Settings.Mp3BitRate = 320;
        Settings.SaveFolder = QString::fromStdString(saveFolder.string());
        Settings.SpecialPath = QStringLiteral("take");
        Settings.SamenameOP = TSameNameAction::Overwrite; // each take overwrites the last
        frm->rdSpecial->setChecked(true);
        fakes.messages->shown.clear();
    }

    // A small file system of its own as the save folder; false where the
    // test may not mount one.
    bool mountSmallDisk(const char* size) {
        fs::create_directory(saveFolder);
        mounted = std::system(("mount -t tmpfs -o size=" + std::string(size) + " tmpfs '" +
                               saveFolder.string() + "' 2>/dev/null")
                                  .c_str()) == 0;
        return mounted;
    }

    // Runs the event loop, timers and all, until `done` or the time is up.
    template <typename Done> bool spinUntil(Done done, int ms) {
        const QDeadlineTimer deadline(ms);
        while (!done() && !deadline.hasExpired())
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }

    std::string file(const char* ext) const {
        return (saveFolder / ("take" + std::string(ext))).string();
    }

    TempFolder output;
    fs::path saveFolder = output / "save";
    bool mounted = false;
    std::unique_ptr<TfrmMain> frm;
};

} // namespace

TEST_F(Unattended, SkipSilenceLeavesTheLongPauseOutAndKeepsBothOnsetsWhole) {
    fs::create_directory(saveFolder);
    for (TRecordOutFormat format : {rofWAVE, rofMP3, rofOGG, rofWMA}) {
        SCOPED_TRACE(OutFormatExt(format));
        create(kTonePauseTone, 4.0, format);
        ASSERT_FALSE(frm->chkSkipsilence->isHidden());
        // The box may come up ticked from the last window's config.xml.
        frm->chkSkipsilence->setChecked(false);
        frm->chkSkipsilence->setChecked(true);
        ASSERT_TRUE(Settings.SkipSilence);
        frm->btnRecord->click();
        ASSERT_EQ(frm->FCurrentState, rsRecording);
        // 7 s of the signal: 1 s of tone, 4 s of silence, 2 s of tone.
        std::this_thread::sleep_for(1750ms);
        frm->btnRecStop->click();
        EXPECT_TRUE(fakes.messages->shown.empty());

        const decoded::Audio audio = decoded::decode(file(OutFormatExt(format)));
        ASSERT_TRUE(audio.ok);
        const auto [start, length] = longestQuiet(audio);
        const double tolerance = format == rofWAVE ? 0.011 : 0.05;
        EXPECT_NEAR(double(length) / kSecond, 1.3, tolerance) << "what is left of the pause";
        EXPECT_NEAR(audio.seconds(), 7.0 - 2.7, 0.4);
        std::cout << "[ figure ] " << OutFormatExt(format) << ": 7 s with a 4 s pause decode "
                  << audio.seconds() << " s, pause left " << double(length) / kSecond << " s\n";
        if (format == rofWAVE) {
            // Sample for sample, the first tone up to its end and the second
            // from its first frame.
            EXPECT_NEAR(double(start) / kSecond, 1.0, 0.0001);
            const size_t onset = start + length;
            for (size_t i = 0; i < 441; ++i)
                ASSERT_NEAR(
                    audio.samples[onset - 2 + i],
                    audiolib::VirtualBackend::sineSample(kTonePauseTone, 5 * kSecond - 1 + i), 1)
                    << "frame " << i << " of the second tone";
        }
        frm.reset();
    }

    // Off, the same signal is recorded whole.
    create(kTonePauseTone, 4.0, rofWAVE);
    frm->chkSkipsilence->setChecked(false);
    ASSERT_FALSE(Settings.SkipSilence);
    frm->btnRecord->click();
    std::this_thread::sleep_for(1750ms);
    frm->btnRecStop->click();
    const decoded::Audio whole = decoded::decode(file(".wav"));
    EXPECT_NEAR(double(longestQuiet(whole).second) / kSecond, 4.0, 0.011);
}

TEST_F(Unattended, SleepIsInhibitedFromStartToStopHoweverTheRecordingEnds) {
    fs::create_directory(saveFolder);
    create({"Line In", 1000.0, 12000}, 1.0, rofMP3);
    FakeSleepInhibitor& sleep = *fakes.sleepInhibitor;
    EXPECT_TRUE(sleep.reasons.isEmpty()) << "nothing held while idle";

    frm->btnRecord->click();
    EXPECT_TRUE(sleep.held);
    EXPECT_EQ(sleep.reasons, QStringList{"Recording to take.mp3"});
    frm->btnRecord->click(); // a pause keeps it
    EXPECT_TRUE(sleep.held);
    frm->btnRecord->click();
    frm->btnRecStop->click();
    EXPECT_FALSE(sleep.held);
    EXPECT_EQ(sleep.reasons.size(), 1);

    // The encoder dying ends the recording, and the lock with it.
    frm->btnRecord->click();
    ASSERT_TRUE(sleep.held);
    std::vector<pid_t> lame;
    ASSERT_TRUE(
        spinUntil([&] { return !(lame = ChildrenNamed("lame", Zombies::Skipped)).empty(); }, 3000));
    kill(lame[0], SIGKILL);
    ASSERT_TRUE(spinUntil([&] { return frm->FCurrentState != rsRecording; }, 5000));
    EXPECT_FALSE(sleep.held);

    // So does closing the window mid-recording.
    frm->btnRecord->click();
    ASSERT_TRUE(sleep.held);
    frm->close();
    EXPECT_FALSE(sleep.held);
    EXPECT_EQ(sleep.reasons.size(), 3);
}

TEST_F(Unattended, AFillingDiskIsToldFirstThenStopsTheRecordingWithItsFileKept) {
    // WAV at 4x writes 0.7 MB a second, MP3 at 320 kbit/s and 4x 0.16 MB.
    for (auto [format, size] : {std::pair{rofWAVE, "4m"}, std::pair{rofMP3, "1m"}}) {
        SCOPED_TRACE(OutFormatExt(format));
        if (!mountSmallDisk(size))
            GTEST_SKIP() << "mounting a small file system is not permitted here";
        create({"Line In", 1000.0, 12000}, 4.0, format);
        frm->btnRecord->click();
        ASSERT_EQ(frm->FCurrentState, rsRecording);
        ASSERT_TRUE(spinUntil([&] { return frm->FCurrentState != rsRecording; }, 20000));

        const std::vector<ShownMessage>& shown = fakes.messages->shown;
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[0].caption, "Notice");
        EXPECT_FALSE(shown[0].modal) << "the recording went on under the notice";
        EXPECT_TRUE(shown[0].text.startsWith(
            "The disk is nearly full: there is room for less than a minute"))
            << shown[0].text.toStdString();
        EXPECT_EQ(shown[1].caption, "Warning");
        EXPECT_TRUE(shown[1].modal);
        EXPECT_EQ(shown[1].text, "The recording stopped: the disk is full. What was recorded "
                                 "until then is kept in the file.");
        EXPECT_EQ(frm->FCurrentState, rsRecordStoped);
        EXPECT_FALSE(fakes.sleepInhibitor->held);
        EXPECT_EQ(Entries(frm->listFiles).last(), QString("take") + OutFormatExt(format));

        const decoded::Audio audio = decoded::decode(file(OutFormatExt(format)));
        ASSERT_TRUE(audio.ok);
        EXPECT_GT(audio.seconds(), 4.0);
        std::cout << "[ figure ] " << OutFormatExt(format) << " on " << size << ": "
                  << shown[0].text.toStdString() << " / stopped at " << frm->FElapsedTimeCount
                  << " s, file " << fs::file_size(file(OutFormatExt(format))) << " bytes, decodes "
                  << audio.seconds() << " s\n";
        EXPECT_NEAR(decoded::toneHz(audio), 1000.0, 20.0);
        frm.reset();
        ASSERT_EQ(std::system(("umount '" + saveFolder.string() + "'").c_str()), 0);
        mounted = false;
    }
}

TEST_F(Unattended, RoomForHoursSaysNothing) {
    fs::create_directory(saveFolder);
    create({"Line In", 1000.0, 12000}, 1.0, rofMP3);
    fakes.freeSpace->answer = uint64_t{50} << 30;
    frm->btnRecord->click();
    for (int i = 0; i < 5; ++i)
        frm->TimerTimer(frm->Timer);
    EXPECT_TRUE(fakes.messages->shown.empty());
    EXPECT_EQ(fakes.freeSpace->asked.size(), 5);
    EXPECT_EQ(fakes.freeSpace->asked.value(0), QString::fromStdString(saveFolder.string()));
    EXPECT_EQ(frm->FCurrentState, rsRecording);
    frm->btnRecStop->click();
}
