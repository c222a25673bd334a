// Against the real X server: grabs, atoms, and key presses made by xdotool.

#include "hotkeys/X11HotkeyBackend.h"
#include "hotkeys/HotkeyBackendFactory.h"
#include "hotkeys/THotKeyManager.h"

#include "tests/hotkeys/OtherXClient.h"
#include "tests/support/QtFixture.h"

#include <QTest>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {

constexpr std::uint32_t kCtrlAltR = 0xC052;
constexpr std::uint32_t kCtrlAltT = 0xC054;

class X11HotkeyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("QT_QPA_PLATFORM", "xcb");
        EnsureTestApplication();
    }
    void SetUp() override {
        auto backend = makeHotkeyBackend();
        ASSERT_NE(dynamic_cast<X11HotkeyBackend*>(backend.get()), nullptr);
        manager = std::make_unique<THotKeyManager>(std::move(backend));
        manager->OnHotKeyPressed = [this](std::uint32_t value, HotKeyId id) {
            presses.emplace_back(value, id);
        };
    }
    bool PressKeys(const char* keys, int waitMs = 5000) {
        const std::string command = std::string("xdotool key ") + keys;
        if (std::system(command.c_str()) != 0)
            return false;
        const std::size_t before = presses.size();
        return QTest::qWaitFor([&] { return presses.size() > before; }, waitMs);
    }

    std::unique_ptr<THotKeyManager> manager;
    std::vector<std::pair<std::uint32_t, HotKeyId>> presses;
};

TEST_F(X11HotkeyTest, PressReachesTheManagerWhileAnotherWindowHasFocus) {
    OtherClient other;
    const xcb_window_t focused = other.MapFocusedWindow();
    ASSERT_EQ(other.Focus(), focused);

    const HotKeyId id = manager->AddHotKey(kCtrlAltR);
    EXPECT_EQ(id, other.Atom("HotKeyManagerHotKey49234")); // the server-wide name

    ASSERT_TRUE(PressKeys("ctrl+alt+r"));
    EXPECT_EQ(presses.back(), std::make_pair(kCtrlAltR, id));

    // With NumLock on the grab still holds.
    ASSERT_EQ(std::system("xdotool key Num_Lock"), 0);
    const bool withNumLock = PressKeys("ctrl+alt+r");
    ASSERT_EQ(std::system("xdotool key Num_Lock"), 0);
    EXPECT_TRUE(withNumLock);

    // Released: the key goes back to the focused window, not to us.
    EXPECT_TRUE(manager->RemoveHotKey(kCtrlAltR));
    EXPECT_FALSE(PressKeys("ctrl+alt+r", 500));
}

TEST_F(X11HotkeyTest, HoldingTheKeysDownIsOnePress) {
    OtherClient other;
    other.MapFocusedWindow();
    manager->AddHotKey(kCtrlAltR);
    // The server repeats the held key for the whole hold; the modifiers are
    // let go first, so the key's last release comes without them.
    ASSERT_EQ(std::system("xdotool keydown ctrl+alt+r sleep 2 keyup ctrl keyup alt keyup r"), 0);
    QTest::qWait(300); // whatever the hold sent is in by now
    EXPECT_EQ(presses.size(), 1u);
    ASSERT_TRUE(PressKeys("ctrl+alt+r")) << "a press after the release acts again";
    EXPECT_EQ(presses.size(), 2u);
}

TEST_F(X11HotkeyTest, CombinationHeldByAnotherClientIsTaken) {
    OtherClient other;
    X11HotkeyBackend holder(other.connection(), other.root());
    const HotKeyId held = holder.identifierFor(HotKeyIdentifierName(kCtrlAltT));
    ASSERT_EQ(holder.registerHotKey(held, kCtrlAltT), HotkeyRegistration::Registered);

    EXPECT_EQ(manager->AddHotKey(kCtrlAltT), 0u);
    EXPECT_EQ(manager->LastFailure(), HotkeyRegistration::Taken);
    EXPECT_TRUE(manager->HotKeyList().empty());
    EXPECT_FALSE(manager->HotKeyValid(kCtrlAltT));

    // Our refused attempt left no grab behind, and once the other lets go it is ours.
    EXPECT_TRUE(holder.unregisterHotKey(held));
    EXPECT_NE(manager->AddHotKey(kCtrlAltT), 0u);
    EXPECT_EQ(holder.registerHotKey(held, kCtrlAltT), HotkeyRegistration::Taken);
}

TEST_F(X11HotkeyTest, RefusedRegistrationReleasesTheGrabsItDidGet) {
    OtherClient other;
    const xcb_keycode_t t = other.KeycodeOf('t');
    ASSERT_NE(t, 0);
    const std::uint16_t ctrlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
    // The other client holds only the CapsLock variant.
    ASSERT_TRUE(other.Grab(t, ctrlAlt | XCB_MOD_MASK_LOCK));
    EXPECT_EQ(manager->AddHotKey(kCtrlAltT), 0u);
    other.Ungrab(t, ctrlAlt | XCB_MOD_MASK_LOCK);
    EXPECT_TRUE(other.Grab(t, ctrlAlt)); // our plain grab did not stay behind
    other.Ungrab(t, ctrlAlt);
}

} // namespace
