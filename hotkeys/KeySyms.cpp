#include "hotkeys/KeySyms.h"

#include "hotkeys/HotKeyValue.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>
#include <array>

namespace {

struct KeySymEntry {
    std::uint8_t code;
    KeySymOfKey sym;
};

#define KEY(code, sym)                                                                             \
    {                                                                                              \
        code, {                                                                                    \
            XK_##sym, #sym                                                                         \
        }                                                                                          \
    }
#define XF86(code, sym)                                                                            \
    {                                                                                              \
        code, {                                                                                    \
            XF86XK_##sym, "XF86" #sym                                                              \
        }                                                                                          \
    }

// Letters and digits follow from their codes below.
constexpr KeySymEntry kKeySyms[] = {
    KEY(0x08, BackSpace),
    KEY(0x09, Tab),
    KEY(0x0C, Clear),
    KEY(0x0D, Return),
    KEY(0x10, Shift_L),
    KEY(0x11, Control_L),
    KEY(0x12, Alt_L),
    KEY(0x13, Pause),
    KEY(0x14, Caps_Lock),
    KEY(0x1B, Escape),
    KEY(0x20, space),
    KEY(0x21, Prior),
    KEY(0x22, Next),
    KEY(0x23, End),
    KEY(0x24, Home),
    KEY(0x25, Left),
    KEY(0x26, Up),
    KEY(0x27, Right),
    KEY(0x28, Down),
    KEY(0x2C, Print),
    KEY(0x2D, Insert),
    KEY(0x2E, Delete),
    KEY(0x5B, Super_L),
    KEY(0x5C, Super_R),
    KEY(0x5D, Menu),
    KEY(0x60, KP_0),
    KEY(0x61, KP_1),
    KEY(0x62, KP_2),
    KEY(0x63, KP_3),
    KEY(0x64, KP_4),
    KEY(0x65, KP_5),
    KEY(0x66, KP_6),
    KEY(0x67, KP_7),
    KEY(0x68, KP_8),
    KEY(0x69, KP_9),
    KEY(0x6A, KP_Multiply),
    KEY(0x6B, KP_Add),
    KEY(0x6D, KP_Subtract),
    KEY(0x6E, KP_Decimal),
    KEY(0x6F, KP_Divide),
    KEY(0x70, F1),
    KEY(0x71, F2),
    KEY(0x72, F3),
    KEY(0x73, F4),
    KEY(0x74, F5),
    KEY(0x75, F6),
    KEY(0x76, F7),
    KEY(0x77, F8),
    KEY(0x78, F9),
    KEY(0x79, F10),
    KEY(0x7A, F11),
    KEY(0x7B, F12),
    KEY(0x7C, F13),
    KEY(0x7D, F14),
    KEY(0x7E, F15),
    KEY(0x7F, F16),
    KEY(0x80, F17),
    KEY(0x81, F18),
    KEY(0x82, F19),
    KEY(0x83, F20),
    KEY(0x84, F21),
    KEY(0x85, F22),
    KEY(0x86, F23),
    KEY(0x87, F24),
    KEY(0x90, Num_Lock),
    KEY(0x91, Scroll_Lock),
    KEY(0xA0, Shift_L),
    KEY(0xA1, Shift_R),
    KEY(0xA2, Control_L),
    KEY(0xA3, Control_R),
    KEY(0xA4, Alt_L),
    KEY(0xA5, Alt_R),
    XF86(0xA6, Back),
    XF86(0xA7, Forward),
    XF86(0xA8, Refresh),
    XF86(0xA9, Stop),
    XF86(0xAA, Search),
    XF86(0xAB, Favorites),
    XF86(0xAC, HomePage),
    XF86(0xAD, AudioMute),
    XF86(0xAE, AudioLowerVolume),
    XF86(0xAF, AudioRaiseVolume),
    XF86(0xB0, AudioNext),
    XF86(0xB1, AudioPrev),
    XF86(0xB2, AudioStop),
    XF86(0xB3, AudioPlay),
    XF86(0xB4, Mail),
    XF86(0xB5, AudioMedia),
    XF86(0xB6, MyComputer),
    XF86(0xB7, Calculator),
    KEY(0xBA, semicolon),
    KEY(0xBB, equal),
    KEY(0xBC, comma),
    KEY(0xBD, minus),
    KEY(0xBE, period),
    KEY(0xBF, slash),
    KEY(0xC0, grave),
    KEY(0xDB, bracketleft),
    KEY(0xDC, backslash),
    KEY(0xDD, bracketright),
    KEY(0xDE, apostrophe),
    KEY(0xE2, less),
};

#undef KEY
#undef XF86

// Keysym names of digits and small letters are the characters themselves.
constexpr char kDigitsAndLetters[] = "0123456789abcdefghijklmnopqrstuvwxyz";

std::array<KeySymOfKey, 256> BuildTable() {
    std::array<KeySymOfKey, 256> table{};
    for (const auto& entry : kKeySyms)
        table[entry.code] = entry.sym;
    for (std::size_t i = 0; i + 1 < sizeof kDigitsAndLetters; ++i) {
        const char c = kDigitsAndLetters[i];
        const auto code = static_cast<std::uint8_t>(c >= 'a' ? c - 'a' + 'A' : c);
        table[code] = {static_cast<std::uint32_t>(c), std::string_view(&kDigitsAndLetters[i], 1)};
    }
    return table;
}

} // namespace

KeySymOfKey KeySymOf(std::uint8_t virtualKey) {
    static const auto table = BuildTable();
    return table[virtualKey];
}

namespace {

struct ModifierWords {
    const char* ctrl;
    const char* alt;
    const char* shift;
    const char* logo;
};

std::string Trigger(std::uint32_t hotKey, const ModifierWords& words) {
    const KeySymOfKey key = KeySymOf(static_cast<std::uint8_t>(hotKey & 0xFF));
    if (key.keysym == 0)
        return {};
    std::string trigger;
    if (hotKey & HotKeyCtrlBit)
        trigger += words.ctrl;
    if (hotKey & HotKeyAltBit)
        trigger += words.alt;
    if (hotKey & HotKeyShiftBit)
        trigger += words.shift;
    if (hotKey & HotKeyWinBit)
        trigger += words.logo;
    trigger += key.name;
    return trigger;
}

} // namespace

std::string PortalTriggerOf(std::uint32_t hotKey) {
    return Trigger(hotKey, {"CTRL+", "ALT+", "SHIFT+", "LOGO+"});
}

std::string GnomeAcceleratorOf(std::uint32_t hotKey) {
    return Trigger(hotKey, {"<Control>", "<Alt>", "<Shift>", "<Super>"});
}
