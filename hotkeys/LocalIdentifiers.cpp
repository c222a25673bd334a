#include "hotkeys/LocalIdentifiers.h"

HotKeyId LocalIdentifiers::acquire(const std::string& name) {
    auto [it, added] = byName_.try_emplace(name, Named{next_, 0});
    if (added)
        ++next_;
    ++it->second.references;
    return it->second.id;
}

void LocalIdentifiers::release(HotKeyId id) {
    for (auto it = byName_.begin(); it != byName_.end(); ++it) {
        if (it->second.id == id) {
            if (--it->second.references <= 0)
                byName_.erase(it);
            return;
        }
    }
}

std::string LocalIdentifiers::nameOf(HotKeyId id) const {
    for (const auto& [name, named] : byName_)
        if (named.id == id)
            return name;
    return {};
}

HotKeyId LocalIdentifiers::idOf(const std::string& name) const {
    const auto it = byName_.find(name);
    return it == byName_.end() ? 0 : it->second.id;
}
