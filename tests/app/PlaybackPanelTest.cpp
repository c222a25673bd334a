// The recordings page's player on the offscreen window, on the virtual sound
// system in manual mode: nothing is heard until the test pulls, so every
// position is exact, and the test ticks the timers itself.

#include "app/TfrmMain.h"
#include "audio/TBassPlayer.h"
#include "audio/lib/virtual/VirtualBackend.h"
#include "recordings/PlaybackTexts.h"
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

#include "audio/lib/ffmpeg/FileDecoder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr int64_t kSecond = 44100 * 4; // bytes

QImage SkinImage(const char* name) {
    QImage image;
    if (auto stream = TfrmMain::LoadResourceStream(QString::fromUtf8(name)))
        image.loadFromData(stream->readAll());
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

class PlaybackPanel : public WindowFixture {
protected:
    void SetUp() override {
        installConfig();
        create();
    }
    void TearDown() override {
        w.reset();
        Settings = TRecorderSettings{};
    }
    void create() {
        auto backend = std::make_unique<audiolib::VirtualBackend>(
            audiolib::VirtualConfig{{{"Line In"}}, true});
        sink = backend.get();
        audiolib::installBackend(std::move(backend));
        w = makeWindow();
        fakes.messages->shown.clear();
    }
    void list(const std::vector<fs::path>& paths) {
        RecordFiles->Files().clear();
        for (const fs::path& p : paths)
            RecordFiles->Files().push_back(p.string());
        w->listFiles->clear();
        w->FillFileList();
    }
    fs::path wav(const std::string& name, int seconds) {
        return silentwav::make(dir / name, static_cast<uint64_t>(seconds) * 44100);
    }
    void doubleClick(int row) {
        w->listFiles->setCurrentRow(row);
        w->listFilesDblClick(w->listFiles);
    }
    // Plays `seconds` more, then the position timer ticks.
    void playOn(double seconds) {
        audiolib::hearPlayback(*sink, static_cast<uint64_t>(seconds * 44100));
        w->TimerPosTimer(w->TimerPos);
    }
    int64_t position() const { return w->FPlayer->GetCurrentPosition64(); }
    // Playing a recording of `length` bytes: a seek to 2 s before its end
    // lands there, the bar follows, and the playback ends.
    void playsOutFromNearTheEnd(uint64_t length) {
        playOn(0.1);
        const float nearEnd = static_cast<float>(length - 2 * kSecond);
        w->tbSound->setValue(nearEnd);
        EXPECT_EQ(position(), static_cast<int64_t>(nearEnd));
        playOn(1.0);
        EXPECT_EQ(w->tbSound->value(), static_cast<float>(position()));
        playOn(1.5);
        expectPlaying(false);
    }
    void recordToMp3() {
        fs::create_symlink("/usr/bin/lame", dir / "lame");
        Settings.OutFormat = rofMP3;
        Settings.SaveFolder = programFolder();
        Settings.SpecialPath = QStringLiteral("take");
        w->rdSpecial->setChecked(true);
        w->btnRecord->click();
        ASSERT_EQ(w->FCurrentState, rsRecording);
    }
    // Playing: pause images and both timers. Idle: play images, no timer,
    // the bar at its start and the idle picture.
    void expectPlaying(bool playing) const {
        using Look = TBitmapButton::Look;
        EXPECT_EQ(w->FPlayState, playing ? psPlaying : psStop);
        EXPECT_EQ(w->btnPlay->image(Look::Hot), SkinImage(playing ? "spausenormal" : "playnormal"));
        EXPECT_EQ(w->btnPlay->image(Look::Down), SkinImage(playing ? "spauseclick" : "playclick"));
        EXPECT_EQ(w->TimerPos->isActive() && w->TimerRender->isActive(), playing);
        if (!playing) {
            EXPECT_EQ(w->tbSound->value(), 0.0f);
            EXPECT_EQ(w->imgSound->bitmap(), SkinImage("recorder"));
        }
    }

    audiolib::VirtualBackend* sink = nullptr;
    std::unique_ptr<TfrmMain> w;
};

} // namespace

TEST_F(PlaybackPanel, PlaysSeeksOnlyOnTheUsersMoveAndEndsThenReplays) {
    list({wav("a.wav", 2)});
    doubleClick(0);
    expectPlaying(true);
    EXPECT_EQ(w->txtDuration->text(), "00:00:02");
    EXPECT_EQ(w->txtFileSize->text(), "344.57 KB");
    EXPECT_EQ(w->tbSound->maximum(), 2 * kSecond);
    w->tbSound->setValue(400);
    EXPECT_EQ(position(), 0) << "no seek before the timer's first place";

    playOn(0.25);
    EXPECT_EQ(w->tbSound->value(), kSecond / 4);
    w->tbSound->setValue(kSecond / 4 + 15);
    w->tbSound->setValue(kSecond / 4 - 1);
    EXPECT_EQ(position(), kSecond / 4) << "within 15 units of the timer's place";
    w->tbSound->setValue(kSecond / 2);
    EXPECT_EQ(position(), kSecond / 2);
    w->TimerRenderTimer(w->TimerRender);
    EXPECT_NE(w->imgSound->bitmap(), SkinImage("recorder")) << "the spectrum is shown";

    // Paused, the bar moves without seeking; the next update puts it back.
    w->btnPlay->click();
    EXPECT_EQ(w->FPlayState, psPause);
    w->tbSound->setValue(kSecond);
    w->btnPlay->click();
    w->TimerPosTimer(w->TimerPos);
    EXPECT_EQ(w->tbSound->value(), kSecond / 2);

    playOn(1.0);
    expectPlaying(true);
    playOn(0.5);
    expectPlaying(false);
    EXPECT_FALSE(w->FPlayer->CanPlay());
    w->btnPlay->click();
    expectPlaying(true);
    EXPECT_EQ(position(), 0);
}

TEST_F(PlaybackPanel, AThreeGibibyteRecordingShowsItsSizeSeeksAndPlaysToItsEnd) {
    const uint64_t frames = ((uint64_t{3} << 30) - 44) / 4; // past 2^31 bytes of sound
    list({silentwav::make(dir / "long.wav", frames)});
    doubleClick(0);
    EXPECT_EQ(w->txtFileSize->text(), "3 GB");
    EXPECT_EQ(w->txtDuration->text(), "05:04:20");
    playsOutFromNearTheEnd(frames * 4);
}

TEST_F(PlaybackPanel, RecordingsPastFourGibibytesShowTheirLengthsAndSeekThere) {
    const uint64_t day = uint64_t{25} * 3600 * 44100; // past 2^31 frames
    list({silentwav::makeRf64(dir / "night.wav", 1'160'000'000),
          silentwav::makeRf64(dir / "past4g.wav", (uint64_t{1} << 30) + 44100),
          silentwav::makeRf64(dir / "day.wav", day)});
    w->listFiles->setCurrentRow(0);
    w->listFilesClick(w->listFiles);
    EXPECT_EQ(w->txtDuration->text(), "07:18:23");
    EXPECT_EQ(w->txtFileSize->text(), "4.32 GB");
    w->listFiles->setCurrentRow(1);
    w->listFilesClick(w->listFiles);
    EXPECT_EQ(w->txtFileSize->text(), "4 GB");
    doubleClick(2);
    EXPECT_EQ(w->txtDuration->text(), "25:00:00");
    EXPECT_EQ(w->txtFileSize->text(), "14.79 GB");
    EXPECT_EQ(w->FPlayer->GetChannelLength64(), static_cast<int64_t>(day * 4));
    playsOutFromNearTheEnd(day * 4);
}

// Hours of MP3 without an info frame (one encoded second, repeated): it
// plays at once, and its length is shown once the count is done.
TEST_F(PlaybackPanel, AnMp3WithoutInfoFramePlaysBeforeItsLengthIsCounted) {
    const fs::path second = wav("second.wav", 1), one = dir / "one.mp3";
    ASSERT_EQ(std::system(("lame --quiet -t -b 8 -m m --resample 8 '" + second.string() + "' '" +
                           one.string() + "'")
                              .c_str()),
              0);
    const fs::path mp3 = dir / "night.mp3";
    {
        std::ifstream in(one, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        std::ofstream out(mp3, std::ios::binary);
        for (int i = 0; i < 8 * 3600; ++i)
            out << bytes;
    }
    list({mp3});
    doubleClick(0);
    EXPECT_EQ(w->FPlayState, psPlaying);
    EXPECT_EQ(w->FPlayer->GetChannelLength64(), -1) << "counted on the window's time";
    EXPECT_EQ(w->txtDuration->text(), "00:00:00");
    EXPECT_FALSE(w->TimerPos->isActive());
    ASSERT_TRUE(w->TimerLength->isActive());
    // No position timer ticks meanwhile; the sound goes on.
    audiolib::hearPlayback(*sink, 4000);
    EXPECT_GT(position(), 0) << "plays meanwhile";

    int error = 0;
    const uint64_t frames =
        audiolib::FileDecoder::open(mp3.string(), audiolib::FileDecoder::Container::Any, error)
            ->lengthFrames();
    QElapsedTimer waited;
    waited.start();
    while (w->FPlayer->GetChannelLength64() == -1 && waited.elapsed() < 30000)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    w->TimerLengthTimer(w->TimerLength);
    EXPECT_FALSE(w->TimerLength->isActive());
    // Mono stays mono: two bytes a frame.
    EXPECT_EQ(w->FPlayer->GetChannelLength64(), static_cast<int64_t>(frames * 2));
    EXPECT_EQ(w->txtDuration->text(), FormatDuration(frames / 8000.0));
    EXPECT_GE(frames, uint64_t{8} * 3600 * 8000);
    EXPECT_EQ(w->tbSound->maximum(), BarMaximum(w->FPlayer->GetChannelLength64()));
    EXPECT_TRUE(w->TimerPos->isActive());
}

TEST_F(PlaybackPanel, ListClicksAndClearWhilePlaying) {
    list({wav("a.wav", 2), wav("b.wav", 3)});
    doubleClick(0);
    playOn(0.5);
    w->listFiles->setCurrentRow(1);
    emit w->listFiles->clicked(w->listFiles->model()->index(1, 0));
    EXPECT_EQ(w->txtDuration->text(), "00:00:02") << "a single click only selects";
    EXPECT_EQ(position(), kSecond / 2);

    emit w->listFiles->doubleClicked(w->listFiles->model()->index(1, 0));
    expectPlaying(true);
    EXPECT_EQ(position(), 0);
    EXPECT_EQ(w->tbSound->maximum(), 3 * kSecond);
    EXPECT_EQ(w->txtDuration->text(), "00:00:03");

    w->btnClear->click();
    playOn(0.5);
    expectPlaying(true);
    w->btnPlayStop->click();
    expectPlaying(false);
    w->btnPlay->click();
    expectPlaying(false); // nothing is selected
    EXPECT_TRUE(fakes.messages->shown.empty());
}

TEST_F(PlaybackPanel, MissingAndBrokenFilesAndTheFileManager) {
    const QString good = QString::fromStdString(wav("good.wav", 1).string());
    const QString gone = programFolder() + "/gone.mp3";
    const QString broken = programFolder() + "/broken.mp3";
    TempFolder::write(dir / "broken.mp3", std::string(5000, 'x'));
    list({good.toStdString(), gone.toStdString(), broken.toStdString()});
    w->btnOpenFilePath->click();
    EXPECT_EQ(fakes.fileManager->shownFiles, QStringList{good}) << "the first, none selected";

    doubleClick(2);
    doubleClick(1);
    const auto& shown = fakes.messages->shown;
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "Notice");
    EXPECT_EQ(shown[0].text, "Invalid file \"" + broken + "\".");
    EXPECT_EQ(shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(shown[1].text, "File \"" + gone + "\" not found, please check.");
    EXPECT_EQ(shown[1].icon, MessageIcon::Information);
    EXPECT_EQ(w->txtDuration->text(), "00:00:00");
    EXPECT_EQ(w->txtFileSize->text(), "0");
    EXPECT_EQ(w->FPlayState, psNormal);
    w->btnOpenFilePath->click();
    EXPECT_EQ(fakes.fileManager->shownFiles.size(), 1) << "nothing for a missing file";
}

TEST_F(PlaybackPanel, RecordingStopsPlaybackAndAClosePlaybackOnly) {
    list({wav("a.wav", 2)});
    doubleClick(0);
    recordToMp3();
    expectPlaying(false);
    EXPECT_FALSE(w->btnPlay->isEnabled() || w->tbSound->isEnabled() || w->listFiles->isEnabled());
    w->btnPlayClick(w->btnPlay);
    EXPECT_EQ(w->FPlayState, psStop) << "refused while recording";
    w->btnRecStop->click();

    w->btnPlay->click();
    ASSERT_EQ(w->FPlayState, psPlaying);
    w->close();
    expectPlaying(false);
}

// A box at exit runs the event loop: no timer may then reach the engines
// already released (a crash before, whether recording or playing).
TEST_F(PlaybackPanel, TimersStayQuietWhileABoxIsUpAtExit) {
    for (bool recording : {true, false}) {
        if (!w)
            create();
        fakes.messages->modalLoopMs = 1200;
        if (recording) {
            recordToMp3();
        } else {
            list({wav("a.wav", 2)});
            doubleClick(0);
        }
        QElapsedTimer shutdown; // the fakes go with the window
        shutdown.start();
        {
            WriteFailure readOnly(dir.path());
            w.reset();
        }
        EXPECT_GE(shutdown.elapsed(), 1200) << "a failed write was told";
    }
}

namespace {
void sendMouse(QWidget* to, QEvent::Type type, int x) {
    const QPointF at(x, to->height() / 2.0);
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, to->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}
} // namespace

// A drag seeks once, where the thumb is let go, and the very start is a
// place the user can seek to. An output that has not started yet (still at
// 0) is no end of playback.
TEST_F(PlaybackPanel, TheUsersDragSeeksOnceOnReleaseAndReachesTheStart) {
    list({wav("a.wav", 2)});
    doubleClick(0);
    w->TimerPosTimer(w->TimerPos);
    expectPlaying(true); // still at 0 at the first tick, and not ended
    playOn(0.5);
    const int mid = w->tbSound->width() / 2;
    sendMouse(w->tbSound, QEvent::MouseButtonPress, mid);
    sendMouse(w->tbSound, QEvent::MouseMove, mid + 10);
    EXPECT_EQ(position(), kSecond / 2) << "no seek while the thumb is held";
    w->TimerPosTimer(w->TimerPos);
    const float held = w->tbSound->value();
    EXPECT_EQ(held, w->tbSound->valueAt(mid + 10)) << "the thumb stays under the pointer";
    sendMouse(w->tbSound, QEvent::MouseButtonRelease, mid + 10);
    EXPECT_EQ(position(), SeekTarget(held) / 4 * 4);

    playOn(0.25);
    sendMouse(w->tbSound, QEvent::MouseButtonPress, 0);
    sendMouse(w->tbSound, QEvent::MouseButtonRelease, 0);
    EXPECT_EQ(position(), 0);
    playOn(0.25);
    expectPlaying(true);
    EXPECT_EQ(position(), kSecond / 4);
}

// A Ctrl+click takes the selection away but leaves the current row: play
// must not reopen the row that is no longer selected.
TEST_F(PlaybackPanel, PlayWithoutASelectionPlaysNothing) {
    list({wav("a.wav", 1), wav("b.wav", 1)});
    doubleClick(1);
    w->btnPlayStop->click();
    expectPlaying(false);
    w->listFiles->selectionModel()->clearSelection();
    ASSERT_EQ(w->listFiles->currentRow(), 1);
    w->btnPlay->click();
    EXPECT_NE(w->FPlayState, psPlaying);
}
