#include "hotkeys/X11HotkeyBackend.h"

#include "hotkeys/HotKeyValue.h"
#include "hotkeys/KeySyms.h"

#include <QCoreApplication>
#include <X11/keysym.h>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>

namespace {

constexpr std::uint8_t kBadAccess = 10;
constexpr std::uint16_t kRelevantModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

std::uint16_t XModifiersOf(std::uint32_t value) {
    std::uint16_t modifiers = 0;
    if (value & HotKeyShiftBit)
        modifiers |= XCB_MOD_MASK_SHIFT;
    if (value & HotKeyCtrlBit)
        modifiers |= XCB_MOD_MASK_CONTROL;
    if (value & HotKeyAltBit)
        modifiers |= XCB_MOD_MASK_1;
    if (value & HotKeyWinBit)
        modifiers |= XCB_MOD_MASK_4;
    return modifiers;
}

// A grab must also hold with CapsLock or NumLock on, or the key would work
// only while both are off.
std::array<std::uint16_t, 4> LockVariants(std::uint16_t numLock) {
    return {0, XCB_MOD_MASK_LOCK, numLock, static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK | numLock)};
}

// Waits until the server has handled every request sent so far: a flushed
// ungrab may still sit unread while another client's grab of the same key
// is handled first, and is then refused.
void WaitUntilHandled(xcb_connection_t* connection) {
    XcbReply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

} // namespace

X11HotkeyBackend::X11HotkeyBackend(xcb_connection_t* connection, xcb_window_t root)
    : connection_(connection), root_(root) {
    numLockMask_ = NumLockMask();
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotkeyBackend::~X11HotkeyBackend() {
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeNativeEventFilter(this);
    for (const Grab& grab : grabs_)
        Ungrab(grab, numLockMask_);
    xcb_flush(connection_);
}

HotKeyId X11HotkeyBackend::identifierFor(const std::string& name) {
    const auto cookie =
        xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.data());
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection_, cookie, nullptr));
    return reply ? reply->atom : 0;
}

std::vector<xcb_keycode_t> X11HotkeyBackend::KeycodesOf(std::uint32_t keysym) const {
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    const xcb_keycode_t first = setup->min_keycode;
    const auto count = static_cast<std::uint8_t>(setup->max_keycode - first + 1);
    XcbReply<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
        connection_, xcb_get_keyboard_mapping(connection_, first, count), nullptr));
    std::vector<xcb_keycode_t> keycodes;
    if (!mapping)
        return keycodes;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int perKeycode = mapping->keysyms_per_keycode;
    for (int k = 0; k < count; ++k) {
        // Only the unshifted and shifted levels: a grab names the key, and a
        // keysym on a third level needs a modifier the hotkey does not have.
        for (int level = 0; level < std::min(perKeycode, 2); ++level) {
            if (syms[k * perKeycode + level] == keysym) {
                keycodes.push_back(static_cast<xcb_keycode_t>(first + k));
                break;
            }
        }
    }
    return keycodes;
}

std::uint16_t X11HotkeyBackend::NumLockMask() const {
    const std::vector<xcb_keycode_t> numLockKeys = KeycodesOf(XK_Num_Lock);
    XcbReply<xcb_get_modifier_mapping_reply_t> mapping(xcb_get_modifier_mapping_reply(
        connection_, xcb_get_modifier_mapping(connection_), nullptr));
    if (mapping) {
        const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(mapping.get());
        const int perModifier = mapping->keycodes_per_modifier;
        for (int modifier = 0; modifier < 8; ++modifier) {
            for (int i = 0; i < perModifier; ++i) {
                const xcb_keycode_t keycode = keycodes[modifier * perModifier + i];
                if (keycode != 0 &&
                    std::find(numLockKeys.begin(), numLockKeys.end(), keycode) != numLockKeys.end())
                    return static_cast<std::uint16_t>(1u << modifier);
            }
        }
    }
    return XCB_MOD_MASK_2; // where NumLock sits on nearly every keyboard map
}

void X11HotkeyBackend::Ungrab(const Grab& grab, std::uint16_t numLock) {
    for (const std::uint16_t lock : LockVariants(numLock))
        xcb_ungrab_key(connection_, grab.keycode, root_, grab.modifiers | lock);
}

HotkeyRegistration X11HotkeyBackend::registerHotKey(HotKeyId id, std::uint32_t value) {
    if (std::any_of(grabs_.begin(), grabs_.end(), [id](const Grab& g) { return g.id == id; }))
        return HotkeyRegistration::Taken;
    const KeySymOfKey key = KeySymOf(static_cast<std::uint8_t>(value & 0xFF));
    const std::vector<xcb_keycode_t> keycodes =
        key.keysym ? KeycodesOf(key.keysym) : std::vector<xcb_keycode_t>{};
    if (keycodes.empty())
        return HotkeyRegistration::Taken; // no such key on this keyboard: refused
    const std::uint16_t modifiers = XModifiersOf(value);

    struct Attempt {
        Grab grab;
        std::uint16_t lock;
        xcb_void_cookie_t cookie;
    };
    std::vector<Attempt> attempts;
    for (const xcb_keycode_t keycode : keycodes) {
        for (const std::uint16_t lock : LockVariants(numLockMask_)) {
            attempts.push_back(
                {{id, keycode, modifiers},
                 lock,
                 xcb_grab_key_checked(connection_, 1, root_, modifiers | lock, keycode,
                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)});
        }
    }
    bool refused = false;
    std::vector<const Attempt*> made;
    for (const Attempt& attempt : attempts) {
        XcbReply<xcb_generic_error_t> error(xcb_request_check(connection_, attempt.cookie));
        if (error)
            refused = true; // BadAccess: another client holds it
        else
            made.push_back(&attempt);
    }
    if (refused) {
        for (const Attempt* attempt : made)
            xcb_ungrab_key(connection_, attempt->grab.keycode, root_,
                           attempt->grab.modifiers | attempt->lock);
        WaitUntilHandled(connection_);
        return HotkeyRegistration::Taken;
    }
    for (const xcb_keycode_t keycode : keycodes)
        grabs_.push_back({id, keycode, modifiers});
    return HotkeyRegistration::Registered;
}

bool X11HotkeyBackend::unregisterHotKey(HotKeyId id) {
    bool held = false;
    for (auto it = grabs_.begin(); it != grabs_.end();) {
        if (it->id == id) {
            Ungrab(*it, numLockMask_);
            it = grabs_.erase(it);
            held = true;
            repeats_.forget(id);
        } else {
            ++it;
        }
    }
    WaitUntilHandled(connection_);
    return held;
}

bool X11HotkeyBackend::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7F;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    // Press and release events share one layout.
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    if (type == XCB_KEY_RELEASE) {
        // The modifiers may be let go first: the key alone ends the hold.
        for (const Grab& grab : grabs_)
            if (grab.keycode == key->detail)
                repeats_.released(grab.id, key->time);
        return false;
    }
    const std::uint16_t modifiers = key->state & kRelevantModifiers;
    for (const Grab& grab : grabs_) {
        if (grab.keycode == key->detail && grab.modifiers == modifiers) {
            if (repeats_.pressed(grab.id, key->time))
                notifyPressed(grab.id);
            return true;
        }
    }
    return false;
}
