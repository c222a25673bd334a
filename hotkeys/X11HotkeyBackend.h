#pragma once
// Global hotkeys on an X server: passive key grabs on the root window,
// identifiers from atoms (server-wide names), presses read from Qt's event
// stream by a native event filter.

#include "hotkeys/HotkeyBackend.h"
#include "hotkeys/KeyRepeatFilter.h"

#include <QAbstractNativeEventFilter>
#include <vector>
#include <xcb/xcb.h>

class X11HotkeyBackend final : public HotkeyBackend, public QAbstractNativeEventFilter {
public:
    // The connection stays the caller's. Presses are seen only when it is the
    // connection of the running QGuiApplication.
    X11HotkeyBackend(xcb_connection_t* connection, xcb_window_t root);
    ~X11HotkeyBackend() override;

    HotKeyId identifierFor(const std::string& name) override;
    void releaseIdentifier(HotKeyId) override {} // atoms live as long as the X server
    HotkeyRegistration registerHotKey(HotKeyId id, std::uint32_t value) override;
    bool unregisterHotKey(HotKeyId id) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Grab {
        HotKeyId id;
        xcb_keycode_t keycode;
        std::uint16_t modifiers; // without the lock variants
    };
    std::vector<xcb_keycode_t> KeycodesOf(std::uint32_t keysym) const;
    std::uint16_t NumLockMask() const;
    void Ungrab(const Grab& grab, std::uint16_t numLock);

    xcb_connection_t* connection_;
    xcb_window_t root_;
    std::vector<Grab> grabs_;
    KeyRepeatFilter repeats_;
    std::uint16_t numLockMask_ = 0;
};
