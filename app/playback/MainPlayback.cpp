// The player of the recordings page: a single click opens the selected
// recording to show its size and duration, a double click plays it, the play
// button pauses and resumes, the stop button and the end of the recording
// close it. The position bar holds byte positions as floats, so recordings
// past 2 GiB of decoded sound (about 3 h 22 min) play, seek and end like
// short ones: the panel reads the player's 64-bit positions.

#include "app/TfrmMain.h"
#include "audio/TBassPlayer.h"
#include "recordings/PlaybackTexts.h"
#include "ui/AccessibleControls.h"
#include "ui/TBitmapButton.h"
#include "ui/TFloatTrackBar.h"
#include "ui/TImage.h"
#include "ui/TListBox.h"
#include "ui/TText.h"

#include <QFileInfo>
#include <QImage>
#include <QTimer>

void TfrmMain::ConnectPlaybackHandlers() {
    connect(listFiles, &QAbstractItemView::clicked, this, [this] { listFilesClick(listFiles); });
    connect(listFiles, &QAbstractItemView::doubleClicked, this,
            [this] { listFilesDblClick(listFiles); });
    // From the keyboard: the arrow keys choose as a click does, Enter plays
    // as a double click does.
    connect(listFiles, &TListBox::movedByKey, this, [this] { listFilesClick(listFiles); });
    connect(listFiles, &TListBox::enteredByKey, this, [this] { listFilesDblClick(listFiles); });
    connect(btnPlay, &QAbstractButton::clicked, this, [this] { btnPlayClick(btnPlay); });
    connect(btnPlayStop, &QAbstractButton::clicked, this,
            [this] { btnPlayStopClick(btnPlayStop); });
    connect(tbSound, &TFloatTrackBar::changed, this, [this] { tbSoundChange(tbSound); });
    connect(tbSound, &TFloatTrackBar::released, this, [this] { tbSoundRelease(tbSound); });
    connect(TimerPos, &QTimer::timeout, this, [this] { TimerPosTimer(TimerPos); });
    connect(TimerRender, &QTimer::timeout, this, [this] { TimerRenderTimer(TimerRender); });
    connect(TimerLength, &QTimer::timeout, this, [this] { TimerLengthTimer(TimerLength); });
}

void TfrmMain::CreatePlayer() {
    // The result is not looked at: a player without an output device opens
    // nothing, and every open then says "Invalid file".
    FPlayer = std::make_unique<TBassPlayer>();
    FPlayer->Init(this, imgSound->width(), imgSound->height());
}

void TfrmMain::ReleasePlayer() {
    if (!FPlayer)
        return;
    FPlayer->Uninit();
    FPlayer.reset(); // the field is empty before the player goes
}

void TfrmMain::listFilesClick(QObject*) {
    if (FPlayState == psPlaying || FPlayState == psPause)
        return;
    const QString path = GetSelectedFile();
    if (!path.isEmpty())
        OpenPlayFile(path);
}

void TfrmMain::listFilesDblClick(QObject*) {
    const QString path = GetSelectedFile();
    if (path.isEmpty())
        return;
    if (!QFileInfo(path).isFile()) {
        FServices.messages->show(this, QStringLiteral("Notice"),
                                 QStringLiteral("File \"%1\" not found, please check.").arg(path),
                                 MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    if (FPlayState == psPlaying || FPlayState == psPause)
        StopPlayback();
    if (OpenPlayFile(path))
        PlayOrPause();
}

bool TfrmMain::OpenPlayFile(const QString& Path) {
    uint32_t size = 0;
    double duration = 0.0;
    if (!FPlayer->OpenFile(Path.toStdString(), size, duration)) {
        FServices.messages->show(this, QStringLiteral("Notice"),
                                 QStringLiteral("Invalid file \"%1\".").arg(Path),
                                 MessageIcon::Warning, MessageButtons::Ok);
        txtFileSize->setText(QStringLiteral("0"));
        txtDuration->setText(QStringLiteral("00:00:00"));
        return false;
    }
    // The 32-bit size wraps from 4 GiB on; the player's whole count does not.
    if (const auto text = FileSizeText(FPlayer->GetFileSize64()))
        txtFileSize->setText(*text);
    TimerLength->stop();
    if (FPlayer->GetChannelLength64() == -1) {
        // Counted while the window goes on; no old duration stays meanwhile.
        txtDuration->setText(QStringLiteral("00:00:00"));
        TimerLength->start();
    } else if (const auto text = FormatDuration(duration)) {
        txtDuration->setText(*text);
    }
    return true;
}

void TfrmMain::TimerLengthTimer(QObject*) {
    if (!FPlayer->CanPlay()) {
        TimerLength->stop();
        return;
    }
    if (FPlayer->GetChannelLength64() == -1)
        return;
    TimerLength->stop();
    if (const auto text = FormatDuration(FPlayer->GetDuration()))
        txtDuration->setText(*text);
    if (FPlayState == psPlaying || FPlayState == psPause)
        ShowPlayLength();
}

// The bar spans the length; the position timer follows it while playing.
void TfrmMain::ShowPlayLength() {
    tbSound->setMinimum(0.0f);
    tbSound->setMaximum(BarMaximum(FPlayer->GetChannelLength64()));
    if (FPlayState == psPlaying)
        TimerPos->start();
}

void TfrmMain::PlayOrPause() {
    if (FPlayState == psStop) {
        // A stop closed the player: the selected entry is opened anew.
        const QString path = GetSelectedFile();
        if (path.isEmpty())
            return;
        if (QFileInfo(path).isFile())
            OpenPlayFile(path);
    }
    if (!FPlayer->CanPlay())
        return;

    switch (FPlayState) {
    case psPlaying:
        FPlayer->Pause();
        UpdatePlayButton(true);
        FPlayState = psPause;
        TimerRender->stop();
        TimerPos->stop();
        break;
    case psPause:
        FPlayer->Resume();
        UpdatePlayButton(false);
        FPlayState = psPlaying;
        TimerRender->start();
        TimerPos->start();
        break;
    case psNormal:
    case psStop: {
        FPlayer->Play();
        FPlayState = psPlaying;
        UpdatePlayButton(false);
        TimerRender->start();
        // A length still being counted sets the bar when it arrives.
        if (FPlayer->GetChannelLength64() != -1)
            ShowPlayLength();
        break;
    }
    case psOpenFile:
        break;
    }
}

void TfrmMain::StopPlayback() {
    TimerPos->stop();
    TimerRender->stop();
    FPlayer->Stop();
    FPlayState = psStop;
    UpdatePlayButton(true);
    tbSound->setValue(tbSound->minimum());
    if (auto stream = LoadResourceStream(QStringLiteral("recorder")))
        imgSound->loadFromStream(*stream);
}

// Named by what a press does, as the record button is.
void TfrmMain::UpdatePlayButton(bool showPlay) {
    if (showPlay)
        LoadButtonSkin(btnPlay, QStringLiteral("playnormal"), QStringLiteral("playclick"));
    else
        LoadButtonSkin(btnPlay, QStringLiteral("spausenormal"), QStringLiteral("spauseclick"));
    accessible::rename(btnPlay, showPlay ? QStringLiteral("Play") : QStringLiteral("Pause"));
}

void TfrmMain::btnPlayClick(QObject*) {
    // The button is disabled while recording; a click that still arrives
    // (a queued event, a test) is refused here too.
    if (FCurrentState == rsNormal || FCurrentState == rsRecordStoped)
        PlayOrPause();
}

void TfrmMain::btnPlayStopClick(QObject*) {
    StopPlayback();
}

void TfrmMain::tbSoundChange(QObject*) {
    // While the thumb is held the bar only shows where it is; the seek comes
    // once, when it is let go.
    if (tbSound->isTracking())
        return;
    const float value = tbSound->value();
    if (!IsUserSeek(FPlayState, FOldPosValue, value, tbSound->maximum()))
        return;
    TimerPos->stop();
    FPlayer->SetCurrentPosition64(SeekTarget(value));
    TimerPos->start();
}

void TfrmMain::tbSoundRelease(QObject*) {
    const auto target = ReleaseSeekTarget(FPlayState, tbSound->value(), tbSound->maximum());
    if (!target)
        return;
    TimerPos->stop();
    FPlayer->SetCurrentPosition64(*target);
    TimerPos->start();
}

void TfrmMain::TimerPosTimer(QObject*) {
    if (FPlayState != psPlaying)
        return;
    const int64_t position = FPlayer->GetCurrentPosition64();
    if (PlaybackEnded(position, tbSound->maximum(), FPlayer->GetPlayState())) {
        StopPlayback();
        return;
    }
    // The thumb the user holds is not pulled away from under the pointer.
    if (tbSound->isTracking())
        return;
    // Written before the bar, so the change the bar reports is no seek.
    FOldPosValue = static_cast<float>(position);
    tbSound->setValue(static_cast<float>(position));
}

void TfrmMain::TimerRenderTimer(QObject*) {
    const PixelBuffer* view = FPlayer->GetSpectrumView();
    if (!view)
        return;
    // The QImage only wraps the player's pixels; setPixelBitmap converts them into
    // the control's own picture, the one copy, so the control never points at
    // memory the next frame (or the player's release) changes.
    imgSound->setPixelBitmap(QImage(view->bits(), view->width(), view->height(),
                                    view->strideBytes(), QImage::Format_RGBX8888));
}
