#include "app/remote/RemoteControlAdaptor.h"

#include "app/TfrmMain.h"
#include "app/remote/RemoteTexts.h"

#include <QTimer>

RemoteControlAdaptor::RemoteControlAdaptor(TfrmMain* window)
    : QDBusAbstractAdaptor(window), window_(window) {}

QString RemoteControlAdaptor::state() const {
    return QString::fromStdString(RemoteStateWord(window_->CurrentRemoteState()));
}

uint RemoteControlAdaptor::elapsed() const {
    return window_->RemoteElapsed();
}

void RemoteControlAdaptor::Record() {
    QTimer::singleShot(0, window_, [w = window_] { w->RemoteRecord(); });
}

void RemoteControlAdaptor::Stop() {
    QTimer::singleShot(0, window_, [w = window_] { w->RemoteStop(); });
}

void RemoteControlAdaptor::RecordFor(uint seconds) {
    QTimer::singleShot(0, window_, [w = window_, seconds] { w->RecordFor(seconds); });
}
