// The sleep inhibitor against stand-ins on private buses: a logind that hands
// out a lock descriptor (its far end shows when the lock is let go), a portal
// that hands out a request to close, and no service at all.

#include "ui/SleepInhibitor.h"
#include "tests/support/QtFixture.h"
#include "tests/support/TempFolder.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QDBusVirtualObject>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>

#include <memory>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// Hands out one end of a pipe per lock and keeps the other: once every copy
// of the handed-out end is closed, the kept end reads as hung up.
class StandInLogind final : public QDBusVirtualObject {
public:
    QList<QStringList> calls;
    std::vector<int> farEnds;

    ~StandInLogind() override {
        for (int fd : farEnds)
            ::close(fd);
    }
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        if (message.interface() != "org.freedesktop.login1.Manager" ||
            message.member() != "Inhibit")
            return false;
        QStringList args;
        for (const QVariant& a : message.arguments())
            args << a.toString();
        calls << args;
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return false;
        farEnds.push_back(ends[0]);
        bus.send(message.createReply(QVariant::fromValue(QDBusUnixFileDescriptor(ends[1]))));
        ::close(ends[1]); // the reply holds its own copy
        return true;
    }
    // True once the lock with this number has been let go.
    bool released(size_t lock) const {
        pollfd p{farEnds.at(lock), POLLIN, 0};
        return ::poll(&p, 1, 0) == 1 && (p.revents & POLLHUP);
    }
};

class StandInPortal final : public QDBusVirtualObject {
public:
    QList<uint> flags;
    QStringList reasons;
    QStringList closed;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        if (message.member() == "Close" &&
            message.interface() == "org.freedesktop.portal.Request") {
            closed << message.path();
            bus.send(message.createReply());
            return true;
        }
        if (message.member() != "Inhibit" ||
            message.interface() != "org.freedesktop.portal.Inhibit")
            return false;
        flags << message.arguments().value(1).toUInt();
        reasons << qdbus_cast<QVariantMap>(message.arguments().value(2)).value("reason").toString();
        const QString handle =
            QStringLiteral("/org/freedesktop/portal/desktop/request/t%1").arg(flags.size());
        bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(handle))));
        return true;
    }
};

QString startBus(QProcess& bus, const std::filesystem::path& socket) {
    bus.setProgram("dbus-daemon");
    bus.setArguments({"--session", "--nofork", "--print-address=1",
                      "--address=unix:path=" + QString::fromStdString(socket.string())});
    bus.start();
    if (!bus.waitForReadyRead(5000))
        return {};
    return QString::fromUtf8(bus.readLine()).trimmed();
}

template <typename Done> bool spinUntil(Done done, int ms) {
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// One private "system" and one private session bus for the whole suite: the
// default connections read their addresses once per process.
class SleepInhibitorTest : public QtFixture {
protected:
    static void SetUpTestSuite() {
        QtFixture::SetUpTestSuite();
        folder = new TempFolder;
        systemBus = new QProcess;
        sessionBus = new QProcess;
        systemAddress = startBus(*systemBus, *folder / "system");
        sessionAddress = startBus(*sessionBus, *folder / "session");
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", systemAddress.toUtf8());
        qputenv("DBUS_SESSION_BUS_ADDRESS", sessionAddress.toUtf8());
    }
    static void TearDownTestSuite() {
        for (QProcess* bus : {systemBus, sessionBus}) {
            bus->kill();
            bus->waitForFinished();
            delete bus;
        }
        delete folder;
    }
    void SetUp() override {
        ASSERT_FALSE(systemAddress.isEmpty());
        ASSERT_FALSE(sessionAddress.isEmpty());
    }
    void TearDown() override {
        QDBusConnection::disconnectFromBus("logind");
        QDBusConnection::disconnectFromBus("portal");
    }

    // Served on connections of their own: a process cannot call itself
    // through the connection it serves on.
    void serveLogind(StandInLogind& logind) {
        QDBusConnection bus = QDBusConnection::connectToBus(systemAddress, "logind");
        ASSERT_TRUE(bus.registerService("org.freedesktop.login1"));
        ASSERT_TRUE(bus.registerVirtualObject("/org/freedesktop/login1", &logind));
    }
    void servePortal(StandInPortal& portal) {
        QDBusConnection bus = QDBusConnection::connectToBus(sessionAddress, "portal");
        ASSERT_TRUE(bus.registerService("org.freedesktop.portal.Desktop"));
        ASSERT_TRUE(bus.registerVirtualObject("/org/freedesktop/portal/desktop", &portal,
                                              QDBusConnection::SubPath));
    }

    static inline TempFolder* folder = nullptr;
    static inline QProcess* systemBus = nullptr;
    static inline QProcess* sessionBus = nullptr;
    static inline QString systemAddress;
    static inline QString sessionAddress;
};

TEST_F(SleepInhibitorTest, LogindLockIsHeldFromInhibitUntilRelease) {
    StandInLogind logind;
    serveLogind(logind);
    {
        SleepInhibitor inhibitor; // the default buses: the private ones here
        spinUntil([] { return false; }, 100);
        EXPECT_TRUE(logind.calls.isEmpty()) << "nothing is asked for before a recording";

        inhibitor.inhibit("Recording to take one.mp3");
        ASSERT_TRUE(spinUntil([&] { return logind.calls.size() == 1; }, 3000));
        EXPECT_EQ(logind.calls[0],
                  (QStringList{"sleep:idle", "Tovaline", "Recording to take one.mp3", "block"}));
        spinUntil([] { return false; }, 300);
        EXPECT_FALSE(logind.released(0)) << "held while recording";

        inhibitor.release();
        EXPECT_TRUE(spinUntil([&] { return logind.released(0); }, 2000));

        // Let go before the answer came: the late lock is closed on arrival.
        inhibitor.inhibit("Recording to b.mp3");
        inhibitor.release();
        ASSERT_TRUE(spinUntil([&] { return logind.calls.size() == 2; }, 3000));
        EXPECT_TRUE(spinUntil([&] { return logind.released(1); }, 2000));

        // One held when the inhibitor goes (the program quits mid-recording).
        inhibitor.inhibit("Recording to c.mp3");
        ASSERT_TRUE(spinUntil([&] { return logind.calls.size() == 3; }, 3000));
        spinUntil([] { return false; }, 200);
        EXPECT_FALSE(logind.released(2));
    }
    EXPECT_TRUE(spinUntil([&] { return logind.released(2); }, 2000));
}

TEST_F(SleepInhibitorTest, WithoutLogindThePortalIsAskedAndItsRequestClosed) {
    StandInPortal portal;
    servePortal(portal);
    SleepInhibitor inhibitor;
    inhibitor.inhibit("Recording to take.ogg");
    ASSERT_TRUE(spinUntil([&] { return portal.flags.size() == 1; }, 3000));
    EXPECT_EQ(portal.flags[0], 4u | 8u) << "suspend and idle";
    EXPECT_EQ(portal.reasons[0], "Recording to take.ogg");
    spinUntil([] { return false; }, 200);
    EXPECT_TRUE(portal.closed.isEmpty());
    inhibitor.release();
    ASSERT_TRUE(spinUntil([&] { return portal.closed.size() == 1; }, 2000));
    EXPECT_EQ(portal.closed[0], "/org/freedesktop/portal/desktop/request/t1");
}

TEST_F(SleepInhibitorTest, NoServiceOrNoBusIsHarmlessAndNeverWaits) {
    for (bool buses : {true, false}) {
        SCOPED_TRACE(buses ? "buses without the services" : "no buses");
        auto inhibitor = buses ? std::make_unique<SleepInhibitor>()
                               : std::make_unique<SleepInhibitor>(QDBusConnection("none"),
                                                                  QDBusConnection("none"));
        QElapsedTimer clock;
        clock.start();
        inhibitor->inhibit("Recording to take.wav");
        EXPECT_LT(clock.elapsed(), 50);
        spinUntil([] { return false; }, 300);
        inhibitor->release();
        inhibitor->inhibit("Recording to take.wav");
    }
}

} // namespace
