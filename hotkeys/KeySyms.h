#pragma once
// X keysyms of Windows virtual-key codes, for the X11 grabs and for the
// triggers the desktop portal understands (keysym names, xkbcommon style).

#include <cstdint>
#include <string>
#include <string_view>

struct KeySymOfKey {
    std::uint32_t keysym = 0; // 0: the code has no key here
    std::string_view name;
};

KeySymOfKey KeySymOf(std::uint8_t virtualKey);

// "CTRL+ALT+r" for 0xC052; empty when the key has no keysym.
std::string PortalTriggerOf(std::uint32_t hotKey);
// "<Control><Alt>r" for 0xC052, as GNOME writes accelerators; empty when the
// key has no keysym.
std::string GnomeAcceleratorOf(std::uint32_t hotKey);
