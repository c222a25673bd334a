#include "hotkeys/KeyRepeatFilter.h"

bool KeyRepeatFilter::pressed(HotKeyId id, std::optional<std::uint32_t> time) {
    Key& key = keys_[id];
    const bool repeat = key.down || (time && key.releasedAt && *key.releasedAt == *time);
    key.down = true;
    key.releasedAt.reset();
    return !repeat;
}

void KeyRepeatFilter::released(HotKeyId id, std::optional<std::uint32_t> time) {
    const auto key = keys_.find(id);
    if (key == keys_.end())
        return;
    key->second.down = false;
    key->second.releasedAt = time;
}
