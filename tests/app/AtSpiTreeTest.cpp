// The window as a screen reader finds it: over AT-SPI, on a private session
// bus with an accessibility bus of its own, the real bridge of Qt answering.
// The window and the reader are in this one process; the reader calls on a
// connection of its own and every call lets the loop run, so the bridge can
// answer it.

#include "app/TfrmMain.h"
#include "tests/support/TakeWindowFixture.h"
#include "tests/support/TempFolder.h"
#include "ui/TBitmapButton.h"

#include <QAccessible>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <set>
#include <unistd.h>

namespace {

struct Node {
    QString service;
    QDBusObjectPath path;
};

const QDBusArgument& operator>>(const QDBusArgument& arg, Node& n) {
    arg.beginStructure();
    arg >> n.service >> n.path;
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const Node& n) {
    arg.beginStructure();
    arg << n.service << n.path;
    arg.endStructure();
    return arg;
}

} // namespace

Q_DECLARE_METATYPE(Node)

namespace {

constexpr auto kAccessible = "org.a11y.atspi.Accessible";

// The private buses, started before the application, which looks for the
// accessibility bus once, as it starts.
class PrivateBuses {
public:
    bool start(const std::filesystem::path& dir) {
        session.setProgram("dbus-daemon");
        session.setArguments(
            {"--session", "--nofork", "--print-address=1",
             "--address=unix:path=" + QString::fromStdString((dir / "bus").string())});
        session.start();
        if (!session.waitForReadyRead(5000))
            return false;
        address = QString::fromUtf8(session.readLine()).trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
        launcher.setProgram("/usr/libexec/at-spi-bus-launcher");
        launcher.setArguments({"--launch-immediately", "--a11y=1"});
        launcher.start();
        return launcher.waitForStarted(5000);
    }
    ~PrivateBuses() {
        for (QProcess* p : {&launcher, &session}) {
            p->terminate();
            if (!p->waitForFinished(3000)) {
                p->kill();
                p->waitForFinished();
            }
        }
    }

    QString address;
    QProcess session;
    QProcess launcher;
};

PrivateBuses* buses = nullptr;

class AtSpiTree : public TakeWindowFixture {
protected:
    static void SetUpTestSuite() {
        static TempFolder busDir;
        buses = new PrivateBuses; // stops its daemons when the process ends
        static std::unique_ptr<PrivateBuses> owner(buses);
        ASSERT_TRUE(buses->start(busDir.path()));
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
        qDBusRegisterMetaType<Node>();
        qDBusRegisterMetaType<QList<Node>>();
        EnsureTestApplication();
    }

    void SetUp() override {
        ASSERT_TRUE(QTest::qWaitFor([] { return QAccessible::isActive(); }, 10000));
        openWindow();
        ASSERT_TRUE(connectReader());
    }
    void TearDown() override {
        TakeWindowFixture::TearDown();
        QDBusConnection::disconnectFromBus("reader");
    }

    bool connectReader() {
        QDBusMessage ask = QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus",
                                                          "org.a11y.Bus", "GetAddress");
        QDBusMessage answer = QDBusConnection::sessionBus().call(ask, QDBus::BlockWithGui, 5000);
        if (answer.type() != QDBusMessage::ReplyMessage)
            return false;
        reader = QDBusConnection::connectToBus(answer.arguments().value(0).toString(), "reader");
        if (!reader.isConnected())
            return false;
        // This process's own connection to the bus is the window's.
        QDBusReply<QStringList> names = reader.interface()->registeredServiceNames();
        for (const QString& name : names.value()) {
            if (!name.startsWith(':') || name == reader.baseService())
                continue;
            if (reader.interface()->servicePid(name).value() == static_cast<uint>(getpid()))
                app = name;
        }
        return !app.isEmpty();
    }

    QDBusMessage call(const Node& n, const char* interface, const char* method,
                      const QVariantList& args = {}) {
        QDBusMessage m =
            QDBusMessage::createMethodCall(n.service, n.path.path(), interface, method);
        m.setArguments(args);
        return reader.call(m, QDBus::BlockWithGui, 5000);
    }
    QString nameOf(const Node& n) {
        QDBusMessage r = call(n, "org.freedesktop.DBus.Properties", "Get",
                              {QString::fromLatin1(kAccessible), QStringLiteral("Name")});
        return qvariant_cast<QDBusVariant>(r.arguments().value(0)).variant().toString();
    }
    QString roleOf(const Node& n) {
        return call(n, kAccessible, "GetRoleName").arguments().value(0).toString();
    }
    QList<Node> childrenOf(const Node& n) {
        QDBusMessage r = call(n, kAccessible, "GetChildren");
        QList<Node> children;
        if (!r.arguments().isEmpty())
            r.arguments().front().value<QDBusArgument>() >> children;
        return children;
    }
    // Every (role, name) under the application, and where the named
    // controls are found.
    std::set<std::pair<QString, QString>> tree(std::map<QString, Node>* byName = nullptr) {
        std::set<std::pair<QString, QString>> seen;
        std::vector<Node> todo{{app, QDBusObjectPath("/org/a11y/atspi/accessible/root")}};
        while (!todo.empty() && seen.size() < 2000) {
            const Node n = todo.back();
            todo.pop_back();
            const QString name = nameOf(n);
            seen.emplace(roleOf(n), name);
            if (byName)
                byName->emplace(name, n);
            for (const Node& c : childrenOf(n))
                todo.push_back(c);
        }
        return seen;
    }

    QDBusConnection reader{QString()};
    QString app;
};

TEST_F(AtSpiTree, AReaderFindsTheControlsByRoleAndNameAndHearsTheRecordButtonRenamed) {
    std::map<QString, Node> byName;
    const auto seen = tree(&byName);
    // Over the bus as in the process (where every control's name is checked):
    // one of each kind.
    for (const auto& expected : std::vector<std::pair<QString, QString>>{
             {"push button", "Record"},
             {"label", "00:00:00"},
             {"slider", "Volume:"},
             {"list", "Recordings"},
             {"page tab", "Device"},
         })
        EXPECT_EQ(seen.count(expected), 1u)
            << expected.first.toStdString() << " \"" << expected.second.toStdString() << '"';

    // The record button, found once, is renamed as recording starts, and the
    // change is sent to whoever listens.
    ASSERT_EQ(byName.count("Record"), 1u);
    const Node record = byName.at("Record");
    std::vector<QAccessible::Event> events;
    static std::vector<QAccessible::Event>* sink = nullptr;
    static QObject* watched = nullptr;
    sink = &events;
    watched = w->btnRecord;
    QAccessible::UpdateHandler bridge = QAccessible::installUpdateHandler([](QAccessibleEvent* e) {
        if (e->object() == watched)
            sink->push_back(e->type());
    });
    w->btnRecord->click();
    QAccessible::installUpdateHandler(bridge);
    ASSERT_EQ(w->FCurrentState, rsRecording);
    EXPECT_NE(std::find(events.begin(), events.end(), QAccessible::NameChanged), events.end());
    EXPECT_EQ(nameOf(record), "Pause");
    w->btnRecStop->click();
    EXPECT_EQ(nameOf(record), "Record");
}

} // namespace
