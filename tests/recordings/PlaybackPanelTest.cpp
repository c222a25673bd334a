// The recordings page's player on the offscreen window. The sound system is
// the virtual one in manual mode: nothing is heard until the test pulls, so
// every position is exact, and the test ticks the timers itself.

#include "app/TfrmMain.h"
#include "audio/TBassPlayer.h"
#include "audio/lib/AudioLib.h"
#include "audio/lib/virtual/VirtualBackend.h"
#include "recordings/TRecordFiles.h"
#include "settings/RecorderSettings.h"
#include "tests/audio/SilentWav.h"
#include "tests/audio/lib/support/PullPlayback.h"
#include "tests/support/WindowFixture.h"
#include "tests/support/WriteFailure.h"
#include "ui/TBitmapButton.h"
#include "ui/TCheckBox.h"
#include "ui/TFloatTrackBar.h"
#include "ui/TImage.h"
#include "ui/TListBox.h"
#include "ui/TText.h"
#include "ui/TTextButton.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

constexpr int64_t kBytesPerSecond = 44100 * 4;

QImage SkinImage(const QString& name) {
    QImage image;
    if (auto stream = TfrmMain::LoadResourceStream(name))
        image.loadFromData(stream->readAll());
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

class PlaybackPanel : public WindowFixture {
protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path().empty());
        install();
        installConfig();
        w = makeWindow();
        fakes.messages->shown.clear();
    }
    void TearDown() override {
        w.reset();
        Settings = TRecorderSettings{};
    }

    void install() {
        auto backend = std::make_unique<audiolib::VirtualBackend>(
            audiolib::VirtualConfig{{{"Line In"}}, true});
        sink = backend.get();
        audiolib::installBackend(std::move(backend));
    }

    // The catalogue and the list hold these paths, nothing selected.
    void list(const std::vector<fs::path>& paths) {
        RecordFiles->Files().clear();
        for (const fs::path& p : paths)
            RecordFiles->Files().push_back(p.string());
        w->listFiles->clear();
        w->FillFileList();
    }
    fs::path wav(const std::string& name, double seconds) {
        return silentwav::make(dir / name, static_cast<uint64_t>(seconds * 44100));
    }
    void doubleClick(int row) {
        w->listFiles->setCurrentRow(row);
        w->listFilesDblClick(w->listFiles);
    }
    void hear(double seconds) {
        audiolib::hearPlayback(*sink, static_cast<uint64_t>(seconds * 44100));
    }
    // The record button records "take.mp3" into the program folder.
    void recordToMp3() {
        if (!fs::exists(dir / "lame"))
            fs::create_symlink("/usr/bin/lame", dir / "lame");
        Settings.OutFormat = rofMP3;
        Settings.SaveFolder = QString::fromStdString(dir.path().string());
        Settings.SpecialPath = QStringLiteral("take");
        w->rdSpecial->setChecked(true);
    }
    int64_t position() const { return w->FPlayer->GetCurrentPosition64(); }

    bool showsPauseImages() const {
        using Look = TBitmapButton::Look;
        const QImage& normal = w->btnPlay->image(Look::Normal);
        EXPECT_EQ(w->btnPlay->image(Look::Hot), normal);
        if (normal == SkinImage("spausenormal")) {
            EXPECT_EQ(w->btnPlay->image(Look::Down), SkinImage("spauseclick"));
            return true;
        }
        EXPECT_EQ(normal, SkinImage("playnormal"));
        EXPECT_EQ(w->btnPlay->image(Look::Down), SkinImage("playclick"));
        return false;
    }
    // Playing: pause images, both timers on. Idle: the opposite, the bar at
    // its start and the idle picture.
    void expectPlaying(bool playing) const {
        EXPECT_EQ(w->FPlayState, playing ? psPlaying : psStop);
        EXPECT_EQ(showsPauseImages(), playing);
        EXPECT_EQ(w->TimerPos->isActive(), playing);
        EXPECT_EQ(w->TimerRender->isActive(), playing);
        if (!playing) {
            EXPECT_EQ(w->tbSound->value(), 0.0f);
            EXPECT_EQ(w->imgSound->bitmap(), SkinImage("recorder"));
        }
    }

    audiolib::VirtualBackend* sink = nullptr;
    std::unique_ptr<TfrmMain> w;
};

} // namespace

TEST_F(PlaybackPanel, PlaysToTheEndThenReplaysFromTheStart) {
    EXPECT_EQ(w->TimerPos->interval(), 500);
    EXPECT_EQ(w->TimerRender->interval(), 33);
    list({wav("a.wav", 2.0)});
    doubleClick(0);
    expectPlaying(true);
    EXPECT_EQ(w->txtDuration->text(), "00:00:02");
    EXPECT_EQ(w->txtFileSize->text(), "344.57 KB");
    EXPECT_EQ(w->tbSound->min(), 0.0f);
    EXPECT_EQ(w->tbSound->max(), 2 * kBytesPerSecond);

    hear(0.5);
    w->TimerPosTimer(w->TimerPos);
    EXPECT_EQ(w->tbSound->value(), kBytesPerSecond / 2);
    w->TimerRenderTimer(w->TimerRender);
    EXPECT_EQ(w->imgSound->bitmap().size(), QSize(55, 53));
    EXPECT_NE(w->imgSound->bitmap(), SkinImage("recorder")) << "the spectrum is shown";

    // Paused, the bar moves without seeking; the next update puts it back.
    w->btnPlayClick(w->btnPlay);
    EXPECT_EQ(w->FPlayState, psPause);
    EXPECT_FALSE(showsPauseImages());
    EXPECT_FALSE(w->TimerPos->isActive() || w->TimerRender->isActive());
    w->tbSound->setValue(3 * kBytesPerSecond / 2);
    EXPECT_EQ(position(), kBytesPerSecond / 2);
    w->btnPlayClick(w->btnPlay);
    expectPlaying(true);
    w->TimerPosTimer(w->TimerPos);
    EXPECT_EQ(w->tbSound->value(), kBytesPerSecond / 2);

    hear(1.0);
    w->TimerPosTimer(w->TimerPos);
    expectPlaying(true);
    hear(0.5);
    w->TimerPosTimer(w->TimerPos);
    expectPlaying(false);
    EXPECT_FALSE(w->FPlayer->CanPlay()) << "the stop closed the file";

    w->btnPlayClick(w->btnPlay);
    expectPlaying(true);
    EXPECT_EQ(position(), 0);
}

TEST_F(PlaybackPanel, OnlyAMoveOfMoreThanFifteenUnitsFromTheTimersPlaceSeeks) {
    list({wav("a.wav", 2.0)});
    doubleClick(0);
    w->tbSound->setValue(400);
    EXPECT_EQ(position(), 0) << "no seek before the timer's first place";
    hear(0.25);
    w->TimerPosTimer(w->TimerPos);
    const int64_t place = kBytesPerSecond / 4;
    w->tbSound->setValue(place + 15);
    EXPECT_EQ(position(), place);
    w->tbSound->setValue(place - 1);
    EXPECT_EQ(position(), place) << "15 units from the timer's place, not from the last value";
    w->tbSound->setValue(place + 400);
    EXPECT_EQ(position(), place + 400);
    EXPECT_TRUE(w->TimerPos->isActive());
}

TEST_F(PlaybackPanel, ARecordingOfThreeGibibytesShowsItsSizePlaysAndSeeksToItsEnd) {
    // 3 GiB of file: more than 5 hours, positions far past 2^31.
    const uint64_t frames = ((uint64_t{3} << 30) - 44) / 4;
    const fs::path big = silentwav::make(dir / "long.wav", frames);
    list({big});
    doubleClick(0);
    EXPECT_EQ(w->txtFileSize->text(), "3 GB");
    EXPECT_EQ(w->txtDuration->text(), "05:04:20");
    const auto length = static_cast<int64_t>(frames * 4);
    EXPECT_GE(static_cast<double>(w->tbSound->max()), static_cast<double>(length));

    hear(0.1);
    w->TimerPosTimer(w->TimerPos);
    // Past 2^31 bytes: the 32-bit position would read negative and end here.
    const float target = static_cast<float>(length - 2 * kBytesPerSecond);
    w->tbSound->setValue(target);
    EXPECT_EQ(position(), static_cast<int64_t>(target));
    hear(1.0);
    w->TimerPosTimer(w->TimerPos);
    EXPECT_EQ(w->FPlayState, psPlaying);
    EXPECT_EQ(w->tbSound->value(), static_cast<float>(position()));
    hear(1.5);
    w->TimerPosTimer(w->TimerPos);
    expectPlaying(false);
}

TEST_F(PlaybackPanel, ListClicksWhilePlaying) {
    const fs::path a = wav("a.wav", 2.0);
    const fs::path b = wav("b.wav", 3.0);
    list({a, b});
    doubleClick(0);
    hear(0.5);
    w->TimerPosTimer(w->TimerPos);

    // A single click moves the selection only.
    w->listFiles->setCurrentRow(1);
    emit w->listFiles->clicked(w->listFiles->model()->index(1, 0));
    EXPECT_EQ(w->txtDuration->text(), "00:00:02");
    EXPECT_EQ(position(), kBytesPerSecond / 2);
    expectPlaying(true);

    // A double click plays the other one from its start, with its range.
    emit w->listFiles->doubleClicked(w->listFiles->model()->index(1, 0));
    expectPlaying(true);
    EXPECT_EQ(position(), 0);
    EXPECT_EQ(w->tbSound->max(), 3 * kBytesPerSecond);
    EXPECT_EQ(w->txtDuration->text(), "00:00:03");

    // "Clear" leaves playback alone; after a stop there is nothing to play.
    w->btnClear->click();
    EXPECT_EQ(w->listFiles->count(), 0);
    hear(0.5);
    w->TimerPosTimer(w->TimerPos);
    expectPlaying(true);
    w->btnPlayStop->click();
    expectPlaying(false);
    w->btnPlay->click();
    expectPlaying(false);
    EXPECT_TRUE(fakes.messages->shown.empty());
}

TEST_F(PlaybackPanel, MissingAndBrokenFilesAndTheFileManager) {
    const fs::path good = wav("good.wav", 1.0);
    const fs::path missing = dir / "gone.mp3";
    TempFolder::write(dir / "broken.mp3", std::string(5000, 'x'));
    list({good, missing, dir / "broken.mp3"});
    const QString goodPath = QString::fromStdString(good.string());

    w->btnOpenFilePath->click();
    EXPECT_EQ(fakes.fileManager->shownFiles, QStringList{goodPath})
        << "the first when none is selected";

    w->listFiles->setCurrentRow(0);
    w->listFilesClick(w->listFiles);
    EXPECT_EQ(w->txtDuration->text(), "00:00:01");
    EXPECT_EQ(w->txtFileSize->text(), "172.31 KB");

    w->listFiles->setCurrentRow(2);
    w->listFilesDblClick(w->listFiles);
    const QString broken = QString::fromStdString((dir / "broken.mp3").string());
    ASSERT_EQ(fakes.messages->shown.size(), 1u);
    EXPECT_EQ(fakes.messages->shown[0].caption, "Notice");
    EXPECT_EQ(fakes.messages->shown[0].text, "Invalid file \"" + broken + "\".");
    EXPECT_EQ(fakes.messages->shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(w->txtDuration->text(), "00:00:00");
    EXPECT_EQ(w->txtFileSize->text(), "0");
    EXPECT_EQ(w->FPlayState, psNormal);

    fakes.messages->shown.clear();
    w->listFiles->setCurrentRow(1);
    w->listFilesDblClick(w->listFiles);
    ASSERT_EQ(fakes.messages->shown.size(), 1u);
    EXPECT_EQ(fakes.messages->shown[0].text,
              "File \"" + QString::fromStdString(missing.string()) + "\" not found, please check.");
    EXPECT_EQ(fakes.messages->shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(w->FPlayState, psNormal);

    w->btnOpenFilePath->click();
    EXPECT_EQ(fakes.fileManager->shownFiles.size(), 1) << "nothing for a missing file";
}

TEST_F(PlaybackPanel, ARecordingStopsPlaybackAndLocksThePlayer) {
    recordToMp3();
    list({wav("a.wav", 2.0)});
    doubleClick(0);

    w->btnRecord->click();
    ASSERT_EQ(w->FCurrentState, rsRecording)
        << (fakes.messages->shown.empty() ? "" : fakes.messages->shown[0].text.toStdString());
    expectPlaying(false);
    EXPECT_FALSE(w->btnPlay->isEnabled() || w->tbSound->isEnabled() || w->listFiles->isEnabled());
    w->btnPlayClick(w->btnPlay);
    EXPECT_EQ(w->FPlayState, psStop) << "no playback while recording";
    w->btnRecStop->click();

    // A close request while playing stops playback and nothing else.
    w->listFiles->setCurrentRow(0);
    w->btnPlayClick(w->btnPlay);
    ASSERT_EQ(w->FPlayState, psPlaying);
    w->close();
    expectPlaying(false);
}

// A message box at exit runs the event loop: no timer may reach the engines
// that are already released (a crash before; ASan sees it in either case).
TEST_F(PlaybackPanel, TimersStayQuietWhileABoxIsUpAtExit) {
    for (bool recording : {true, false}) {
        if (!w) {
            install();
            w = makeWindow();
        }
        fakes.messages->modalLoopMs = 1200;
        if (recording) {
            recordToMp3();
            w->btnRecord->click();
            ASSERT_TRUE(w->Timer->isActive());
        } else {
            list({wav("a.wav", 2.0)});
            doubleClick(0);
            ASSERT_TRUE(w->TimerRender->isActive());
        }
        // The fake goes with the window: the time the shutdown took tells
        // that a box ran its loop.
        QElapsedTimer shutdown;
        shutdown.start();
        {
            WriteFailure readOnly(dir.path());
            w.reset();
        }
        EXPECT_GE(shutdown.elapsed(), 1200) << "the failed write was told";
        fs::remove(dir / "take.mp3");
    }
}
