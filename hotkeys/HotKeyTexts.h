#pragma once
// Texts the window needs around hotkeys: what a press is compared with, and
// what the user is told when a combination cannot be had.

#include "hotkeys/HotkeyBackend.h"

#include <cstdint>
#include <string>

// A layout that gives Ctrl and Alt empty names formats Ctrl+Alt+A as "++A";
// such a text is read as "CTRL+ALT+A", the spelling of the hotkey lists.
std::string ExpandUnnamedCtrlAlt(std::string text);

// FormatHotKey(HotKey), expanded as above: compared with the three settings.
std::string PressedHotKeyText(std::uint32_t HotKey);

// The message box text for a combination (as the list shows it) that could
// not be registered: taken by another program, or no hotkeys in this session.
std::string HotKeyFailureMessage(const std::string& text, HotkeyRegistration reason);
