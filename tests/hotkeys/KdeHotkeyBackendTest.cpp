// KDE's global-shortcut service as a stand-in on a private bus, reached as
// a Wayland session reaches it: through the probe, behind a portal that never
// answers. What is registered, a key the service gives to someone else, one
// press per hold, and everything unregistered at the end.

#include "hotkeys/KdeHotkeyBackend.h"
#include "hotkeys/HotkeyBackendFactory.h"
#include "hotkeys/KdeGlobalAccelNames.h"
#include "hotkeys/PortalShortcut.h"
#include "hotkeys/THotKeyManager.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/QtFixture.h"
#include "tests/support/TempFolder.h"

#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QTest>

namespace {

constexpr std::uint32_t kCtrlAltR = 0xC052, kCtrlAltS = 0xC053, kCtrlAltT = 0xC054;
const int kQtCtrlAltR = int(Qt::ControlModifier | Qt::AltModifier) | Qt::Key_R;

// Gives every key asked for unless another component holds it; records calls.
class StandInGlobalAccel final : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        const QString member = message.member();
        const QList<QVariant> args = message.arguments();
        calls << member + ' ' + args.value(0).toStringList().value(1) + args.value(1).toString();
        if (member == "setShortcut") {
            QList<int> keys = qdbus_cast<QList<int>>(args.value(1));
            keys.removeIf([this](int key) { return takenKeys.contains(key); });
            const QString action = args.value(0).toStringList().value(1);
            if (keys.isEmpty())
                shortcuts.remove(action);
            else
                shortcuts[action] = keys.value(0);
            bus.send(message.createReply(QVariant::fromValue(keys)));
            return true;
        }
        if (member == "unregister")
            shortcuts.remove(args.value(1).toString());
        bus.send(message.createReply());
        return true;
    }
    QStringList calls;
    QMap<QString, int> shortcuts;
    QList<int> takenKeys;
};

// Owns the portal's name and never answers.
class SilentPortal final : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
        message.setDelayedReply(true);
        return true;
    }
};

class KdeHotkeyTest : public QtFixture {
protected:
    void SetUp() override {
        ASSERT_FALSE(bus.address().isEmpty());
        service = QDBusConnection::connectToBus(bus.address(), "kde-service");
        ASSERT_TRUE(service.registerService(kKdeGlobalAccelService));
        ASSERT_TRUE(service.registerVirtualObject(kKdeGlobalAccelPath, &accel));
        ASSERT_TRUE(service.registerService(kPortalService));
        ASSERT_TRUE(service.registerVirtualObject(kPortalPath, &portal));
    }
    void TearDown() override {
        QDBusConnection::disconnectFromBus("kde-service");
        QDBusConnection::disconnectFromBus("kde-client");
    }

    void emitShortcut(const char* signal, const QString& action) {
        QDBusMessage message = QDBusMessage::createSignal(
            "/component/tovaline", kKdeComponentInterface, QString::fromLatin1(signal));
        message << QStringLiteral("tovaline") << action << qlonglong(1234);
        service.send(message);
    }
    void emitNewStyle(const char* signal, const QString& action) {
        QDBusMessage message = QDBusMessage::createSignal(
            "/component/tovaline", kKdeComponentInterface, QString::fromLatin1(signal));
        message << action << QVariantMap();
        service.send(message);
    }

    TempFolder folder;
    PrivateBus bus{folder.path()};
    QDBusConnection service{QStringLiteral("none")};
    StandInGlobalAccel accel;
    SilentPortal portal;
};

} // namespace

TEST_F(KdeHotkeyTest, AWaylandSessionWithKdeRegistersThereWithoutWaitingForThePortal) {
    QElapsedTimer clock;
    clock.start();
    auto backend =
        makeHotkeyBackend(HotkeySession{"xcb", "wayland", true, "KDE"},
                          QDBusConnection::connectToBus(bus.address(), "kde-client"), 800);
    THotKeyManager manager(std::move(backend));
    manager.SetHotKeyAction(kCtrlAltR, HotKeyAction::Record);
    manager.SetHotKeyAction(kCtrlAltS, HotKeyAction::Stop);
    ASSERT_NE(manager.AddHotKey(kCtrlAltR), 0u);
    ASSERT_NE(manager.AddHotKey(kCtrlAltS), 0u);
    EXPECT_LT(clock.elapsed(), 200) << "start-up waited for the bus";

    std::vector<std::uint32_t> presses;
    std::vector<std::pair<std::uint32_t, HotkeyRegistration>> refusals;
    manager.OnHotKeyPressed = [&](std::uint32_t v, HotKeyId) { presses.push_back(v); };
    manager.OnHotKeyRefused = [&](std::uint32_t v, HotkeyRegistration r) {
        refusals.emplace_back(v, r);
    };
    // Once the portal's silence has run out, KDE's service gets the keys.
    ASSERT_TRUE(QTest::qWaitFor([&] { return accel.shortcuts.size() == 2; }, 5000));
    EXPECT_EQ(accel.shortcuts.value("record"), kQtCtrlAltR);
    EXPECT_EQ(accel.shortcuts.value("stop"),
              int(Qt::ControlModifier | Qt::AltModifier) | Qt::Key_S);
    EXPECT_TRUE(accel.calls.contains("doRegister record"));
    EXPECT_TRUE(refusals.empty());

    // One press each way the service tells it; repeats are none.
    emitNewStyle("pressed", "record");
    emitShortcut("globalShortcutPressed", "record");
    emitNewStyle("repeated", "record");
    emitShortcut("globalShortcutRepeated", "record");
    emitShortcut("globalShortcutPressed", "record");
    emitShortcut("globalShortcutReleased", "record");
    emitShortcut("globalShortcutPressed", "stop");
    ASSERT_TRUE(QTest::qWaitFor([&] { return presses.size() >= 2; }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(presses, (std::vector{kCtrlAltR, kCtrlAltS}));
    emitShortcut("globalShortcutPressed", "record");
    ASSERT_TRUE(QTest::qWaitFor([&] { return presses.size() == 3; }, 5000))
        << "a press after the release acts again";

    // A key that another component holds comes back as taken.
    accel.takenKeys << (int(Qt::ControlModifier | Qt::AltModifier) | Qt::Key_T);
    manager.SetHotKeyAction(kCtrlAltT, HotKeyAction::Pause);
    EXPECT_NE(manager.AddHotKey(kCtrlAltT), 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !refusals.empty(); }, 5000));
    EXPECT_EQ(refusals[0], std::make_pair(kCtrlAltT, HotkeyRegistration::Taken));

    // Released keys, and at the end all of them, leave the service.
    EXPECT_TRUE(manager.RemoveHotKey(kCtrlAltS));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !accel.shortcuts.contains("stop"); }, 5000));
    manager.ClearHotKeys();
    ASSERT_TRUE(QTest::qWaitFor([&] { return accel.shortcuts.isEmpty(); }, 5000));
}

TEST(KdeHotkeyKeys, HotkeyValuesBecomeQtKeyCodes) {
    EXPECT_EQ(KdeHotkeyBackend::QtKeyOf(kCtrlAltR), kQtCtrlAltR);
    EXPECT_EQ(KdeHotkeyBackend::QtKeyOf(0x2000 | 0x10000 | 0x71),
              int(Qt::ShiftModifier | Qt::MetaModifier) | Qt::Key_F2);
    EXPECT_EQ(KdeHotkeyBackend::QtKeyOf(0xC000 | 0x35),
              int(Qt::ControlModifier | Qt::AltModifier) | Qt::Key_5);
    EXPECT_EQ(KdeHotkeyBackend::QtKeyOf(0xC000 | 0xFF), 0) << "no such key";
}
