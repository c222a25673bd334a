#pragma once
// Picks the hotkey backend of the running session.

#include "hotkeys/HotkeyBackend.h"

#include <functional>
#include <memory>
#include <string>

enum class HotkeyBackendKind { X11, Portal, None };

struct HotkeySession {
    std::string platformName;                    // QGuiApplication::platformName()
    std::string sessionType;                     // XDG_SESSION_TYPE
    bool waylandDisplay = false;                 // WAYLAND_DISPLAY set
    std::function<bool()> portalOffersShortcuts; // asked only when it matters
};

// Wayland: the portal when it offers shortcuts (it sees every key), else X11
// grabs when Qt runs on XWayland (they see keys only over X windows), else
// none. Qt on X11: grabs. Anything else (offscreen): none.
HotkeyBackendKind ChooseHotkeyBackend(const HotkeySession& session);

// Needs the QGuiApplication (or QApplication) to exist; call on the UI thread.
std::unique_ptr<HotkeyBackend> makeHotkeyBackend();
