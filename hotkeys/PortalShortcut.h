#pragma once
// One shortcut as the desktop portal's GlobalShortcuts interface passes it:
// D-Bus type (sa{sv}), an identifier and its properties.

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

struct PortalShortcut {
    QString id;
    QVariantMap properties;
};
using PortalShortcutList = QList<PortalShortcut>;

Q_DECLARE_METATYPE(PortalShortcut)
Q_DECLARE_METATYPE(PortalShortcutList)

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut);
const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut);

// Once per process, before the first call that carries shortcuts.
void RegisterPortalShortcutTypes();

inline constexpr char kPortalService[] = "org.freedesktop.portal.Desktop";
inline constexpr char kPortalPath[] = "/org/freedesktop/portal/desktop";
inline constexpr char kGlobalShortcutsInterface[] = "org.freedesktop.portal.GlobalShortcuts";
inline constexpr char kRequestInterface[] = "org.freedesktop.portal.Request";

// The object path the portal gives a request or session that a caller with
// this unique bus name created with this token.
QString PortalObjectPath(const QString& kind, const QString& uniqueName, const QString& token);
