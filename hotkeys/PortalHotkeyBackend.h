#pragma once
// Global hotkeys through the desktop portal (Wayland): one GlobalShortcuts
// session for the process; every change binds the whole set again, since
// BindShortcuts answers for the set it is given. The portal may ask the user
// first, so registrations answer Pending and the outcome arrives later.

#include "hotkeys/HotkeyBackend.h"
#include "hotkeys/KeyRepeatFilter.h"
#include "hotkeys/LocalIdentifiers.h"

#include <QDBusConnection>
#include <QObject>
#include <map>

class QDBusMessage;
class QDBusPendingCall;

class PortalHotkeyBackend final : public QObject, public HotkeyBackend {
    Q_OBJECT
public:
    explicit PortalHotkeyBackend(QDBusConnection bus = QDBusConnection::sessionBus());
    ~PortalHotkeyBackend() override;

    HotKeyId identifierFor(const std::string& name) override;
    void releaseIdentifier(HotKeyId id) override;
    HotkeyRegistration registerHotKey(HotKeyId id, std::uint32_t value) override;
    bool unregisterHotKey(HotKeyId id) override;

    // Whether the bus has a portal that offers global shortcuts.
    static bool PortalOffersShortcuts(QDBusConnection bus, int timeoutMs);

private slots:
    void OnRequestResponse(const QDBusMessage& message);
    void OnActivated(const QDBusMessage& message);
    void OnDeactivated(const QDBusMessage& message);

private:
    struct Shortcut {
        std::string name;
        std::uint32_t value;
        bool pending;
        std::uint64_t generation;
    };
    enum class SessionState { None, Creating, Ready };

    // The registered shortcut a signal of our session names; 0 for others.
    HotKeyId ShortcutOf(const QDBusMessage& message) const;
    void Update();
    void CreateSession();
    void BindShortcuts();
    QString WatchRequest(const QString& token);
    void StopWatching(QString& requestPath);
    void FollowRequest(QString& requestPath, const QDBusPendingCall& call);
    using Answered = void (PortalHotkeyBackend::*)(uint response, const QVariantMap& results);
    void SendRequest(QString& requestPath, const QString& token, const QDBusMessage& call,
                     Answered answered);
    void SessionCreated(uint response, const QVariantMap& results);
    void ShortcutsBound(uint response, const QVariantMap& results);
    // Settles pending shortcuts from the sent set and tells the owner.
    void Settle(const std::map<HotKeyId, std::uint64_t>& sent, uint response,
                const QStringList* boundNames, HotkeyRegistration refusal);

    QDBusConnection bus_;
    LocalIdentifiers identifiers_;
    KeyRepeatFilter repeats_;
    std::map<HotKeyId, Shortcut> shortcuts_;
    SessionState session_ = SessionState::None;
    QString sessionHandle_;
    QString sessionRequest_;
    QString bindRequest_;
    std::map<HotKeyId, std::uint64_t> sentForBinding_;
    bool bindingOutdated_ = false;
    std::uint64_t nextGeneration_ = 1;
    unsigned tokenCounter_ = 0;
};
