#include "hotkeys/KdeHotkeyBackend.h"

#include "hotkeys/HotKeyValue.h"
#include "hotkeys/KdeGlobalAccelNames.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString kComponent = QStringLiteral("tovaline");
const QString kComponentPath = QStringLiteral("/component/tovaline");
// The key is the application's own and present now; nothing is loaded from
// what the service remembered of an earlier run.
constexpr uint kSetPresent = 2;
constexpr uint kNoAutoloading = 4;

QString ActionName(HotKeyAction action) {
    switch (action) {
    case HotKeyAction::Pause:
        return QStringLiteral("pause");
    case HotKeyAction::Stop:
        return QStringLiteral("stop");
    case HotKeyAction::Record:
        break;
    }
    return QStringLiteral("record");
}

QString FriendlyName(const QString& action) {
    if (action == QLatin1String("pause"))
        return QStringLiteral("Pause recording");
    if (action == QLatin1String("stop"))
        return QStringLiteral("Stop recording");
    return QStringLiteral("Start recording");
}

QStringList ActionId(const QString& action) {
    return {kComponent, action, QStringLiteral("Tovaline"), FriendlyName(action)};
}

QDBusMessage ServiceCall(const char* method) {
    return QDBusMessage::createMethodCall(kKdeGlobalAccelService, kKdeGlobalAccelPath,
                                          kKdeGlobalAccelInterface, QString::fromLatin1(method));
}

} // namespace

int KdeHotkeyBackend::QtKeyOf(std::uint32_t value) {
    const int vk = static_cast<int>(value & 0xFF);
    int key = 0;
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        key = vk; // Qt::Key_0.., Qt::Key_A.. share the codes
    else if (vk >= 0x70 && vk <= 0x87)
        key = Qt::Key_F1 + (vk - 0x70);
    else if (vk >= 0x60 && vk <= 0x69)
        key = (Qt::Key_0 + (vk - 0x60)) | Qt::KeypadModifier;
    else {
        static const std::map<int, int> kOthers = {
            {0x08, Qt::Key_Backspace}, {0x09, Qt::Key_Tab},      {0x0D, Qt::Key_Return},
            {0x13, Qt::Key_Pause},     {0x1B, Qt::Key_Escape},   {0x20, Qt::Key_Space},
            {0x21, Qt::Key_PageUp},    {0x22, Qt::Key_PageDown}, {0x23, Qt::Key_End},
            {0x24, Qt::Key_Home},      {0x25, Qt::Key_Left},     {0x26, Qt::Key_Up},
            {0x27, Qt::Key_Right},     {0x28, Qt::Key_Down},     {0x2C, Qt::Key_Print},
            {0x2D, Qt::Key_Insert},    {0x2E, Qt::Key_Delete}};
        const auto other = kOthers.find(vk);
        if (other == kOthers.end())
            return 0;
        key = other->second;
    }
    if (value & HotKeyCtrlBit)
        key |= Qt::ControlModifier;
    if (value & HotKeyAltBit)
        key |= Qt::AltModifier;
    if (value & HotKeyShiftBit)
        key |= Qt::ShiftModifier;
    if (value & HotKeyWinBit)
        key |= Qt::MetaModifier;
    return key;
}

void KdeHotkeyBackend::Listen(bool on) {
    // The service sends pressed and globalShortcutPressed for one press, and
    // repeats while the key is held: only globalShortcutPressed counts.
    using Change = bool (QDBusConnection::*)(const QString&, const QString&, const QString&,
                                             const QString&, QObject*, const char*);
    const Change change = on ? static_cast<Change>(&QDBusConnection::connect)
                             : static_cast<Change>(&QDBusConnection::disconnect);
    (bus_.*change)(kKdeGlobalAccelService, kComponentPath, kKdeComponentInterface,
                   QStringLiteral("globalShortcutPressed"), this,
                   SLOT(OnPressed(QString, QString, qlonglong)));
    (bus_.*change)(kKdeGlobalAccelService, kComponentPath, kKdeComponentInterface,
                   QStringLiteral("globalShortcutReleased"), this,
                   SLOT(OnReleased(QString, QString, qlonglong)));
}

KdeHotkeyBackend::KdeHotkeyBackend(QDBusConnection bus) : bus_(std::move(bus)) {
    Listen(true);
}

KdeHotkeyBackend::~KdeHotkeyBackend() {
    for (const auto& [action, owner] : owners_)
        Unregister(action);
    Listen(false);
}

HotKeyId KdeHotkeyBackend::identifierFor(const std::string& name) {
    return identifiers_.acquire(name);
}

void KdeHotkeyBackend::releaseIdentifier(HotKeyId id) {
    identifiers_.release(id);
}

void KdeHotkeyBackend::setHotKeyAction(std::uint32_t value, HotKeyAction action) {
    actions_[value] = ActionName(action);
}

HotkeyRegistration KdeHotkeyBackend::registerHotKey(HotKeyId id, std::uint32_t value) {
    const int qtKey = QtKeyOf(value);
    if (identifiers_.nameOf(id).empty() || registrations_.count(id) != 0 || qtKey == 0)
        return HotkeyRegistration::Taken;
    const auto named = actions_.find(value);
    const QString action =
        named != actions_.end() ? named->second : ActionName(HotKeyAction::Record);
    // The action's earlier key, if any, gives way: the service keeps one per action.
    if (const auto owner = owners_.find(action); owner != owners_.end())
        registrations_.erase(owner->second);
    registrations_[id] = {value, action, qtKey};
    owners_[action] = id;

    QDBusMessage doRegister = ServiceCall("doRegister");
    doRegister << ActionId(action);
    bus_.call(doRegister, QDBus::NoBlock);
    QDBusMessage setShortcut = ServiceCall("setShortcut");
    setShortcut << ActionId(action) << QVariant::fromValue(QList<int>{qtKey})
                << uint(kSetPresent | kNoAutoloading);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(setShortcut), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, id, qtKey](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const auto registration = registrations_.find(id);
                if (registration == registrations_.end() || registration->second.qtKey != qtKey)
                    return; // released or replaced meanwhile
                const QDBusPendingReply<QList<int>> reply = *w;
                HotkeyRegistration result = HotkeyRegistration::Unavailable;
                if (!reply.isError())
                    result = reply.value().contains(qtKey) ? HotkeyRegistration::Registered
                                                           : HotkeyRegistration::Taken;
                if (result != HotkeyRegistration::Registered) {
                    owners_.erase(registration->second.action);
                    registrations_.erase(registration);
                }
                notifyLateResult(id, result);
            });
    return HotkeyRegistration::Pending;
}

void KdeHotkeyBackend::Unregister(const QString& action) {
    QDBusMessage call = ServiceCall("unregister");
    call << kComponent << action;
    bus_.call(call, QDBus::NoBlock);
}

bool KdeHotkeyBackend::unregisterHotKey(HotKeyId id) {
    const auto registration = registrations_.find(id);
    if (registration == registrations_.end())
        return false;
    const QString action = registration->second.action;
    registrations_.erase(registration);
    repeats_.forget(id);
    if (const auto owner = owners_.find(action); owner != owners_.end() && owner->second == id) {
        owners_.erase(owner);
        Unregister(action);
    }
    return true;
}

HotKeyId KdeHotkeyBackend::OwnerOf(const QString& component, const QString& action) const {
    if (component != kComponent)
        return 0;
    const auto owner = owners_.find(action);
    return owner != owners_.end() ? owner->second : 0;
}

void KdeHotkeyBackend::OnPressed(const QString& component, const QString& action, qlonglong) {
    if (const HotKeyId id = OwnerOf(component, action); id != 0 && repeats_.pressed(id))
        notifyPressed(id);
}

void KdeHotkeyBackend::OnReleased(const QString& component, const QString& action, qlonglong) {
    if (const HotKeyId id = OwnerOf(component, action))
        repeats_.released(id);
}
