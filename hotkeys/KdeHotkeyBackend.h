#pragma once
// Global hotkeys through KDE's global-shortcut service (Plasma, on X11 and
// Wayland alike): one component, "tovaline", with one action per window
// action ("record", "pause", "stop"), each given its key as a Qt key code.
// The service answers later, so registrations answer Pending; a key it gives
// to another component comes back as taken. Released keys, and at exit every
// action, are unregistered.

#include "hotkeys/HotkeyBackend.h"
#include "hotkeys/KeyRepeatFilter.h"
#include "hotkeys/LocalIdentifiers.h"

#include <QDBusConnection>
#include <QObject>
#include <map>

class QDBusMessage;

class KdeHotkeyBackend final : public QObject, public HotkeyBackend {
    Q_OBJECT
public:
    explicit KdeHotkeyBackend(QDBusConnection bus = QDBusConnection::sessionBus());
    ~KdeHotkeyBackend() override;

    HotKeyId identifierFor(const std::string& name) override;
    void releaseIdentifier(HotKeyId id) override;
    HotkeyRegistration registerHotKey(HotKeyId id, std::uint32_t value) override;
    bool unregisterHotKey(HotKeyId id) override;
    void setHotKeyAction(std::uint32_t value, HotKeyAction action) override;

    // The Qt key code KDE's service takes for a hotkey value; 0 for keys it
    // has none for.
    static int QtKeyOf(std::uint32_t value);

private slots:
    void OnPressed(const QString& component, const QString& action, qlonglong timestamp);
    void OnReleased(const QString& component, const QString& action, qlonglong timestamp);

private:
    struct Registration {
        std::uint32_t value;
        QString action;
        int qtKey;
    };
    void Listen(bool on);
    HotKeyId OwnerOf(const QString& component, const QString& action) const;
    void Unregister(const QString& action);

    QDBusConnection bus_;
    LocalIdentifiers identifiers_;
    KeyRepeatFilter repeats_;
    std::map<std::uint32_t, QString> actions_;
    std::map<HotKeyId, Registration> registrations_;
    // The registration each action's key belongs to: an action has one key.
    std::map<QString, HotKeyId> owners_;
};
