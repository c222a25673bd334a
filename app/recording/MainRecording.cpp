// The recording workflow of the main window: the record button starts,
// pauses and resumes, the stop button ends. Everything that can be checked
// before the recorder starts is checked first, so a failed start leaves the
// window exactly as it was.

#include "app/TfrmMain.h"
#include "audio/TBassRecorder.h"
#include "base/Result.h"
#include "settings/OutputNaming.h"
#include "settings/RecorderSettings.h"
#include "ui/TBitmapButton.h"
#include "ui/TText.h"
#include "ui/TTextBox.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

void TfrmMain::ConnectRecordingHandlers() {
    connect(btnRecord, &QAbstractButton::clicked, this, [this] { btnRecordClick(btnRecord); });
    connect(btnRecStop, &QAbstractButton::clicked, this, [this] { btnRecStopClick(btnRecStop); });
    connect(Timer, &QTimer::timeout, this, [this] { TimerTimer(Timer); });
    connect(TmFlash, &QTimer::timeout, this, [this] { TmFlashTimer(TmFlash); });
}

void TfrmMain::btnRecordClick(QObject*) {
    switch (RecordButtonActionFor(FCurrentState)) {
    case RecordButtonAction::Start:
        StartRecord();
        break;
    case RecordButtonAction::Pause:
        PauseRecord();
        Timer->stop();
        break;
    case RecordButtonAction::Resume:
        ResumeRecord();
        Timer->start();
        break;
    case RecordButtonAction::None:
        break;
    }
}

void TfrmMain::btnRecStopClick(QObject*) {
    StopRecord();
}

void TfrmMain::StartRecord() {
    MessageBoxService& box = *FServices.messages;

    // The record button never takes the focus, so text typed into a naming
    // box and not yet confirmed would be passed over: it counts as confirmed.
    edtPrefix->commitEdit();
    tbSavefile->commitEdit();
    const QString typedFolder = edtSaveFolder->text();
    if (edtSaveFolder->commitEdit() && !typedFolder.isEmpty() && typedFolder != Settings.SaveFolder)
        return; // the folder could not be made, and the user was told

    QString path = BuildOutputFileName();
    if (path.isEmpty()) {
        box.show(this, QStringLiteral("Notice"), QStringLiteral("Please input valid filepath."),
                 MessageIcon::Information, MessageButtons::Ok);
        ShowOptionsPage(2);
        return;
    }

    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir()) {
        QDir().mkpath(folder);
        if (!QFileInfo(folder).isDir()) {
            box.show(this, QStringLiteral("Warning"), QStringLiteral("Target folder is invalid!"),
                     MessageIcon::Warning, MessageButtons::Ok);
            return;
        }
    }

    // A folder of that name is not "a file that exists": the recorder's own
    // failure then tells the user.
    if (QFileInfo(path).isFile()) {
        switch (naming::WhenFileExists(CheckedNamingMode(), Settings.SamenameOP)) {
        case naming::ExistingFileAction::AskFirst: {
            const MessageResult answer =
                box.show(this, QStringLiteral("Notice"),
                         QStringLiteral("File \"%1\" already exists. Do you want to overwrite the "
                                        "existing file?")
                             .arg(path),
                         MessageIcon::Question, MessageButtons::YesNo);
            if (answer != MessageResult::Yes)
                return;
            break;
        }
        case naming::ExistingFileAction::TakeFreeName:
            path = MakeUniqueFileName(path);
            break;
        case naming::ExistingFileAction::Overwrite:
            break;
        }
    }

    TBassRecorder& rec = *FRecUtils;
    if (rec.GetAudioDeviceCount() == 0) {
        box.show(this, QStringLiteral("Notice"), QStringLiteral("No valid audio device found."),
                 MessageIcon::Information, MessageButtons::Ok);
        return;
    }

    if (FPlayState == psPlaying || FPlayState == psPause)
        StopPlayback();

    rec.SetRecordDevice(Settings.Device, Settings.Volume);
    rec.SetSkipSilence(Settings.SkipSilence);
    switch (Settings.OutFormat) {
    case rofWAVE:
        rec.SetWaveParameter(static_cast<int8_t>(Settings.WavChannel),
                             static_cast<int8_t>(Settings.WavBitPerSample), Settings.WavSampleRate);
        break;
    case rofMP3:
        rec.SetMP3Parameter(Settings.Mp3BitRate, Settings.Mp3CRC, Settings.Mp3VBR,
                            static_cast<int8_t>(Settings.Mp3Channel),
                            static_cast<uint8_t>(Settings.Mp3VBRQuality));
        break;
    case rofWMA:
        rec.SetWMAParameter(Settings.WmaSampleRate, Settings.WmaChannel, Settings.WmaBitRate);
        break;
    case rofOGG:
        rec.SetOGGParameter(Settings.OggQuality);
        break;
    }

    if (rec.Start(Settings.OutFormat, path.toStdString()) != 0) {
        box.show(this, QStringLiteral("Warning"), QString::fromStdString(rec.GetLastErrorMessage()),
                 MessageIcon::Warning, MessageButtons::Ok);
        return;
    }

    // Held until StopRecord, whichever way the recording ends.
    if (FServices.sleepInhibitor)
        FServices.sleepInhibitor->inhibit(
            QStringLiteral("Recording to %1")
                .arg(FileNamePart(QString::fromStdString(rec.OutFile()))));
    FDiskWatch.reset();
    UpdateRecordButton(false);
    FCurrentState = rsRecording;
    // The display keeps the last recording's time until the first tick.
    FElapsedTimeCount = 0;
    Timer->start();
    ShowSoundLost(false);
    AddRecordedFile(path);
    SetListControlsEnabled(false);
}

void TfrmMain::PauseRecord() {
    if (FCurrentState != rsRecording)
        return;
    FRecUtils->Pause();
    FCurrentState = rsRecordPause;
    UpdateRecordButton(true);
    TmFlash->start();
}

void TfrmMain::ResumeRecord() {
    if (FCurrentState != rsRecordPause)
        return;
    FRecUtils->Resume();
    FCurrentState = rsRecording;
    UpdateRecordButton(false);
    TmFlash->stop();
    txtTimer->setVisible(true);
}

void TfrmMain::StopRecord() {
    if (!RecordingInProgress(FCurrentState))
        return;
    // Counted by the channel, which the stop lets go.
    const double lostSeconds = FRecUtils->LostSeconds();
    // Back within a second, whatever the encoder does; the file stays listed.
    const Result stopped = FRecUtils->Stop();
    if (FTimedStop)
        FTimedStop->stop();
    if (FServices.sleepInhibitor)
        FServices.sleepInhibitor->release();
    FCurrentState = rsRecordStoped;
    UpdateRecordButton(true);
    Timer->stop();
    TmFlash->stop();
    txtTimer->setVisible(true);
    SetListControlsEnabled(true);
    TellSoundLost(lostSeconds);
    TellStopFailure(stopped);
    WatchLateStops();
}

void TfrmMain::FormClose(QObject*) {
    // Playback and recording never run together: at most one is stopped.
    if (FPlayState == psPlaying || FPlayState == psPause) {
        StopPlayback();
        return;
    }
    if (RecordingInProgress(FCurrentState))
        StopRecord();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    FormClose(this);
    QWidget::closeEvent(event);
}
