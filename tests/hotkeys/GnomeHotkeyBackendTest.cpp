// GNOME's custom keybindings through GSettings with the keyfile backend in
// the test's own folder: what the entries say, the user's own entries left
// alone, accelerators GNOME already binds taken, everything removed at the
// end, and entries a crash left removed at the next start.

#include "hotkeys/GnomeHotkeyBackend.h"
#include "hotkeys/HotKeyValue.h"
#include "hotkeys/THotKeyManager.h"
#include "tests/support/TempFolder.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr char kMediaKeys[] = "org.gnome.settings-daemon.plugins.media-keys";
constexpr char kEntry[] = "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";
const std::string kFolder = "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/";

struct Unref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using Settings = std::unique_ptr<GSettings, Unref>;

std::vector<std::string> List() {
    Settings media(g_settings_new(kMediaKeys));
    gchar** list = g_settings_get_strv(media.get(), "custom-keybindings");
    std::vector<std::string> paths;
    for (gchar** p = list; *p; ++p)
        paths.emplace_back(*p);
    g_strfreev(list);
    return paths;
}

void SetList(const std::vector<std::string>& paths) {
    std::vector<const gchar*> list;
    for (const auto& p : paths)
        list.push_back(p.c_str());
    list.push_back(nullptr);
    Settings media(g_settings_new(kMediaKeys));
    g_settings_set_strv(media.get(), "custom-keybindings", list.data());
}

std::string Read(const std::string& path, const char* key) {
    Settings entry(g_settings_new_with_path(kEntry, path.c_str()));
    gchar* text = g_settings_get_string(entry.get(), key);
    std::string value = text;
    g_free(text);
    return value;
}

void Write(const std::string& path, const char* key, const char* value) {
    Settings entry(g_settings_new_with_path(kEntry, path.c_str()));
    g_settings_set_string(entry.get(), key, value);
}

class GnomeHotkeyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Before GIO picks its backend, once per process.
        static TempFolder config;
        setenv("GSETTINGS_BACKEND", "keyfile", 1);
        setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    }
    void SetUp() override {
        if (!GnomeHotkeyBackend::Available())
            GTEST_SKIP() << "GNOME's media-keys schemas are not installed";
    }
};

constexpr std::uint32_t kCtrlAltR = 0xC052, kCtrlAltS = 0xC053, kCtrlAltT = 0xC054;

} // namespace

TEST_F(GnomeHotkeyTest, WritesEntriesBesideTheUsersAndRemovesThemAgain) {
    const std::string users = kFolder + "custom0/";
    Write(users, "name", "Terminal");
    Write(users, "command", "gnome-terminal");
    Write(users, "binding", "<Primary><Alt>T");
    const std::string stale = kFolder + "tovaline-stop/";
    Write(stale, "binding", "<Control><Alt>q");
    SetList({users, stale});

    {
        THotKeyManager manager(std::make_unique<GnomeHotkeyBackend>("/opt/my apps/tovaline"));
        EXPECT_EQ(List(), std::vector<std::string>{users}) << "the crash's entry is gone";

        manager.SetHotKeyAction(kCtrlAltR, HotKeyAction::Record);
        manager.SetHotKeyAction(kCtrlAltS, HotKeyAction::Stop);
        ASSERT_NE(manager.AddHotKey(kCtrlAltR), 0u);
        ASSERT_NE(manager.AddHotKey(kCtrlAltS), 0u);
        const std::string record = kFolder + "tovaline-record/";
        const std::string stop = kFolder + "tovaline-stop/";
        EXPECT_EQ(List(), (std::vector<std::string>{users, record, stop}));
        EXPECT_EQ(Read(record, "name"), "Tovaline: start");
        EXPECT_EQ(Read(record, "binding"), "<Control><Alt>r");
        EXPECT_EQ(Read(record, "command"), "'/opt/my apps/tovaline' --record");
        EXPECT_EQ(Read(stop, "name"), "Tovaline: stop");
        EXPECT_EQ(Read(stop, "command"), "'/opt/my apps/tovaline' --stop");

        // The user's own Ctrl+Alt+T, and GNOME's own Super+L, are taken.
        EXPECT_EQ(manager.AddHotKey(kCtrlAltT), 0u);
        EXPECT_EQ(manager.LastFailure(), HotkeyRegistration::Taken);
        EXPECT_EQ(manager.AddHotKey(HotKeyWinBit | 'L'), 0u);
        EXPECT_EQ(manager.LastFailure(), HotkeyRegistration::Taken);

        EXPECT_TRUE(manager.RemoveHotKey(kCtrlAltS));
        EXPECT_EQ(List(), (std::vector<std::string>{users, record}));
        EXPECT_EQ(Read(stop, "binding"), "");
    }
    EXPECT_EQ(List(), std::vector<std::string>{users});
    EXPECT_EQ(Read(users, "binding"), "<Primary><Alt>T");
    EXPECT_EQ(Read(users, "command"), "gnome-terminal");
}

TEST(GnomeHotkeyTexts, CommandsAndAccelerators) {
    EXPECT_EQ(GnomeHotkeyBackend::CommandFor("/usr/bin/tovaline", HotKeyAction::Pause),
              "/usr/bin/tovaline --record");
    EXPECT_EQ(GnomeHotkeyBackend::CommandFor("/home/jo/it's mine/tovaline", HotKeyAction::Stop),
              "'/home/jo/it'\\''s mine/tovaline' --stop");
    EXPECT_TRUE(GnomeHotkeyBackend::SameAccelerator("<Control><Alt>r", "<Alt><Primary>R"));
    EXPECT_TRUE(GnomeHotkeyBackend::SameAccelerator("<Super>l", "<Mod4>L"));
    EXPECT_FALSE(GnomeHotkeyBackend::SameAccelerator("<Control><Alt>r", "<Control>r"));
    EXPECT_FALSE(GnomeHotkeyBackend::SameAccelerator("<Control><Alt>r", "<Control><Alt>t"));
    EXPECT_FALSE(GnomeHotkeyBackend::SameAccelerator("<Control><Alt>r", ""));
}
