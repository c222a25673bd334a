#include "hotkeys/DeferredHotkeyBackend.h"

HotKeyId DeferredHotkeyBackend::identifierFor(const std::string& name) {
    return identifiers_.acquire(name);
}

void DeferredHotkeyBackend::releaseIdentifier(HotKeyId id) {
    const std::string name = identifiers_.nameOf(id);
    identifiers_.release(id);
    if (!name.empty() && identifiers_.idOf(name) == 0) {
        if (const auto real = realIds_.find(id); real != realIds_.end()) {
            real_->releaseIdentifier(real->second);
            realIds_.erase(real);
        }
    }
}

HotKeyId DeferredHotkeyBackend::RealId(HotKeyId id) {
    if (const auto real = realIds_.find(id); real != realIds_.end())
        return real->second;
    const HotKeyId realId = real_->identifierFor(identifiers_.nameOf(id));
    if (realId != 0)
        realIds_[id] = realId;
    return realId;
}

HotKeyId DeferredHotkeyBackend::OurId(HotKeyId realId) const {
    for (const auto& [ours, theirs] : realIds_)
        if (theirs == realId)
            return ours;
    return 0;
}

HotkeyRegistration DeferredHotkeyBackend::registerHotKey(HotKeyId id, std::uint32_t value) {
    if (identifiers_.nameOf(id).empty())
        return HotkeyRegistration::Taken;
    if (!real_) {
        if (!waiting_.emplace(id, value).second)
            return HotkeyRegistration::Taken;
        return HotkeyRegistration::Pending;
    }
    const HotKeyId realId = RealId(id);
    return realId == 0 ? HotkeyRegistration::Unavailable : real_->registerHotKey(realId, value);
}

bool DeferredHotkeyBackend::unregisterHotKey(HotKeyId id) {
    if (waiting_.erase(id) != 0)
        return true;
    if (!real_)
        return false;
    const auto real = realIds_.find(id);
    return real != realIds_.end() && real_->unregisterHotKey(real->second);
}

void DeferredHotkeyBackend::setHotKeyAction(std::uint32_t value, HotKeyAction action) {
    if (real_)
        real_->setHotKeyAction(value, action);
    else
        actions_[value] = action;
}

void DeferredHotkeyBackend::resolve(std::unique_ptr<HotkeyBackend> real) {
    if (real_ || !real)
        return;
    real_ = std::move(real);
    real_->setPressHandler([this](HotKeyId realId) {
        if (const HotKeyId id = OurId(realId))
            notifyPressed(id);
    });
    real_->setLateResultHandler([this](HotKeyId realId, HotkeyRegistration result) {
        if (const HotKeyId id = OurId(realId))
            notifyLateResult(id, result);
    });
    for (const auto& [value, action] : actions_)
        real_->setHotKeyAction(value, action);
    actions_.clear();
    // Each outcome is told as it comes: the owner may show a box, and run the
    // event loop, before the next one, and release what still waits.
    while (!waiting_.empty()) {
        const auto [id, value] = *waiting_.begin();
        waiting_.erase(waiting_.begin());
        const HotKeyId realId = RealId(id);
        const HotkeyRegistration result =
            realId == 0 ? HotkeyRegistration::Unavailable : real_->registerHotKey(realId, value);
        if (result != HotkeyRegistration::Pending)
            notifyLateResult(id, result);
    }
}
