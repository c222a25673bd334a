#include "hotkeys/HotKeyTexts.h"

#include "hotkeys/HotKeyValue.h"

std::string ExpandUnnamedCtrlAlt(std::string text) {
    if (text.rfind("++", 0) != 0)
        return text;
    std::string expanded;
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, 2, "++") == 0) {
            expanded += "CTRL+ALT+";
            i += 2;
        } else {
            expanded += text[i++];
        }
    }
    return expanded;
}

std::string PressedHotKeyText(std::uint32_t HotKey) {
    return ExpandUnnamedCtrlAlt(FormatHotKey(HotKey));
}

std::string HotKeyFailureMessage(const std::string& text, HotkeyRegistration reason) {
    const char* why = reason == HotkeyRegistration::Unavailable
                          ? "global hotkeys are not available in this session."
                          : "the hotkey is already used.";
    return "Failed to set HotKey: " + text + "\r\n" + why;
}
