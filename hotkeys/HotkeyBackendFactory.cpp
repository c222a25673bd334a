#include "hotkeys/HotkeyBackendFactory.h"

#include "hotkeys/DeferredHotkeyBackend.h"
#include "hotkeys/GnomeHotkeyBackend.h"
#include "hotkeys/HotkeySessionProbe.h"
#include "hotkeys/KdeHotkeyBackend.h"
#include "hotkeys/NoHotkeyBackend.h"
#include "hotkeys/PortalHotkeyBackend.h"
#include "hotkeys/X11HotkeyBackend.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

namespace {

std::unique_ptr<HotkeyBackend> MakeX11Backend() {
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        xcb_connection_t* connection = x11->connection();
        const xcb_screen_t* screen =
            connection ? xcb_setup_roots_iterator(xcb_get_setup(connection)).data : nullptr;
        if (screen != nullptr)
            return std::make_unique<X11HotkeyBackend>(connection, screen->root);
    }
    return std::make_unique<NoHotkeyBackend>();
}

std::unique_ptr<HotkeyBackend> MakeBackend(HotkeyBackendKind kind, const QDBusConnection& bus) {
    switch (kind) {
    case HotkeyBackendKind::X11:
        return MakeX11Backend();
    case HotkeyBackendKind::Portal:
        return std::make_unique<PortalHotkeyBackend>(bus);
    case HotkeyBackendKind::Kde:
        return std::make_unique<KdeHotkeyBackend>(bus);
    case HotkeyBackendKind::Gnome:
        return std::make_unique<GnomeHotkeyBackend>(
            QCoreApplication::applicationFilePath().toStdString());
    case HotkeyBackendKind::None:
        break;
    }
    return std::make_unique<NoHotkeyBackend>();
}

// Settles its registrations when the probe has answered.
class ProbedHotkeyBackend final : public DeferredHotkeyBackend {
public:
    ProbedHotkeyBackend(QDBusConnection bus, HotkeySession session, int timeoutMs)
        : probe_(bus, std::move(session), timeoutMs, [this, bus](const HotkeySession& answered) {
              resolve(MakeBackend(ChooseHotkeyBackend(answered), bus));
          }) {}

private:
    HotkeySessionProbe probe_;
};

} // namespace

HotkeySession LocalHotkeySession() {
    HotkeySession session;
    session.platformName = QGuiApplication::platformName().toStdString();
    session.sessionType = qEnvironmentVariable("XDG_SESSION_TYPE").toStdString();
    session.waylandDisplay = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    session.currentDesktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toStdString();
    if (HotkeyChoiceNeedsProbe(session))
        session.gnomeKeybindings = GnomeHotkeyBackend::Available();
    return session;
}

std::unique_ptr<HotkeyBackend> makeHotkeyBackend(QDBusConnection bus, int probeTimeoutMs) {
    return makeHotkeyBackend(LocalHotkeySession(), std::move(bus), probeTimeoutMs);
}

std::unique_ptr<HotkeyBackend> makeHotkeyBackend(HotkeySession session, QDBusConnection bus,
                                                 int probeTimeoutMs) {
    if (!HotkeyChoiceNeedsProbe(session) || !bus.isConnected())
        return MakeBackend(ChooseHotkeyBackend(session), bus);
    return std::make_unique<ProbedHotkeyBackend>(std::move(bus), std::move(session),
                                                 probeTimeoutMs);
}
