#include "hotkeys/PortalHotkeyBackend.h"

#include "hotkeys/HotKeyValue.h"
#include "hotkeys/KeySyms.h"
#include "hotkeys/PortalShortcut.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <vector>

namespace {

constexpr uint kResponseFailed = 2; // the portal's "ended some other way"

QVariantMap ResultsOf(const QDBusMessage& message) {
    if (message.arguments().size() < 2)
        return {};
    return qdbus_cast<QVariantMap>(message.arguments().at(1));
}

} // namespace

PortalHotkeyBackend::PortalHotkeyBackend(QDBusConnection bus) : bus_(std::move(bus)) {
    RegisterPortalShortcutTypes();
    // Activations of other sessions are told apart by their session handle.
    bus_.connect(kPortalService, kPortalPath, kGlobalShortcutsInterface,
                 QStringLiteral("Activated"), this, SLOT(OnActivated(QDBusMessage)));
    bus_.connect(kPortalService, kPortalPath, kGlobalShortcutsInterface,
                 QStringLiteral("Deactivated"), this, SLOT(OnDeactivated(QDBusMessage)));
}

PortalHotkeyBackend::~PortalHotkeyBackend() {
    StopWatching(sessionRequest_);
    StopWatching(bindRequest_);
    if (session_ == SessionState::Ready) {
        // Closing the session releases every shortcut bound in it.
        bus_.call(QDBusMessage::createMethodCall(kPortalService, sessionHandle_,
                                                 QStringLiteral("org.freedesktop.portal.Session"),
                                                 QStringLiteral("Close")),
                  QDBus::NoBlock);
    }
    bus_.disconnect(kPortalService, kPortalPath, kGlobalShortcutsInterface,
                    QStringLiteral("Activated"), this, SLOT(OnActivated(QDBusMessage)));
    bus_.connect(kPortalService, kPortalPath, kGlobalShortcutsInterface,
                 QStringLiteral("Deactivated"), this, SLOT(OnDeactivated(QDBusMessage)));
}

bool PortalHotkeyBackend::PortalOffersShortcuts(QDBusConnection bus, int timeoutMs) {
    if (!bus.isConnected())
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        kPortalService, kPortalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << QString::fromLatin1(kGlobalShortcutsInterface) << QStringLiteral("version");
    const QDBusMessage reply = bus.call(get, QDBus::Block, timeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

HotKeyId PortalHotkeyBackend::identifierFor(const std::string& name) {
    return identifiers_.acquire(name);
}

void PortalHotkeyBackend::releaseIdentifier(HotKeyId id) {
    identifiers_.release(id);
}

HotkeyRegistration PortalHotkeyBackend::registerHotKey(HotKeyId id, std::uint32_t value) {
    const std::string name = identifiers_.nameOf(id);
    if (name.empty() || shortcuts_.count(id) != 0 || PortalTriggerOf(value).empty())
        return HotkeyRegistration::Taken;
    if (!bus_.isConnected())
        return HotkeyRegistration::Unavailable;
    shortcuts_[id] = {name, value, true, nextGeneration_++};
    bindingOutdated_ = true;
    Update();
    return HotkeyRegistration::Pending;
}

bool PortalHotkeyBackend::unregisterHotKey(HotKeyId id) {
    if (shortcuts_.erase(id) == 0)
        return false;
    repeats_.forget(id);
    bindingOutdated_ = true;
    Update();
    return true;
}

void PortalHotkeyBackend::Update() {
    if (!bindingOutdated_)
        return;
    if (session_ == SessionState::None) {
        if (!shortcuts_.empty())
            CreateSession();
        return;
    }
    if (session_ == SessionState::Ready && bindRequest_.isEmpty())
        BindShortcuts();
}

QString PortalHotkeyBackend::WatchRequest(const QString& token) {
    // Watch before calling: the answer may come before the call returns.
    const QString path = PortalObjectPath(QStringLiteral("request"), bus_.baseService(), token);
    bus_.connect(kPortalService, path, kRequestInterface, QStringLiteral("Response"), this,
                 SLOT(OnRequestResponse(QDBusMessage)));
    return path;
}

void PortalHotkeyBackend::StopWatching(QString& requestPath) {
    if (requestPath.isEmpty())
        return;
    bus_.disconnect(kPortalService, requestPath, kRequestInterface, QStringLiteral("Response"),
                    this, SLOT(OnRequestResponse(QDBusMessage)));
    requestPath.clear();
}

void PortalHotkeyBackend::FollowRequest(QString& requestPath, const QDBusPendingCall& call) {
    // Older portals chose the request path themselves; watch the one they named.
    const QString actual = QDBusPendingReply<QDBusObjectPath>(call).value().path();
    if (actual.isEmpty() || actual == requestPath)
        return;
    StopWatching(requestPath);
    bus_.connect(kPortalService, actual, kRequestInterface, QStringLiteral("Response"), this,
                 SLOT(OnRequestResponse(QDBusMessage)));
    requestPath = actual;
}

// The request is watched before it is sent: a portal may answer at once.
void PortalHotkeyBackend::SendRequest(QString& requestPath, const QString& token,
                                      const QDBusMessage& call, Answered answered) {
    requestPath = WatchRequest(token);
    const QString request = requestPath;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, &requestPath, request, answered](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (requestPath != request) // answered already, or a newer request
                    return;
                if (finished->isError()) {
                    StopWatching(requestPath);
                    (this->*answered)(kResponseFailed, {});
                } else {
                    FollowRequest(requestPath, *finished);
                }
            });
}

void PortalHotkeyBackend::CreateSession() {
    session_ = SessionState::Creating;
    const QString token = QStringLiteral("tovaline%1").arg(++tokenCounter_);
    QDBusMessage call = QDBusMessage::createMethodCall(
        kPortalService, kPortalPath, kGlobalShortcutsInterface, QStringLiteral("CreateSession"));
    call << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("session_handle_token"), token}};
    SendRequest(sessionRequest_, token, call, &PortalHotkeyBackend::SessionCreated);
}

void PortalHotkeyBackend::BindShortcuts() {
    bindingOutdated_ = false;
    sentForBinding_.clear();
    PortalShortcutList list;
    for (const auto& [id, shortcut] : shortcuts_) {
        list.append({QString::fromStdString(shortcut.name),
                     {{QStringLiteral("description"),
                       QStringLiteral("Tovaline %1")
                           .arg(QString::fromStdString(FormatHotKey(shortcut.value)))},
                      {QStringLiteral("preferred_trigger"),
                       QString::fromStdString(PortalTriggerOf(shortcut.value))}}});
        if (shortcut.pending)
            sentForBinding_[id] = shortcut.generation;
    }
    const QString token = QStringLiteral("tovaline%1").arg(++tokenCounter_);
    QDBusMessage call = QDBusMessage::createMethodCall(
        kPortalService, kPortalPath, kGlobalShortcutsInterface, QStringLiteral("BindShortcuts"));
    call << QVariant::fromValue(QDBusObjectPath(sessionHandle_)) << QVariant::fromValue(list)
         << QString() << QVariantMap{{QStringLiteral("handle_token"), token}};
    SendRequest(bindRequest_, token, call, &PortalHotkeyBackend::ShortcutsBound);
}

void PortalHotkeyBackend::OnRequestResponse(const QDBusMessage& message) {
    const uint response = message.arguments().value(0).toUInt();
    if (message.path() == sessionRequest_) {
        StopWatching(sessionRequest_);
        SessionCreated(response, ResultsOf(message));
    } else if (message.path() == bindRequest_) {
        StopWatching(bindRequest_);
        ShortcutsBound(response, ResultsOf(message));
    }
}

void PortalHotkeyBackend::SessionCreated(uint response, const QVariantMap& results) {
    if (response != 0) {
        // No session: nothing can be bound until the next registration asks again.
        session_ = SessionState::None;
        std::map<HotKeyId, std::uint64_t> pending;
        for (const auto& [id, shortcut] : shortcuts_)
            pending[id] = shortcut.generation;
        Settle(pending, response, nullptr,
               response == kResponseFailed ? HotkeyRegistration::Unavailable
                                           : HotkeyRegistration::Taken);
        return;
    }
    sessionHandle_ = results.value(QStringLiteral("session_handle")).toString();
    session_ = SessionState::Ready;
    bindingOutdated_ = true;
    Update();
}

void PortalHotkeyBackend::ShortcutsBound(uint response, const QVariantMap& results) {
    const std::map<HotKeyId, std::uint64_t> sent = std::move(sentForBinding_);
    sentForBinding_.clear();
    QStringList bound;
    const bool listed = results.contains(QStringLiteral("shortcuts"));
    if (listed) {
        PortalShortcutList list;
        results.value(QStringLiteral("shortcuts")).value<QDBusArgument>() >> list;
        for (const PortalShortcut& shortcut : list)
            bound.append(shortcut.id);
    }
    Settle(sent, response, listed ? &bound : nullptr, HotkeyRegistration::Taken);
    Update();
}

void PortalHotkeyBackend::Settle(const std::map<HotKeyId, std::uint64_t>& sent, uint response,
                                 const QStringList* boundNames, HotkeyRegistration refusal) {
    std::vector<std::pair<HotKeyId, HotkeyRegistration>> outcomes;
    for (const auto& [id, generation] : sent) {
        const auto it = shortcuts_.find(id);
        // Removed or registered anew since this request was sent: not its answer.
        if (it == shortcuts_.end() || it->second.generation != generation || !it->second.pending)
            continue;
        const bool accepted =
            response == 0 && (boundNames == nullptr ||
                              boundNames->contains(QString::fromStdString(it->second.name)));
        if (accepted) {
            it->second.pending = false;
            outcomes.emplace_back(id, HotkeyRegistration::Registered);
        } else {
            shortcuts_.erase(it);
            outcomes.emplace_back(id, refusal);
        }
    }
    // The owner may register or release from its handler: tell it last.
    for (const auto& [id, outcome] : outcomes)
        notifyLateResult(id, outcome);
}

HotKeyId PortalHotkeyBackend::ShortcutOf(const QDBusMessage& message) const {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 2)
        return 0;
    if (session_ != SessionState::Ready ||
        arguments.at(0).value<QDBusObjectPath>().path() != sessionHandle_)
        return 0;
    const HotKeyId id = identifiers_.idOf(arguments.at(1).toString().toStdString());
    return id != 0 && shortcuts_.count(id) != 0 ? id : 0;
}

void PortalHotkeyBackend::OnActivated(const QDBusMessage& message) {
    // A portal may repeat Activated while the key is held.
    const HotKeyId id = ShortcutOf(message);
    if (id != 0 && repeats_.pressed(id))
        notifyPressed(id);
}

void PortalHotkeyBackend::OnDeactivated(const QDBusMessage& message) {
    if (const HotKeyId id = ShortcutOf(message))
        repeats_.released(id);
}
