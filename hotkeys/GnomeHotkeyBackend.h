#pragma once
// Global hotkeys on GNOME without the portal: GNOME's own custom keyboard
// shortcuts, written through GSettings (so GSETTINGS_BACKEND is honoured).
// One relocatable media-keys entry per window action, appended to the user's
// list of custom keybindings; GNOME runs this program's --record or --stop,
// which reach the running copy through its remote control, so no press ever
// comes through here. An accelerator GNOME already binds is taken. Entries
// are removed when released and at exit; ones a crash left are removed when
// the backend starts.

#include "hotkeys/HotkeyBackend.h"
#include "hotkeys/LocalIdentifiers.h"

#include <map>
#include <string>

class GnomeHotkeyBackend final : public HotkeyBackend {
public:
    // executable: the absolute path of the running program, for the commands.
    explicit GnomeHotkeyBackend(std::string executable);
    ~GnomeHotkeyBackend() override;
    GnomeHotkeyBackend(const GnomeHotkeyBackend&) = delete;
    GnomeHotkeyBackend& operator=(const GnomeHotkeyBackend&) = delete;

    HotKeyId identifierFor(const std::string& name) override;
    void releaseIdentifier(HotKeyId id) override;
    HotkeyRegistration registerHotKey(HotKeyId id, std::uint32_t value) override;
    bool unregisterHotKey(HotKeyId id) override;
    void setHotKeyAction(std::uint32_t value, HotKeyAction action) override;

    // Whether GNOME's media-keys schemas are installed.
    static bool Available();
    // The command an entry runs: the executable, quoted as one shell word
    // when it needs to be, then the verb.
    static std::string CommandFor(const std::string& executable, HotKeyAction action);
    // Whether two accelerators name the same keys ("<Primary><Alt>R" and
    // "<Alt><Control>r" do).
    static bool SameAccelerator(const std::string& a, const std::string& b);

private:
    bool BoundByGnome(const std::string& accelerator) const;
    void RemoveEntry(HotKeyAction action);

    std::string executable_;
    LocalIdentifiers identifiers_;
    std::map<std::uint32_t, HotKeyAction> actions_;
    // The action whose entry each registration wrote; an action has one.
    std::map<HotKeyId, HotKeyAction> registrations_;
};
