#pragma once
// The hotkey backend of the running session.

#include "hotkeys/HotkeyBackend.h"
#include "hotkeys/HotkeyBackendChoice.h"

#include <QDBusConnection>
#include <memory>

// The session's facts that need no bus: the Qt platform and the environment.
HotkeySession LocalHotkeySession();

// Needs the QGuiApplication (or QApplication) to exist; call on the UI thread.
// An X11 session gets its grabs at once. A Wayland session gets a backend that
// takes registrations at once and settles them once the bus has told what the
// session offers (within probeTimeoutMs), so start-up never waits for it.
std::unique_ptr<HotkeyBackend>
makeHotkeyBackend(QDBusConnection bus = QDBusConnection::sessionBus(), int probeTimeoutMs = 2000);
// The same for a session of the caller's description.
std::unique_ptr<HotkeyBackend> makeHotkeyBackend(HotkeySession session, QDBusConnection bus,
                                                 int probeTimeoutMs);
