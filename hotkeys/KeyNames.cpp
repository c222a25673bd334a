#include "hotkeys/KeyNames.h"

#include <array>

namespace {

struct NamedKey {
    std::uint8_t code;
    std::string_view name;
};

// Letters and digits are added by code below; this lists the rest.
constexpr NamedKey kNamedKeys[] = {
    {0x08, "Backspace"},
    {0x09, "Tab"},
    {0x0C, "Num 5"},
    {0x0D, "Enter"},
    {0x10, "Shift"},
    {0x11, "Ctrl"},
    {0x12, "Alt"},
    {0x13, "Pause"},
    {0x14, "Caps Lock"},
    {0x1B, "Esc"},
    {0x20, "Space"},
    {0x21, "Page Up"},
    {0x22, "Page Down"},
    {0x23, "End"},
    {0x24, "Home"},
    {0x25, "Left"},
    {0x26, "Up"},
    {0x27, "Right"},
    {0x28, "Down"},
    {0x2C, "Sys Req"},
    {0x2D, "Insert"},
    {0x2E, "Delete"},
    {0x5B, "Left Windows"},
    {0x5C, "Right Windows"},
    {0x5D, "Application"},
    {0x60, "Num 0"},
    {0x61, "Num 1"},
    {0x62, "Num 2"},
    {0x63, "Num 3"},
    {0x64, "Num 4"},
    {0x65, "Num 5"},
    {0x66, "Num 6"},
    {0x67, "Num 7"},
    {0x68, "Num 8"},
    {0x69, "Num 9"},
    {0x6A, "Num *"},
    {0x6B, "Num +"},
    {0x6D, "Num -"},
    {0x6E, "Num Del"},
    {0x6F, "Num /"},
    {0x70, "F1"},
    {0x71, "F2"},
    {0x72, "F3"},
    {0x73, "F4"},
    {0x74, "F5"},
    {0x75, "F6"},
    {0x76, "F7"},
    {0x77, "F8"},
    {0x78, "F9"},
    {0x79, "F10"},
    {0x7A, "F11"},
    {0x7B, "F12"},
    {0x7C, "F13"},
    {0x7D, "F14"},
    {0x7E, "F15"},
    {0x7F, "F16"},
    {0x80, "F17"},
    {0x81, "F18"},
    {0x82, "F19"},
    {0x83, "F20"},
    {0x84, "F21"},
    {0x85, "F22"},
    {0x86, "F23"},
    {0x87, "F24"},
    {0x90, "Num Lock"},
    {0x91, "Scroll Lock"},
    {0xA0, "Shift"},
    {0xA1, "Right Shift"},
    {0xA2, "Ctrl"},
    {0xA3, "Ctrl"},
    {0xA4, "Alt"},
    {0xA5, "Alt"},
    {0xBA, ";"},
    {0xBB, "="},
    {0xBC, ","},
    {0xBD, "-"},
    {0xBE, "."},
    {0xBF, "/"},
    {0xC0, "`"},
    {0xDB, "["},
    {0xDC, "\\"},
    {0xDD, "]"},
    {0xDE, "'"},
    {0xE2, "\\"},
};

constexpr std::string_view kMediaKeyNames[] = {
    "Browser Back",        "Browser Forward",     "Browser Refresh",    "Browser Stop",
    "Browser Search",      "Browser Favorites",   "Browser Start/Home", "Volume Mute",
    "Volume Down",         "Volume Up",           "Next Track",         "Previous Track",
    "Stop Media",          "Play/Pause Media",    "Start Mail",         "Select Media",
    "Start Application 1", "Start Application 2",
};

constexpr char kLettersAndDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

std::array<std::string_view, 256> BuildNameTable() {
    std::array<std::string_view, 256> table{};
    for (const auto& key : kNamedKeys)
        table[key.code] = key.name;
    for (std::size_t i = 0; i + 1 < sizeof kLettersAndDigits; ++i) {
        const auto code = static_cast<unsigned char>(kLettersAndDigits[i]);
        table[code] = std::string_view(&kLettersAndDigits[i], 1);
    }
    return table;
}

} // namespace

std::string_view KeyNameOf(std::uint8_t virtualKey) {
    static const auto table = BuildNameTable();
    return table[virtualKey];
}

std::string_view MediaKeyNameOf(std::uint8_t virtualKey) {
    if (virtualKey < 0xA6 || virtualKey > 0xB7)
        return {};
    return kMediaKeyNames[virtualKey - 0xA6];
}
