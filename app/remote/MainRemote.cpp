// The window's remote control: presses from the session bus and the command
// line, which count only where a click of the button could happen, and the
// timed stop of a recording started with --record --for.

#include "app/TfrmMain.h"
#include "app/remote/RemoteControlAdaptor.h"
#include "app/remote/RemoteNames.h"
#include "ui/TBitmapButton.h"

#include <QApplication>
#include <QDBusConnection>
#include <QTimer>

#include <algorithm>
#include <chrono>

void TfrmMain::ServeRemoteControl() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    auto* adaptor = new RemoteControlAdaptor(this); // the window owns it
    // The object first, so a caller that sees the name finds it.
    if (!bus.registerObject(kRemotePath, this, QDBusConnection::ExportAdaptors)) {
        delete adaptor;
        return;
    }
    // Another copy serves already: this one keeps its window, unreachable.
    if (!bus.registerService(kRemoteService)) {
        bus.unregisterObject(kRemotePath);
        delete adaptor;
    }
}

bool TfrmMain::OutsidePressAllowed() const {
    return FStartupDone && !FDestroyed && QApplication::activeModalWidget() == nullptr &&
           !ModalScope::anyOpen();
}

void TfrmMain::RemoteRecord() {
    if (OutsidePressAllowed())
        btnRecordClick(btnRecord);
}

void TfrmMain::RemoteStop() {
    if (OutsidePressAllowed())
        btnRecStopClick(btnRecStop);
}

void TfrmMain::RecordFor(std::uint32_t Seconds) {
    if (!OutsidePressAllowed())
        return;
    // Starts, or resumes a paused recording; a running one goes on.
    if (FCurrentState != rsRecording)
        btnRecordClick(btnRecord);
    // A start can fail, be cancelled in the format dialog or run a box.
    if (FCurrentState != rsRecording)
        return;
    if (!FTimedStop) {
        FTimedStop = new QTimer(this);
        FTimedStop->setSingleShot(true);
        connect(FTimedStop, &QTimer::timeout, this, [this] { btnRecStopClick(btnRecStop); });
    }
    FTimedStop->start(std::chrono::seconds(Seconds));
}

RemoteState TfrmMain::CurrentRemoteState() const {
    switch (FCurrentState) {
    case rsRecording:
        return RemoteState::Recording;
    case rsRecordPause:
        return RemoteState::Paused;
    default:
        return RemoteState::Idle;
    }
}

std::uint32_t TfrmMain::RemoteElapsed() const {
    return static_cast<std::uint32_t>(std::max(FElapsedTimeCount, 0));
}
