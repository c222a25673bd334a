#pragma once
// What the hotkey manager needs from the system: server-wide identifiers for
// names, and registrations of key combinations under them.
//
// Lifecycle: made on the UI thread (the real backends once the
// QGuiApplication exists) and destroyed there before it. Both handlers are
// called on the UI thread only, from the event loop, never from inside
// registerHotKey or unregisterHotKey.

#include <cstdint>
#include <functional>
#include <string>

// An X atom is 29 bits wide, so identifiers are 32-bit; 0 is none.
using HotKeyId = std::uint32_t;

enum class HotkeyRegistration {
    Registered,  // the combination is ours
    Pending,     // asked; the answer comes later through the late-result handler
    Taken,       // another program holds it, or the user or system refused it
    Unavailable, // this session offers no global hotkeys at all
};

// What the window's action for a combination is; backends that show the
// user named actions (KDE, GNOME) use it.
enum class HotKeyAction { Record, Pause, Stop };

class HotkeyBackend {
public:
    using PressHandler = std::function<void(HotKeyId id)>;
    // Only Registered, Taken or Unavailable, for a registration answered Pending.
    using LateResultHandler = std::function<void(HotKeyId id, HotkeyRegistration result)>;

    virtual ~HotkeyBackend() = default;

    // The same number for the same name; 0 when the system gives none. Each
    // call takes a reference that releaseIdentifier drops.
    virtual HotKeyId identifierFor(const std::string& name) = 0;
    virtual void releaseIdentifier(HotKeyId id) = 0;

    // value is a hotkey value (Windows key code and modifier bits).
    virtual HotkeyRegistration registerHotKey(HotKeyId id, std::uint32_t value) = 0;
    // False when nothing is registered under id.
    virtual bool unregisterHotKey(HotKeyId id) = 0;
    // Told before the combination is registered; the last word counts.
    virtual void setHotKeyAction(std::uint32_t /*value*/, HotKeyAction /*action*/) {}

    void setPressHandler(PressHandler handler) { pressHandler_ = std::move(handler); }
    void setLateResultHandler(LateResultHandler handler) {
        lateResultHandler_ = std::move(handler);
    }

protected:
    void notifyPressed(HotKeyId id) const {
        if (pressHandler_)
            pressHandler_(id);
    }
    void notifyLateResult(HotKeyId id, HotkeyRegistration result) const {
        if (lateResultHandler_)
            lateResultHandler_(id, result);
    }

private:
    PressHandler pressHandler_;
    LateResultHandler lateResultHandler_;
};
