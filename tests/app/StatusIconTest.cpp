// The status icon on a real X server, against a stand-in StatusNotifierWatcher
// (a tray host) on a bus of the test's own: the icon registers with it, its
// tooltip says what --status says, and its menu drives the recording.

#include "app/TfrmMain.h"
#include "tests/audio/ToneInputs.h"
#include "tests/support/ConfigTestData.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/WindowFixture.h"

#include <QAction>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QMenu>
#include <QMutex>
#include <QSystemTrayIcon>
#include <QTest>
#include <QThread>

#include <filesystem>

namespace {

// Serves from a thread of its own: the toolkit asks the watcher with blocking
// calls from the UI thread.
class StandInWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const {
        QMutexLocker lock(&mutex_);
        return items_;
    }
public slots:
    void RegisterStatusNotifierItem(const QString& service) {
        QMutexLocker lock(&mutex_);
        items_ << service;
    }
    void RegisterStatusNotifierHost(const QString&) {}

private:
    mutable QMutex mutex_;
    QStringList items_;
};

// The tooltip's text, read from the icon's item as a tray host reads it.
QString ToolTipOf(const QString& item) {
    QDBusMessage get = QDBusMessage::createMethodCall(item, "/StatusNotifierItem",
                                                      "org.freedesktop.DBus.Properties", "Get");
    get << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("ToolTip");
    QDBusPendingCallWatcher call(
        QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), "host")
            .asyncCall(get));
    if (!QTest::qWaitFor([&] { return call.isFinished(); }, 5000) || call.isError())
        return {};
    const QDBusArgument tip =
        call.reply().arguments().value(0).value<QDBusVariant>().variant().value<QDBusArgument>();
    QString icon, title, text;
    tip.beginStructure();
    tip >> icon;
    tip.beginArray();
    while (!tip.atEnd()) {
        int w = 0, h = 0;
        QByteArray data;
        tip.beginStructure();
        tip >> w >> h >> data;
        tip.endStructure();
    }
    tip.endArray();
    tip >> title >> text;
    tip.endStructure();
    return title;
}

class StatusIcon : public WindowFixture {
protected:
    static void SetUpTestSuite() {
        bus = new PrivateBus(busFolder().path());
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus->address().toUtf8());
        WindowFixture::SetUpTestSuite();
    }
    static TempFolder& busFolder() {
        static TempFolder folder;
        return folder;
    }
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X server";
        ASSERT_FALSE(bus->address().isEmpty());
        watcherThread.start();
        watcher.moveToThread(&watcherThread);
        served = QDBusConnection::connectToBus(bus->address(), "watcher");
        ASSERT_TRUE(served.registerObject("/StatusNotifierWatcher", &watcher,
                                          QDBusConnection::ExportAllContents));
        ASSERT_TRUE(served.registerService("org.kde.StatusNotifierWatcher"));
        std::filesystem::create_symlink("/usr/bin/lame", dir / "lame");
        audiotest::installToneInputs({"Line In"});
    }
    void TearDown() override {
        QDBusConnection::disconnectFromBus("watcher");
        QDBusConnection::disconnectFromBus("host");
        watcherThread.quit();
        watcherThread.wait();
    }

    static inline PrivateBus* bus = nullptr; // lives as long as the application
    QThread watcherThread;
    StandInWatcher watcher;
    QDBusConnection served{QStringLiteral("none")};
};

} // namespace

TEST_F(StatusIcon, RegistersWithTheTrayHostAndShowsAndDrivesTheRecording) {
    TempFolder output;
    std::string config = defaultConfigFile();
    setElementText(config, "SaveFolder", output.path().string());
    TempFolder::write(dir / "config.xml", config);
    auto w = makeWindow();
    w->show();
    w->ShowStatusIcon();
    ASSERT_NE(w->FStatusIcon, nullptr) << "a tray host is there";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher.items().isEmpty(); }, 5000))
        << "the icon never registered";
    const QString item = watcher.items().value(0).section('/', 0, 0);

    ASSERT_TRUE(QTest::qWaitFor([&] { return ToolTipOf(item) == "idle"; }, 5000));
    const QList<QAction*> menu = w->FStatusIcon->contextMenu()->actions();
    ASSERT_GE(menu.size(), 2);
    EXPECT_EQ(menu[0]->text(), "Record");
    EXPECT_FALSE(menu[1]->isEnabled());

    // The menu's first entry is the record button.
    menu[0]->trigger();
    ASSERT_EQ(w->FCurrentState, rsRecording);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return ToolTipOf(item).startsWith("recording 00:00:0"); }, 5000));
    EXPECT_EQ(menu[0]->text(), "Pause");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ToolTipOf(item) != "recording 00:00:00"; }, 5000))
        << "the tooltip counts";
    menu[0]->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ToolTipOf(item).startsWith("paused "); }, 5000));
    EXPECT_EQ(menu[0]->text(), "Resume");

    menu[1]->trigger();
    EXPECT_EQ(w->FCurrentState, rsRecordStoped);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ToolTipOf(item) == "idle"; }, 5000));
    EXPECT_FALSE(std::filesystem::is_empty(output.path()));
}

#include "StatusIconTest.moc"
