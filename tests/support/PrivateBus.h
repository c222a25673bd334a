#pragma once
// A session bus of the test's own, so that the desktop services a test stands
// in for, or the program it starts, never meet the machine's real bus or
// another test's.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <filesystem>

class PrivateBus {
public:
    // The socket lies in folder; address() is empty when the bus did not start.
    explicit PrivateBus(const std::filesystem::path& folder) {
        daemon_.setProgram("dbus-daemon");
        daemon_.setArguments(
            {"--session", "--nofork", "--nopidfile", "--print-address=1",
             "--address=unix:path=" + QString::fromStdString((folder / "bus").string())});
        daemon_.start();
        if (daemon_.waitForReadyRead(5000))
            address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() {
        daemon_.kill();
        daemon_.waitForFinished();
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    const QString& address() const { return address_; }

    // This process's environment with the bus as the session bus.
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", address_);
        return env;
    }

private:
    QProcess daemon_;
    QString address_;
};
