#pragma once
// Keeps the computer from sleeping or idling while a recording runs: a
// logind inhibitor lock ("sleep:idle", held as a file descriptor) on the
// system bus, else the desktop portal's Inhibit on the session bus, else
// nothing. Every call returns at once; answers arrive through the event loop,
// so a missing or slow service never delays a recording's start.

#include "ui/PlatformServices.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

class SleepInhibitor final : public QObject, public SleepInhibitService {
public:
    static constexpr int kReplyTimeoutMs = 3000;

    explicit SleepInhibitor(QDBusConnection system = QDBusConnection::systemBus(),
                            QDBusConnection session = QDBusConnection::sessionBus());
    ~SleepInhibitor() override;

    void inhibit(const QString& why) override;
    void release() override;

private:
    void askPortal(const QString& why, quint64 request);
    void closePortalRequest(const QString& handle);

    QDBusConnection system_;
    QDBusConnection session_;
    // Counts inhibit() and release() calls: an answer to an older request
    // than the latest is let go at once.
    quint64 request_ = 0;
    QDBusUnixFileDescriptor lock_; // logind's; closing it ends the lock
    QString portalHandle_;         // the portal's request object
};
