#pragma once
// One press per hold of a key. A held key comes back as repeats that are no
// presses: a press while the key is down, and on X11 without detectable
// auto-repeat a release and a press with the same timestamp. A press after a
// real release counts again.

#include "hotkeys/HotkeyBackend.h"

#include <cstdint>
#include <map>
#include <optional>

class KeyRepeatFilter {
public:
    // True for a new press. time: the server's timestamp where it has one.
    bool pressed(HotKeyId id, std::optional<std::uint32_t> time = std::nullopt);
    void released(HotKeyId id, std::optional<std::uint32_t> time = std::nullopt);
    // The key is no longer registered: its next press is a new one.
    void forget(HotKeyId id) { keys_.erase(id); }

private:
    struct Key {
        bool down = false;
        std::optional<std::uint32_t> releasedAt;
    };
    std::map<HotKeyId, Key> keys_;
};
