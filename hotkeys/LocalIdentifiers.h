#pragma once
// Identifiers for names kept by this process, with reference counts, for
// backends whose system has no server-wide names of its own.

#include "hotkeys/HotkeyBackend.h"

#include <map>
#include <string>

class LocalIdentifiers {
public:
    HotKeyId acquire(const std::string& name);
    void release(HotKeyId id);
    // Empty when id is not in use.
    std::string nameOf(HotKeyId id) const;
    HotKeyId idOf(const std::string& name) const;

private:
    struct Named {
        HotKeyId id;
        int references;
    };
    std::map<std::string, Named> byName_;
    HotKeyId next_ = 1;
};
