#pragma once
// English display names of Windows virtual-key codes, as an English keyboard
// layout names its keys.

#include <cstdint>
#include <string_view>

// Empty when the key has no name of its own (as for a key without scan code).
std::string_view KeyNameOf(std::uint8_t virtualKey);

// The name of a media or browser key, 0xA6 to 0xB7; empty for other codes.
std::string_view MediaKeyNameOf(std::uint8_t virtualKey);
