#include "hotkeys/HotkeyBackendFactory.h"

#include "hotkeys/NoHotkeyBackend.h"
#include "hotkeys/PortalHotkeyBackend.h"
#include "hotkeys/X11HotkeyBackend.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

namespace {

constexpr int kPortalQueryTimeoutMs = 2000;

} // namespace

HotkeyBackendKind ChooseHotkeyBackend(const HotkeySession& session) {
    const bool onXcb = session.platformName == "xcb";
    const bool wayland = session.sessionType == "wayland" || session.waylandDisplay ||
                         session.platformName.rfind("wayland", 0) == 0;
    if (wayland && (onXcb || session.platformName.rfind("wayland", 0) == 0) &&
        session.portalOffersShortcuts && session.portalOffersShortcuts())
        return HotkeyBackendKind::Portal;
    return onXcb ? HotkeyBackendKind::X11 : HotkeyBackendKind::None;
}

std::unique_ptr<HotkeyBackend> makeHotkeyBackend() {
    HotkeySession session;
    session.platformName = QGuiApplication::platformName().toStdString();
    session.sessionType = qEnvironmentVariable("XDG_SESSION_TYPE").toStdString();
    session.waylandDisplay = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    session.portalOffersShortcuts = [] {
        return PortalHotkeyBackend::PortalOffersShortcuts(QDBusConnection::sessionBus(),
                                                          kPortalQueryTimeoutMs);
    };
    switch (ChooseHotkeyBackend(session)) {
    case HotkeyBackendKind::Portal:
        return std::make_unique<PortalHotkeyBackend>();
    case HotkeyBackendKind::X11:
        if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
            xcb_connection_t* connection = x11->connection();
            const xcb_screen_t* screen =
                connection ? xcb_setup_roots_iterator(xcb_get_setup(connection)).data : nullptr;
            if (screen != nullptr)
                return std::make_unique<X11HotkeyBackend>(connection, screen->root);
        }
        break;
    case HotkeyBackendKind::None:
        break;
    }
    return std::make_unique<NoHotkeyBackend>();
}
