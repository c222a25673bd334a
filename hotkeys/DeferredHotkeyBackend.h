#pragma once
// A backend that takes registrations before the session's real backend is
// known, so that asking the session bus what it offers never holds up the
// window: until resolve() every registration answers Pending; resolve()
// registers them with the real backend and reports each outcome as a late
// result. From then on it passes everything through.

#include "hotkeys/HotkeyBackend.h"
#include "hotkeys/LocalIdentifiers.h"

#include <map>
#include <memory>

class DeferredHotkeyBackend : public HotkeyBackend {
public:
    HotKeyId identifierFor(const std::string& name) override;
    void releaseIdentifier(HotKeyId id) override;
    HotkeyRegistration registerHotKey(HotKeyId id, std::uint32_t value) override;
    bool unregisterHotKey(HotKeyId id) override;
    void setHotKeyAction(std::uint32_t value, HotKeyAction action) override;

    // Call once, from the event loop; real is never null.
    void resolve(std::unique_ptr<HotkeyBackend> real);
    bool resolved() const { return real_ != nullptr; }

private:
    // Our identifier's counterpart in the real backend, made on first use.
    HotKeyId RealId(HotKeyId id);
    HotKeyId OurId(HotKeyId realId) const;

    LocalIdentifiers identifiers_;
    std::map<HotKeyId, std::uint32_t> waiting_; // registered before resolve
    std::map<std::uint32_t, HotKeyAction> actions_;
    std::map<HotKeyId, HotKeyId> realIds_;
    std::unique_ptr<HotkeyBackend> real_;
};
