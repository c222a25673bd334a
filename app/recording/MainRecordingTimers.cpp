// The elapsed-time display, its blinking while paused, the record button's
// two faces and the recordings panel's lock. Both timers also watch for a
// recording that ended without the user: the encoder dying or the disk filling
// must not leave the window counting a recording that no longer grows.

#include "app/TfrmMain.h"
#include "audio/TBassRecorder.h"
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
    // Read before StopRecord: stopping lets the channel go, and its cause with it.
    const QString reason = QString::fromStdString(FRecUtils->RecordingEndReason());
    // Stopped before the box: a modal box runs the loop, and the timers must
    // not come back here while it is up. The list entry stays, since the file
    // holds what was recorded until then.
    StopRecord();
    FServices.messages->show(this, QStringLiteral("Warning"), reason, MessageIcon::Warning,
                             MessageButtons::Ok);
    return true;
}

void TfrmMain::TimerTimer(QObject*) {
    if (EndSelfEndedRecording())
        return;
    ++FElapsedTimeCount;
    txtTimer->setText(ElapsedTimeText(FElapsedTimeCount));
    ShowSoundLost(FRecUtils->LostSeconds() > 0.0);
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
