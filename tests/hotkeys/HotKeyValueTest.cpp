#include "hotkeys/HotKeyValue.h"
#include "hotkeys/HotKeyTexts.h"

#include <gtest/gtest.h>

TEST(HotKeyValue, ComposeAndDecomposeAreInverse) {
    EXPECT_EQ(ComposeHotKey(MOD_CONTROL | MOD_ALT, 'A'), 0xC041u);
    EXPECT_EQ(ComposeHotKey(MOD_SHIFT | MOD_WIN, 0x70), 0x12070u);
    std::uint16_t modifiers = 0;
    std::uint16_t key = 0;
    DecomposeHotKey(0x1E05Au, modifiers, key);
    EXPECT_EQ(modifiers, MOD_WIN | MOD_ALT | MOD_CONTROL | MOD_SHIFT);
    EXPECT_EQ(key, 'Z');
}

TEST(HotKeyValue, FormatsModifiersInFixedOrderAndKeyNames) {
    EXPECT_EQ(FormatHotKey(0xC041), "Ctrl+Alt+A");
    EXPECT_EQ(FormatHotKey(0x1E05A), "Ctrl+Shift+Alt+Win+Z");
    EXPECT_EQ(FormatHotKey(0x406B), "Ctrl+Num +");
    EXPECT_EQ(FormatHotKey(0xB3), "Play/Pause Media");
    EXPECT_EQ(FormatHotKey(0x4007), "Ctrl+"); // a code without a name
    EXPECT_EQ(LocalShiftName(), "Shift");
    EXPECT_EQ(LocalCtrlName(), "Ctrl");
    EXPECT_EQ(LocalAltName(), "Alt");
    EXPECT_EQ(LocalWinName(), "Win");
}

TEST(HotKeyValue, ParsesTheListEntriesAndLooseSpellings) {
    EXPECT_EQ(ParseHotKey("CTRL+ALT+A"), 0xC041u);
    EXPECT_EQ(ParseHotKey("CTRL+ALT+Z"), 0xC05Au);
    EXPECT_EQ(ParseHotKey(" ctrl + alt + z "), 0xC05Au);
    EXPECT_EQ(ParseHotKey("Ctrl+Num +"), 0x406Bu);
    EXPECT_EQ(ParseHotKey("shift+win+f12"), 0x1207Bu);
    EXPECT_EQ(ParseHotKey("Alt+Play/Pause Media"), 0x80B3u);
    EXPECT_EQ(ParseHotKey("Ctrl+;"), 0x40BAu);
    EXPECT_EQ(ParseHotKey("7"), 0x37u);
}

TEST(HotKeyValue, ParseGivesZeroForTextsNamingNoCombination) {
    EXPECT_EQ(ParseHotKey("None"), 0u);
    EXPECT_EQ(ParseHotKey("Ctrl+Alt"), 0u);
    EXPECT_EQ(ParseHotKey(""), 0u);
    EXPECT_EQ(ParseHotKey(" + + "), 0u);
    EXPECT_EQ(ParseHotKey("Ctrl+Hyper+A"), 0u); // an unknown modifier spoils the set
    EXPECT_EQ(ParseHotKey("Ctrl+Alt+NoSuchKey"), 0u);
}

TEST(HotKeyTexts, PressTextsAndFailureMessages) {
    EXPECT_EQ(PressedHotKeyText(0xC052), "Ctrl+Alt+R");
    EXPECT_EQ(ExpandUnnamedCtrlAlt("++R"), "CTRL+ALT+R");
    EXPECT_EQ(ExpandUnnamedCtrlAlt("Num ++"), "Num ++"); // only a text that starts so
    EXPECT_EQ(HotKeyFailureMessage("CTRL+ALT+R", HotkeyRegistration::Taken),
              "Failed to set HotKey: CTRL+ALT+R\r\nthe hotkey is already used.");
    EXPECT_EQ(HotKeyFailureMessage("CTRL+ALT+R", HotkeyRegistration::Unavailable),
              "Failed to set HotKey: CTRL+ALT+R\r\nglobal hotkeys are not available in this "
              "session.");
}
