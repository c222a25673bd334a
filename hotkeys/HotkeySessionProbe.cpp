#include "hotkeys/HotkeySessionProbe.h"

#include "hotkeys/KdeGlobalAccelNames.h"
#include "hotkeys/PortalShortcut.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>

HotkeySessionProbe::HotkeySessionProbe(QDBusConnection bus, HotkeySession session, int timeoutMs,
                                       Done done)
    : bus_(std::move(bus)), session_(std::move(session)), done_(std::move(done)) {
    QDBusMessage portal = QDBusMessage::createMethodCall(
        kPortalService, kPortalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    portal << QString::fromLatin1(kGlobalShortcutsInterface) << QStringLiteral("version");
    // Ping starts the service where the bus can activate it.
    const QDBusMessage kde = QDBusMessage::createMethodCall(
        kKdeGlobalAccelService, kKdeGlobalAccelPath, QStringLiteral("org.freedesktop.DBus.Peer"),
        QStringLiteral("Ping"));
    unanswered_ = 2;
    Ask(portal, timeoutMs, &HotkeySession::portalOffersShortcuts);
    Ask(kde, timeoutMs, &HotkeySession::kdeGlobalAccel);
}

void HotkeySessionProbe::Ask(const QDBusMessage& call, int timeoutMs, bool HotkeySession::*answer) {
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, timeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, answer](QDBusPendingCallWatcher* w) { Answered(w, answer); });
}

void HotkeySessionProbe::Answered(QDBusPendingCallWatcher* watcher, bool HotkeySession::*answer) {
    session_.*answer = !watcher->isError();
    watcher->deleteLater();
    if (--unanswered_ == 0 && done_)
        done_(session_);
}
