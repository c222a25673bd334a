#pragma once
// The hotkey value and its text form. A value keeps a Windows virtual-key code
// in bits 0-7 plus modifier bits, so config.xml files move between systems
// unchanged; key names are the English names of those codes.

#include <cstdint>
#include <string>

// Modifier set of a registration.
inline constexpr std::uint16_t MOD_ALT = 1;
inline constexpr std::uint16_t MOD_CONTROL = 2;
inline constexpr std::uint16_t MOD_SHIFT = 4;
inline constexpr std::uint16_t MOD_WIN = 8;

// Modifier bits of a hotkey value.
inline constexpr std::uint32_t HotKeyShiftBit = 0x2000;
inline constexpr std::uint32_t HotKeyCtrlBit = 0x4000;
inline constexpr std::uint32_t HotKeyAltBit = 0x8000;
inline constexpr std::uint32_t HotKeyWinBit = 0x10000;

std::uint32_t ComposeHotKey(std::uint16_t Modifiers, std::uint16_t Key);
void DecomposeHotKey(std::uint32_t HotKey, std::uint16_t& Modifiers, std::uint16_t& Key);

// "Ctrl+Alt+A" for 0xC041; UTF-8.
std::string FormatHotKey(std::uint32_t HotKey);
// 0 when the text names no combination.
std::uint32_t ParseHotKey(const std::string& Text);

// Display names of the modifier keys, fixed before any window exists.
const std::string& LocalShiftName();
const std::string& LocalCtrlName();
const std::string& LocalAltName();
const std::string& LocalWinName();
