#pragma once
// Asks the session bus, without blocking, what a Wayland session offers for
// global hotkeys: the portal's GlobalShortcuts and KDE's service, both at once.
// A bus that does not answer within the time counts as offering nothing.

#include "hotkeys/HotkeyBackendChoice.h"

#include <QDBusConnection>
#include <QObject>
#include <functional>

class QDBusPendingCallWatcher;

class HotkeySessionProbe final : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const HotkeySession& session)>;

    // done runs once, from the event loop, with session completed by the
    // bus's answers; never once the probe is destroyed.
    HotkeySessionProbe(QDBusConnection bus, HotkeySession session, int timeoutMs, Done done);

private:
    void Ask(const QDBusMessage& call, int timeoutMs, bool HotkeySession::*answer);
    void Answered(QDBusPendingCallWatcher* watcher, bool HotkeySession::*answer);

    QDBusConnection bus_;
    HotkeySession session_;
    Done done_;
    int unanswered_ = 0;
};
