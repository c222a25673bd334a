#pragma once
// Which hotkey backend a session gets, decided over the facts the session
// shows; no Qt, no bus.

#include <string>

enum class HotkeyBackendKind { X11, Portal, Kde, Gnome, None };

struct HotkeySession {
    std::string platformName;    // QGuiApplication::platformName()
    std::string sessionType;     // XDG_SESSION_TYPE
    bool waylandDisplay = false; // WAYLAND_DISPLAY set
    std::string currentDesktop;  // XDG_CURRENT_DESKTOP, ':'-separated
    // What the session bus answered; only asked where it matters.
    bool portalOffersShortcuts = false; // GlobalShortcuts on the desktop portal
    bool kdeGlobalAccel = false;        // org.kde.kglobalaccel
    bool gnomeKeybindings = false;      // GNOME's media-keys schema is installed
};

bool IsWaylandSession(const HotkeySession& session);

// Whether the choice waits for the session bus's answers: only a Wayland
// session does, and only where Qt runs on a real display.
bool HotkeyChoiceNeedsProbe(const HotkeySession& session);

// X11 sessions: grabs. Wayland sessions never take X11 grabs (through
// XWayland they see only keys sent to X11 windows); in this order the portal,
// KDE's service, GNOME's custom keybindings (on GNOME only), else none.
// Anything else (offscreen): none.
HotkeyBackendKind ChooseHotkeyBackend(const HotkeySession& session);
