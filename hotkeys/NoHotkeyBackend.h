#pragma once
// For sessions without global hotkeys (offscreen, Wayland without the
// portal): every registration fails as unavailable, so the window can say so.

#include "hotkeys/HotkeyBackend.h"
#include "hotkeys/LocalIdentifiers.h"

class NoHotkeyBackend final : public HotkeyBackend {
public:
    HotKeyId identifierFor(const std::string& name) override { return identifiers_.acquire(name); }
    void releaseIdentifier(HotKeyId id) override { identifiers_.release(id); }
    HotkeyRegistration registerHotKey(HotKeyId, std::uint32_t) override {
        return HotkeyRegistration::Unavailable;
    }
    bool unregisterHotKey(HotKeyId) override { return false; }

private:
    LocalIdentifiers identifiers_;
};
