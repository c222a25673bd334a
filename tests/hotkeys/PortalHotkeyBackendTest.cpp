// The portal backend against a stand-in portal on the test's session bus. The
// stand-in serves on a connection of its own, as a real portal would.

#include "hotkeys/PortalHotkeyBackend.h"
#include "hotkeys/HotkeyBackendFactory.h"
#include "hotkeys/PortalShortcut.h"
#include "hotkeys/THotKeyManager.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QTest>
#include <future>
#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kCtrlAltR = 0xC052;
constexpr std::uint32_t kCtrlAltP = 0xC050;

class StandInPortal : public QDBusVirtualObject {
public:
    QStringList calls;
    PortalShortcutList lastBound;
    QString session;
    uint bindResponse = 0;

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        calls.append(message.member());
        if (message.member() == "Get") {
            bus.send(message.createReply(QVariant::fromValue(QDBusVariant(2u))));
            return true;
        }
        const QVariantMap options = qdbus_cast<QVariantMap>(message.arguments().last());
        const QString request = PortalObjectPath("request", message.service(),
                                                 options.value("handle_token").toString());
        bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));

        uint response = 0;
        QVariantMap results;
        if (message.member() == "CreateSession") {
            session = PortalObjectPath("session", message.service(),
                                       options.value("session_handle_token").toString());
            results["session_handle"] = session;
        } else if (message.member() == "BindShortcuts") {
            EXPECT_EQ(message.arguments().at(0).value<QDBusObjectPath>().path(), session);
            lastBound = qdbus_cast<PortalShortcutList>(message.arguments().at(1));
            response = bindResponse;
            PortalShortcutList bound;
            for (const PortalShortcut& s : lastBound)
                bound.append({s.id, {{"trigger_description", s.properties["preferred_trigger"]}}});
            if (response == 0)
                results["shortcuts"] = QVariant::fromValue(bound);
        }
        QDBusMessage answer =
            QDBusMessage::createSignal(request, kRequestInterface, QStringLiteral("Response"));
        answer << response << results;
        bus.send(answer);
        return true;
    }
    QString introspect(const QString&) const override { return {}; }
};

class PortalHotkeyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char* argv[] = {const_cast<char*>("portal_test"), nullptr};
        if (QCoreApplication::instance() == nullptr)
            new QCoreApplication(argc, argv); // lives for the whole test process
    }
};

TEST_F(PortalHotkeyTest, BindsReportsRefusalsAndDeliversActivations) {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "needs a session bus";
    EXPECT_FALSE(PortalHotkeyBackend::PortalOffersShortcuts(QDBusConnection::sessionBus(), 1000));

    RegisterPortalShortcutTypes();
    QDBusConnection portalBus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, "stand-in-portal");
    StandInPortal portal;
    ASSERT_TRUE(portalBus.registerService(kPortalService));
    ASSERT_TRUE(portalBus.registerVirtualObject(kPortalPath, &portal));
    // The query blocks, and the stand-in answers from this thread's event loop.
    auto offered = std::async(std::launch::async, [] {
        return PortalHotkeyBackend::PortalOffersShortcuts(QDBusConnection::sessionBus(), 3000);
    });
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return offered.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        5000));
    EXPECT_TRUE(offered.get());

    THotKeyManager manager(std::make_unique<PortalHotkeyBackend>());
    std::vector<std::pair<std::uint32_t, HotKeyId>> presses;
    std::vector<std::pair<std::uint32_t, HotkeyRegistration>> refusals;
    manager.OnHotKeyPressed = [&](std::uint32_t v, HotKeyId id) { presses.emplace_back(v, id); };
    manager.OnHotKeyRefused = [&](std::uint32_t v, HotkeyRegistration r) {
        refusals.emplace_back(v, r);
    };

    const HotKeyId r = manager.AddHotKey(kCtrlAltR);
    ASSERT_NE(r, 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal.calls.contains("BindShortcuts"); }, 5000));
    ASSERT_EQ(portal.lastBound.size(), 1);
    EXPECT_EQ(portal.lastBound[0].id, "HotKeyManagerHotKey49234");
    EXPECT_EQ(portal.lastBound[0].properties["preferred_trigger"].toString(), "CTRL+ALT+r");

    // The portal's Activated signal is a press.
    QDBusMessage activated = QDBusMessage::createSignal(kPortalPath, kGlobalShortcutsInterface,
                                                        QStringLiteral("Activated"));
    activated << QVariant::fromValue(QDBusObjectPath(portal.session))
              << QStringLiteral("HotKeyManagerHotKey49234") << quint64(1234) << QVariantMap();
    portalBus.send(activated);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !presses.empty(); }, 5000));
    EXPECT_EQ(presses[0], std::make_pair(kCtrlAltR, r));
    // Repeated while held, it is no new press; after Deactivated it is.
    auto shortcutSignal = [&](const char* name) {
        QDBusMessage signal = QDBusMessage::createSignal(kPortalPath, kGlobalShortcutsInterface,
                                                         QString::fromLatin1(name));
        signal << QVariant::fromValue(QDBusObjectPath(portal.session))
               << QStringLiteral("HotKeyManagerHotKey49234") << quint64(1300) << QVariantMap();
        portalBus.send(signal);
    };
    shortcutSignal("Activated");
    shortcutSignal("Activated");
    shortcutSignal("Deactivated");
    shortcutSignal("Activated");
    ASSERT_TRUE(QTest::qWaitFor([&] { return presses.size() >= 2; }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(presses.size(), 2u);

    // The user refuses the next binding: it comes back as taken and leaves the list.
    portal.bindResponse = 1;
    EXPECT_NE(manager.AddHotKey(kCtrlAltP), 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !refusals.empty(); }, 5000));
    EXPECT_EQ(refusals[0], std::make_pair(kCtrlAltP, HotkeyRegistration::Taken));
    ASSERT_EQ(manager.HotKeyList().size(), 1u);
    EXPECT_EQ(manager.HotKeyList()[0].HotKey, kCtrlAltR);

    // Releasing binds what is left: nothing.
    portal.bindResponse = 0;
    EXPECT_TRUE(manager.RemoveHotKey(kCtrlAltR));
    ASSERT_TRUE(QTest::qWaitFor([&] { return portal.lastBound.isEmpty(); }, 5000));
    EXPECT_EQ(portal.calls.count("CreateSession"), 1);
    EXPECT_EQ(portal.calls.count("BindShortcuts"), 3);

    portalBus.unregisterObject(kPortalPath);
    portalBus.unregisterService(kPortalService);
}

TEST(HotkeyBackendChoice, FollowsTheSession) {
    struct Offers {
        bool portal = false, kde = false, gnome = false;
    };
    auto choose = [](std::string platform, std::string type, bool wayland, std::string desktop,
                     Offers offers) {
        return ChooseHotkeyBackend(HotkeySession{std::move(platform), std::move(type), wayland,
                                                 std::move(desktop), offers.portal, offers.kde,
                                                 offers.gnome});
    };
    const Offers all{true, true, true};
    // X11 sessions keep their grabs, whatever the bus offers, and ask nothing.
    EXPECT_EQ(choose("xcb", "x11", false, "KDE", all), HotkeyBackendKind::X11);
    EXPECT_FALSE(HotkeyChoiceNeedsProbe({"xcb", "x11", false, "GNOME"}));
    EXPECT_TRUE(HotkeyChoiceNeedsProbe({"xcb", "wayland", false, "GNOME"}));

    // Wayland, on XWayland or natively: portal, then KDE, then GNOME, never X11.
    for (const char* platform : {"xcb", "wayland"}) {
        EXPECT_EQ(choose(platform, "wayland", true, "GNOME", all), HotkeyBackendKind::Portal);
        EXPECT_EQ(choose(platform, "wayland", true, "KDE", {false, true, true}),
                  HotkeyBackendKind::Kde);
        EXPECT_EQ(choose(platform, "wayland", true, "ubuntu:GNOME", {false, false, true}),
                  HotkeyBackendKind::Gnome);
        EXPECT_EQ(choose(platform, "wayland", true, "KDE", {false, false, true}),
                  HotkeyBackendKind::None)
            << "GNOME's keybindings only on GNOME";
        EXPECT_EQ(choose(platform, "wayland", true, "GNOME-Flashback", {false, false, true}),
                  HotkeyBackendKind::None);
        EXPECT_EQ(choose(platform, "wayland", true, "GNOME", {}), HotkeyBackendKind::None)
            << "no X11 grabs through XWayland";
    }
    // WAYLAND_DISPLAY alone makes a Wayland session.
    EXPECT_EQ(choose("xcb", "", true, "", {}), HotkeyBackendKind::None);
    EXPECT_EQ(choose("offscreen", "wayland", true, "GNOME", all), HotkeyBackendKind::None);
    EXPECT_EQ(choose("offscreen", "", false, "", all), HotkeyBackendKind::None);
}

} // namespace
