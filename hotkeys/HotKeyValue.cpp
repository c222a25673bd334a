#include "hotkeys/HotKeyValue.h"

#include "hotkeys/KeyNames.h"

#include <algorithm>
#include <vector>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Trim(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

struct ModifierNames {
    std::string shift = "Shift";
    std::string ctrl = "Ctrl";
    std::string alt = "Alt";
    std::string win = "Win";
};

// Taken from the key-name table the first time anyone asks, as the names of
// the keyboard's own Shift, Ctrl and Alt keys.
const ModifierNames& Names() {
    static const ModifierNames names = [] {
        ModifierNames n;
        n.shift = std::string(KeyNameOf(0x10));
        n.ctrl = std::string(KeyNameOf(0x11));
        n.alt = std::string(KeyNameOf(0x12));
        const bool altAllCapitals =
            std::all_of(n.alt.begin(), n.alt.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
        if (altAllCapitals)
            n.win = "WIN";
        return n;
    }();
    return names;
}

std::vector<std::string> SplitAtPlus(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t plus = text.find('+', start);
        if (plus == std::string::npos)
            plus = text.size();
        std::size_t first = start;
        while (first < plus && IsBlank(text[first]))
            ++first;
        if (first < plus)
            parts.push_back(text.substr(first, plus - first));
        start = plus + 1;
    }
    return parts;
}

std::uint16_t ModifierOf(const std::string& part) {
    const std::string name = Trim(part);
    const ModifierNames& n = Names();
    if (SameIgnoringCase(name, "Shift") || SameIgnoringCase(name, n.shift))
        return MOD_SHIFT;
    if (SameIgnoringCase(name, "Ctrl") || SameIgnoringCase(name, n.ctrl))
        return MOD_CONTROL;
    if (SameIgnoringCase(name, "Alt") || SameIgnoringCase(name, n.alt))
        return MOD_ALT;
    if (SameIgnoringCase(name, "Win") || SameIgnoringCase(name, n.win))
        return MOD_WIN;
    return 0;
}

std::uint16_t KeyByName(const std::string& name) {
    for (std::uint32_t k = 8; k <= 255; ++k) {
        if (SameIgnoringCase(FormatHotKey(k), name))
            return static_cast<std::uint16_t>(k);
    }
    return 0;
}

bool IsModifierName(const std::string& name) {
    const ModifierNames& n = Names();
    for (const std::string_view candidate :
         {std::string_view("Ctrl"), std::string_view(n.ctrl), std::string_view("Alt"),
          std::string_view(n.alt), std::string_view("Shift"), std::string_view(n.shift),
          std::string_view("Win"), std::string_view(n.win)}) {
        if (name == candidate)
            return true;
    }
    return false;
}

std::uint16_t KeyOf(const std::string& part) {
    std::string name = Trim(part);
    if (name.size() == 1) {
        char c = name[0];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))
            return static_cast<std::uint16_t>(c);
        return KeyByName(name);
    }
    // The keypad plus lost its "+" when the text was split.
    if (name == "Num")
        name += " +";
    if (IsModifierName(name))
        return 0;
    return KeyByName(name);
}

} // namespace

const std::string& LocalShiftName() {
    return Names().shift;
}
const std::string& LocalCtrlName() {
    return Names().ctrl;
}
const std::string& LocalAltName() {
    return Names().alt;
}
const std::string& LocalWinName() {
    return Names().win;
}

std::uint32_t ComposeHotKey(std::uint16_t Modifiers, std::uint16_t Key) {
    std::uint32_t bits = 0;
    if (Modifiers & MOD_ALT)
        bits += HotKeyAltBit;
    if (Modifiers & MOD_CONTROL)
        bits += HotKeyCtrlBit;
    if (Modifiers & MOD_SHIFT)
        bits += HotKeyShiftBit;
    if (Modifiers & MOD_WIN)
        bits += HotKeyWinBit;
    return bits + Key;
}

void DecomposeHotKey(std::uint32_t HotKey, std::uint16_t& Modifiers, std::uint16_t& Key) {
    Key = static_cast<std::uint16_t>(HotKey & 0xFF);
    Modifiers = 0;
    if (HotKey & HotKeyWinBit)
        Modifiers |= MOD_WIN;
    if (HotKey & HotKeyAltBit)
        Modifiers |= MOD_ALT;
    if (HotKey & HotKeyCtrlBit)
        Modifiers |= MOD_CONTROL;
    if (HotKey & HotKeyShiftBit)
        Modifiers |= MOD_SHIFT;
}

std::string FormatHotKey(std::uint32_t HotKey) {
    std::string text;
    if (HotKey & HotKeyCtrlBit)
        text += LocalCtrlName() + "+";
    if (HotKey & HotKeyShiftBit)
        text += LocalShiftName() + "+";
    if (HotKey & HotKeyAltBit)
        text += LocalAltName() + "+";
    if (HotKey & HotKeyWinBit)
        text += LocalWinName() + "+";
    const auto key = static_cast<std::uint8_t>(HotKey & 0xFF);
    std::string_view name = KeyNameOf(key);
    if (name.size() <= 1 && key >= 0xA6 && key <= 0xB7)
        name = MediaKeyNameOf(key);
    text += name;
    return text;
}

std::uint32_t ParseHotKey(const std::string& Text) {
    const std::vector<std::string> parts = SplitAtPlus(Text);
    if (parts.empty())
        return 0;
    std::uint16_t modifiers = 0;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        const std::uint16_t modifier = ModifierOf(parts[i]);
        if (modifier == 0) {
            modifiers = 0;
            break;
        }
        modifiers |= modifier;
    }
    if (modifiers == 0 && parts.size() > 1)
        return 0;
    const std::uint16_t key = KeyOf(parts.back());
    if (key == 0)
        return 0;
    return ComposeHotKey(modifiers, key);
}
