// The elapsed-time display, its blinking while paused, the record button's
// two faces and the recordings panel's lock. Both timers also watch for a
// recording that ended without the user: the encoder dying or the disk filling
// must not leave the window counting a recording that no longer grows.

#include "app/TfrmMain.h"
#include "audio/TBassRecorder.h"
#include "base/Result.h"
#include "ui/AccessibleControls.h"
#include "ui/TBitmapButton.h"
#include "ui/TFloatTrackBar.h"
#include "ui/TListBox.h"
#include "ui/TText.h"
#include "ui/TTextButton.h"

#include <QTimer>

#include <algorithm>

bool FlashVisible = false;

QString TfrmMain::ElapsedTimeText(int32_t Count) {
    return QString::asprintf("%.2d:%.2d:%.2d", Count / 3600, (Count / 60) % 60, Count % 60);
}

bool TfrmMain::EndSelfEndedRecording() {
    if (!RecordingInProgress(FCurrentState))
        return false;
    if (!FRecUtils->RecordingEndedByItself())
        return false;
    // The stop's result says why, and StopRecord tells it once the state has
    // changed: a modal box runs the loop, and the timers must not come back
    // here while it is up. The list entry stays, since the file holds what
    // was recorded until then.
    StopRecord();
    return true;
}

void TfrmMain::TimerTimer(QObject*) {
    if (EndSelfEndedRecording())
        return;
    ++FElapsedTimeCount;
    txtTimer->setText(ElapsedTimeText(FElapsedTimeCount));
    ShowSoundLost(FRecUtils->LostSeconds() > 0.0);
    TellRecordingWarning();
    CheckDiskSpace();
}

void TfrmMain::TellRecordingWarning() {
    const std::string warning = FRecUtils->TakeRecordingWarning();
    if (!warning.empty())
        FServices.messages->show(this, QStringLiteral("Warning"), QString::fromStdString(warning),
                                 MessageIcon::Warning, MessageButtons::Ok);
}

void TfrmMain::ShowSoundLost(bool lost) {
    txtTimer->setColor(lost ? kTimerLostColor : kTimerColor);
}

void TfrmMain::TellSoundLost(double seconds) {
    if (seconds <= 0.0)
        return;
    const QString amount = QString::number(std::max(seconds, 0.1), 'f', 1);
    FServices.messages->show(
        this, QStringLiteral("Warning"),
        QStringLiteral("Some sound could not be recorded: about %1 seconds are missing from the "
                       "file. The computer or its disk may have been too busy.")
            .arg(amount),
        MessageIcon::Warning, MessageButtons::Ok);
}

void TfrmMain::TellStopFailure(const Result& stopped) {
    if (stopped.ok())
        return;
    FServices.messages->show(this, QStringLiteral("Warning"),
                             QString::fromStdString(stopped.message()), MessageIcon::Warning,
                             MessageButtons::Ok);
}

void TfrmMain::WatchLateStops() {
    if (!FRecUtils->StopPending())
        return;
    if (!FLateStopTimer) {
        FLateStopTimer = new QTimer(this);
        FLateStopTimer->setInterval(250);
        connect(FLateStopTimer, &QTimer::timeout, this, [this] { LateStopTimer(); });
    }
    FLateStopTimer->start();
}

void TfrmMain::LateStopTimer() {
    // Off while a box is up: its loop must not bring us back here.
    FLateStopTimer->stop();
    while (std::optional<Result> stopped = FRecUtils->TakeLateStopResult())
        TellStopFailure(*stopped);
    if (FRecUtils->StopPending())
        FLateStopTimer->start();
}

void TfrmMain::TmFlashTimer(QObject*) {
    if (EndSelfEndedRecording())
        return;
    FlashVisible = !FlashVisible;
    txtTimer->setVisible(FlashVisible);
}

// The name follows the face: a screen reader hears "Pause" as the recording
// starts and "Record" as it pauses (a name change is announced).
void TfrmMain::UpdateRecordButton(bool AsRecord) {
    if (AsRecord)
        LoadButtonSkin(btnRecord, QStringLiteral("recnormal"), QStringLiteral("recclick"));
    else
        LoadButtonSkin(btnRecord, QStringLiteral("pausenormal"), QStringLiteral("pauseclick"));
    accessible::rename(btnRecord, AsRecord ? QStringLiteral("Record") : QStringLiteral("Pause"));
}

void TfrmMain::SetListControlsEnabled(bool Value) {
    listFiles->setEnabled(Value);
    btnClear->setEnabled(Value);
    btnPlayStop->setEnabled(Value);
    btnPlay->setEnabled(Value);
    tbSound->setEnabled(Value);
}
