#include "ui/SleepInhibitor.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {

constexpr uint kPortalSuspend = 4;
constexpr uint kPortalIdle = 8;

} // namespace

SleepInhibitor::SleepInhibitor(QDBusConnection system, QDBusConnection session)
    : system_(std::move(system)), session_(std::move(session)) {}

SleepInhibitor::~SleepInhibitor() {
    release();
}

void SleepInhibitor::inhibit(const QString& why) {
    release();
    const quint64 request = ++request_;
    if (!system_.isConnected()) {
        askPortal(why, request);
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                       "org.freedesktop.login1.Manager", "Inhibit");
    call << QStringLiteral("sleep:idle") << QStringLiteral("Tovaline") << why
         << QStringLiteral("block");
    auto* watcher = new QDBusPendingCallWatcher(system_.asyncCall(call, kReplyTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, why, request](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
                if (request != request_)
                    return; // the descriptor closes with the reply
                if (reply.isError() || !reply.value().isValid())
                    askPortal(why, request);
                else
                    lock_ = reply.value();
            });
}

void SleepInhibitor::askPortal(const QString& why, quint64 request) {
    if (!session_.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.portal.Desktop",
                                                       "/org/freedesktop/portal/desktop",
                                                       "org.freedesktop.portal.Inhibit", "Inhibit");
    call << QString() << (kPortalSuspend | kPortalIdle) << QVariantMap{{"reason", why}};
    auto* watcher = new QDBusPendingCallWatcher(session_.asyncCall(call, kReplyTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, request](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<QDBusObjectPath> reply = *w;
                if (reply.isError())
                    return;
                if (request != request_)
                    closePortalRequest(reply.value().path());
                else
                    portalHandle_ = reply.value().path();
            });
}

void SleepInhibitor::closePortalRequest(const QString& handle) {
    session_.send(QDBusMessage::createMethodCall("org.freedesktop.portal.Desktop", handle,
                                                 "org.freedesktop.portal.Request", "Close"));
}

void SleepInhibitor::release() {
    ++request_;
    lock_ = QDBusUnixFileDescriptor();
    if (!portalHandle_.isEmpty())
        closePortalRequest(portalHandle_);
    portalHandle_.clear();
}
