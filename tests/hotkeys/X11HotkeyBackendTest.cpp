// Against the real X server: grabs, atoms, and key presses made by xdotool.

#include "hotkeys/X11HotkeyBackend.h"
#include "hotkeys/HotkeyBackendFactory.h"
#include "hotkeys/THotKeyManager.h"

#include "tests/support/QtFixture.h"

#include <QTest>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {

constexpr std::uint32_t kCtrlAltR = 0xC052;
constexpr std::uint32_t kCtrlAltT = 0xC054;

// Another X client: its own connection, a focused window of its own.
class OtherClient {
public:
    OtherClient() : connection_(xcb_connect(nullptr, nullptr)) {
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    }
    ~OtherClient() { xcb_disconnect(connection_); }
    xcb_connection_t* connection() const { return connection_; }
    xcb_window_t root() const { return screen_->root; }

    xcb_window_t MapFocusedWindow() {
        const xcb_window_t window = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, screen_->root, 10, 10, 200,
                          100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, 0, nullptr);
        xcb_map_window(connection_, window);
        xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
        return window;
    }
    xcb_window_t Focus() {
        auto* reply =
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr);
        const xcb_window_t focus = reply ? reply->focus : 0;
        std::free(reply);
        return focus;
    }
    // True when the server granted the grab.
    bool Grab(xcb_keycode_t keycode, std::uint16_t modifiers) {
        auto* error = xcb_request_check(
            connection_, xcb_grab_key_checked(connection_, 1, root(), modifiers, keycode,
                                              XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::free(error);
        return error == nullptr;
    }
    void Ungrab(xcb_keycode_t keycode, std::uint16_t modifiers) {
        xcb_ungrab_key(connection_, keycode, root(), modifiers);
        xcb_flush(connection_);
    }
    xcb_keycode_t KeycodeOf(xcb_keysym_t keysym) {
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        const auto count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
        auto* mapping = xcb_get_keyboard_mapping_reply(
            connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr);
        xcb_keycode_t found = 0;
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(mapping);
        for (int k = 0; k < count && found == 0; ++k)
            if (syms[k * mapping->keysyms_per_keycode] == keysym)
                found = static_cast<xcb_keycode_t>(setup->min_keycode + k);
        std::free(mapping);
        return found;
    }
    xcb_atom_t Atom(const std::string& name) {
        auto* reply = xcb_intern_atom_reply(
            connection_,
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.data()),
            nullptr);
        const xcb_atom_t atom = reply ? reply->atom : 0;
        std::free(reply);
        return atom;
    }

private:
    xcb_connection_t* connection_;
    xcb_screen_t* screen_;
};

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
