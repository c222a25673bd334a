#include "hotkeys/THotKeyManager.h"

#include <algorithm>

std::string HotKeyIdentifierName(std::uint32_t HotKey) {
    return "HotKeyManagerHotKey" + std::to_string(HotKey);
}

THotKeyManager::THotKeyManager(std::unique_ptr<HotkeyBackend> backend)
    : backend_(std::move(backend)) {
    backend_->setPressHandler([this](HotKeyId id) { HandlePress(id); });
    backend_->setLateResultHandler(
        [this](HotKeyId id, HotkeyRegistration result) { HandleLateResult(id, result); });
}

THotKeyManager::~THotKeyManager() {
    ClearHotKeys();
    backend_->setPressHandler({});
    backend_->setLateResultHandler({});
}

HotKeyId THotKeyManager::AddHotKey(std::uint32_t HotKey) {
    const HotKeyId id = backend_->identifierFor(HotKeyIdentifierName(HotKey));
    if (id == 0) {
        lastFailure_ = HotkeyRegistration::Unavailable;
        return 0;
    }
    const HotkeyRegistration result = backend_->registerHotKey(id, HotKey);
    if (result == HotkeyRegistration::Registered || result == HotkeyRegistration::Pending) {
        hotKeyList_.push_back({HotKey, id});
        return id;
    }
    backend_->releaseIdentifier(id);
    lastFailure_ = result;
    return 0;
}

HotKeyId THotKeyManager::ChangeHotKey(HotKeyId Index, std::uint32_t NewHotKey) {
    const bool held = std::any_of(hotKeyList_.begin(), hotKeyList_.end(),
                                  [Index](const THotKeyEntry& e) { return e.Index == Index; });
    if (!held)
        return 0;
    RemoveHotKeyByIndex(Index);
    return AddHotKey(NewHotKey);
}

bool THotKeyManager::RemoveEntry(EntryIterator entry) {
    const HotKeyId id = entry->Index;
    hotKeyList_.erase(entry);
    const bool released = backend_->unregisterHotKey(id);
    backend_->releaseIdentifier(id);
    return released;
}

bool THotKeyManager::RemoveHotKey(std::uint32_t HotKey) {
    const auto entry = std::find_if(hotKeyList_.begin(), hotKeyList_.end(),
                                    [HotKey](const THotKeyEntry& e) { return e.HotKey == HotKey; });
    return entry != hotKeyList_.end() && RemoveEntry(entry);
}

bool THotKeyManager::RemoveHotKeyByIndex(HotKeyId Index) {
    const auto entry = std::find_if(hotKeyList_.begin(), hotKeyList_.end(),
                                    [Index](const THotKeyEntry& e) { return e.Index == Index; });
    return entry != hotKeyList_.end() && RemoveEntry(entry);
}

void THotKeyManager::ClearHotKeys() {
    while (!hotKeyList_.empty())
        RemoveEntry(std::prev(hotKeyList_.end()));
}

bool THotKeyManager::HotKeyValid(std::uint32_t HotKey) {
    const HotKeyId id = backend_->identifierFor(HotKeyIdentifierName(HotKey));
    if (id == 0)
        return false;
    bool valid = true;
    if (backend_->unregisterHotKey(id)) {
        // We hold it: put it back as it was.
        backend_->registerHotKey(id, HotKey);
    } else {
        const HotkeyRegistration result = backend_->registerHotKey(id, HotKey);
        valid = result == HotkeyRegistration::Registered || result == HotkeyRegistration::Pending;
        if (valid)
            backend_->unregisterHotKey(id);
    }
    backend_->releaseIdentifier(id);
    return valid;
}

void THotKeyManager::HandlePress(HotKeyId id) {
    if (!OnHotKeyPressed)
        return;
    const auto entry = std::find_if(hotKeyList_.begin(), hotKeyList_.end(),
                                    [id](const THotKeyEntry& e) { return e.Index == id; });
    if (entry != hotKeyList_.end())
        OnHotKeyPressed(entry->HotKey, id);
}

void THotKeyManager::HandleLateResult(HotKeyId id, HotkeyRegistration result) {
    if (result == HotkeyRegistration::Registered)
        return;
    const auto entry = std::find_if(hotKeyList_.begin(), hotKeyList_.end(),
                                    [id](const THotKeyEntry& e) { return e.Index == id; });
    if (entry == hotKeyList_.end())
        return;
    const std::uint32_t hotKey = entry->HotKey;
    hotKeyList_.erase(entry);
    backend_->releaseIdentifier(id);
    if (OnHotKeyRefused)
        OnHotKeyRefused(hotKey, result);
}
