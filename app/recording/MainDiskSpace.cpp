// A recording left alone must not run into a full disk unannounced: while it
// records, each tick of the timer reads the free space of the file's file
// system. Short of room, a notice that does not stop anything says how long
// it lasts; out of room, the recording stops as the stop button stops it.

#include "app/TfrmMain.h"
#include "audio/TBassRecorder.h"

#include <QFileInfo>

bool TfrmMain::CheckDiskSpace() {
    if (!FServices.freeSpace || FCurrentState != rsRecording)
        return false;
    const QString folder = QFileInfo(QString::fromStdString(FRecUtils->OutFile())).absolutePath();
    const std::optional<uint64_t> free = FServices.freeSpace->freeBytes(folder);
    if (!free)
        return false;
    const diskspace::Reading reading = FDiskWatch.observe(FElapsedTimeCount, *free);
    switch (reading.advice) {
    case diskspace::Advice::None:
        return false;
    case diskspace::Advice::Low:
        FServices.messages->notify(
            this, QStringLiteral("Notice"),
            QString::fromStdString(diskspace::lowMessage(reading.minutesLeft)),
            MessageIcon::Information);
        return false;
    case diskspace::Advice::Full:
        break;
    }
    // As EndSelfEndedRecording: stopped before the modal box runs the loop.
    StopRecord();
    FServices.messages->show(this, QStringLiteral("Warning"),
                             QString::fromStdString(diskspace::fullMessage()), MessageIcon::Warning,
                             MessageButtons::Ok);
    return true;
}
