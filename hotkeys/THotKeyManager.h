#pragma once
// The program's global hotkeys: one entry per combination it registered, in
// order of registration, each under the identifier of its name.

#include "hotkeys/HotkeyBackend.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct THotKeyEntry {
    std::uint32_t HotKey;
    HotKeyId Index;
};

using TOnHotKeyPressed = std::function<void(std::uint32_t HotKey, HotKeyId Index)>;
// A registration that AddHotKey accepted as pending and the system refused
// later; the entry has already left the list when this is called.
using TOnHotKeyRefused = std::function<void(std::uint32_t HotKey, HotkeyRegistration Reason)>;

class THotKeyManager {
public:
    explicit THotKeyManager(std::unique_ptr<HotkeyBackend> backend);
    ~THotKeyManager();
    THotKeyManager(const THotKeyManager&) = delete;
    THotKeyManager& operator=(const THotKeyManager&) = delete;

    // The identifier, or 0 on failure (LastFailure says why). A registration
    // the system answers later counts as made until OnHotKeyRefused says not.
    HotKeyId AddHotKey(std::uint32_t HotKey);
    HotKeyId ChangeHotKey(HotKeyId Index, std::uint32_t NewHotKey);
    // The entry leaves the list even when the system refuses to release it.
    bool RemoveHotKey(std::uint32_t HotKey);
    bool RemoveHotKeyByIndex(HotKeyId Index);
    void ClearHotKeys();
    bool HotKeyValid(std::uint32_t HotKey);
    // Which of the window's actions the combination serves, for backends that
    // show the user named actions; told before AddHotKey.
    void SetHotKeyAction(std::uint32_t HotKey, HotKeyAction Action) {
        backend_->setHotKeyAction(HotKey, Action);
    }

    // Taken or Unavailable: why the last AddHotKey returned 0.
    HotkeyRegistration LastFailure() const { return lastFailure_; }
    const std::vector<THotKeyEntry>& HotKeyList() const { return hotKeyList_; }

    TOnHotKeyPressed OnHotKeyPressed;
    TOnHotKeyRefused OnHotKeyRefused;

private:
    using EntryIterator = std::vector<THotKeyEntry>::iterator;
    bool RemoveEntry(EntryIterator entry);
    void HandlePress(HotKeyId id);
    void HandleLateResult(HotKeyId id, HotkeyRegistration result);

    std::unique_ptr<HotkeyBackend> backend_;
    std::vector<THotKeyEntry> hotKeyList_;
    HotkeyRegistration lastFailure_ = HotkeyRegistration::Taken;
};

// The name whose identifier a combination is registered under.
std::string HotKeyIdentifierName(std::uint32_t HotKey);
