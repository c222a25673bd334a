#include "hotkeys/HotkeyBackendChoice.h"

#include <string_view>

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool OnRealDisplay(const HotkeySession& session) {
    return session.platformName == "xcb" || StartsWith(session.platformName, "wayland");
}

bool DesktopIsGnome(std::string_view desktops) {
    while (!desktops.empty()) {
        const size_t end = desktops.find(':');
        if (desktops.substr(0, end) == "GNOME")
            return true;
        if (end == std::string_view::npos)
            break;
        desktops.remove_prefix(end + 1);
    }
    return false;
}

} // namespace

bool IsWaylandSession(const HotkeySession& session) {
    return session.sessionType == "wayland" || session.waylandDisplay ||
           StartsWith(session.platformName, "wayland");
}

bool HotkeyChoiceNeedsProbe(const HotkeySession& session) {
    return IsWaylandSession(session) && OnRealDisplay(session);
}

HotkeyBackendKind ChooseHotkeyBackend(const HotkeySession& session) {
    if (!OnRealDisplay(session))
        return HotkeyBackendKind::None;
    if (!IsWaylandSession(session))
        return session.platformName == "xcb" ? HotkeyBackendKind::X11 : HotkeyBackendKind::None;
    if (session.portalOffersShortcuts)
        return HotkeyBackendKind::Portal;
    if (session.kdeGlobalAccel)
        return HotkeyBackendKind::Kde;
    if (session.gnomeKeybindings && DesktopIsGnome(session.currentDesktop))
        return HotkeyBackendKind::Gnome;
    return HotkeyBackendKind::None;
}
