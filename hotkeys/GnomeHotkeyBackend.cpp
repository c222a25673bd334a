#include "hotkeys/GnomeHotkeyBackend.h"

#include "hotkeys/KeySyms.h"

#include <gio/gio.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <set>
#include <vector>

namespace {

constexpr char kMediaKeys[] = "org.gnome.settings-daemon.plugins.media-keys";
constexpr char kCustomEntry[] = "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";
constexpr char kListKey[] = "custom-keybindings";
constexpr char kEntryFolder[] = "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/";
// Where else GNOME binds keys, each looked at where installed.
constexpr const char* kBindingSchemas[] = {
    kMediaKeys, "org.gnome.desktop.wm.keybindings", "org.gnome.shell.keybindings",
    "org.gnome.mutter.keybindings", "org.gnome.mutter.wayland.keybindings"};
constexpr HotKeyAction kActions[] = {HotKeyAction::Record, HotKeyAction::Pause, HotKeyAction::Stop};

struct Unref {
    void operator()(gpointer object) const { g_object_unref(object); }
    void operator()(GVariant* value) const { g_variant_unref(value); }
    void operator()(GSettingsSchema* schema) const { g_settings_schema_unref(schema); }
    void operator()(gchar** strings) const { g_strfreev(strings); }
    void operator()(gchar* text) const { g_free(text); }
};
using Settings = std::unique_ptr<GSettings, Unref>;
using Variant = std::unique_ptr<GVariant, Unref>;
using Schema = std::unique_ptr<GSettingsSchema, Unref>;
using Strings = std::unique_ptr<gchar*, Unref>;
using Text = std::unique_ptr<gchar, Unref>;

Schema InstalledSchema(const char* id) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    return Schema(source ? g_settings_schema_source_lookup(source, id, TRUE) : nullptr);
}

const char* ActionWord(HotKeyAction action) {
    switch (action) {
    case HotKeyAction::Pause:
        return "pause";
    case HotKeyAction::Stop:
        return "stop";
    case HotKeyAction::Record:
        break;
    }
    return "record";
}

std::string EntryPath(HotKeyAction action) {
    std::string path = kEntryFolder;
    path.append("tovaline-").append(ActionWord(action)).append("/");
    return path;
}

bool IsOurEntry(const std::string& path) {
    return std::any_of(std::begin(kActions), std::end(kActions),
                       [&path](HotKeyAction a) { return EntryPath(a) == path; });
}

std::vector<std::string> EntryList(GSettings* mediaKeys) {
    std::vector<std::string> paths;
    const Strings list(g_settings_get_strv(mediaKeys, kListKey));
    for (gchar** p = list.get(); p && *p; ++p)
        paths.emplace_back(*p);
    return paths;
}

void SetEntryList(GSettings* mediaKeys, const std::vector<std::string>& paths) {
    std::vector<const gchar*> list;
    for (const std::string& p : paths)
        list.push_back(p.c_str());
    list.push_back(nullptr);
    g_settings_set_strv(mediaKeys, kListKey, list.data());
}

Settings Entry(const std::string& path) {
    return Settings(g_settings_new_with_path(kCustomEntry, path.c_str()));
}

std::string StringOf(GSettings* settings, const char* key) {
    const Text text(g_settings_get_string(settings, key));
    return text ? text.get() : "";
}

// Modifier names GNOME accepts, each to one letter.
char ModifierLetter(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (name == "control" || name == "ctrl" || name == "primary" || name == "ctl")
        return 'C';
    if (name == "alt" || name == "mod1")
        return 'A';
    if (name == "shift")
        return 'S';
    if (name == "super" || name == "mod4")
        return 'W';
    if (name == "meta")
        return 'M';
    if (name == "hyper")
        return 'H';
    return '?';
}

// The modifiers as a sorted set of letters and the key in lower case.
std::pair<std::set<char>, std::string> Keys(const std::string& accelerator) {
    std::set<char> modifiers;
    size_t at = 0;
    while (at < accelerator.size() && accelerator[at] == '<') {
        const size_t end = accelerator.find('>', at);
        if (end == std::string::npos)
            break;
        modifiers.insert(ModifierLetter(accelerator.substr(at + 1, end - at - 1)));
        at = end + 1;
    }
    std::string key = accelerator.substr(at);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return {modifiers, key};
}

} // namespace

bool GnomeHotkeyBackend::Available() {
    return InstalledSchema(kMediaKeys) && InstalledSchema(kCustomEntry);
}

std::string GnomeHotkeyBackend::CommandFor(const std::string& executable, HotKeyAction action) {
    const bool plain =
        !executable.empty() &&
        std::all_of(executable.begin(), executable.end(), [](unsigned char c) {
            return std::isalnum(c) || std::string_view("/._+-").find(c) != std::string_view::npos;
        });
    std::string command;
    if (plain) {
        command = executable;
    } else {
        command.push_back('\'');
        for (const char c : executable) {
            if (c == '\'')
                command.append("'\\''"); // ends the quote, an escaped quote, quotes again
            else
                command.push_back(c);
        }
        command.push_back('\'');
    }
    command.append(action == HotKeyAction::Stop ? " --stop" : " --record");
    return command;
}

bool GnomeHotkeyBackend::SameAccelerator(const std::string& a, const std::string& b) {
    const auto keysA = Keys(a);
    return !keysA.second.empty() && keysA == Keys(b);
}

GnomeHotkeyBackend::GnomeHotkeyBackend(std::string executable)
    : executable_(std::move(executable)) {
    // Left by a copy that did not get to remove them.
    for (const HotKeyAction action : kActions)
        RemoveEntry(action);
}

GnomeHotkeyBackend::~GnomeHotkeyBackend() {
    for (const auto& [id, action] : registrations_)
        RemoveEntry(action);
    g_settings_sync();
}

HotKeyId GnomeHotkeyBackend::identifierFor(const std::string& name) {
    return identifiers_.acquire(name);
}

void GnomeHotkeyBackend::releaseIdentifier(HotKeyId id) {
    identifiers_.release(id);
}

void GnomeHotkeyBackend::setHotKeyAction(std::uint32_t value, HotKeyAction action) {
    actions_[value] = action;
}

bool GnomeHotkeyBackend::BoundByGnome(const std::string& accelerator) const {
    const auto matches = [&accelerator](GVariant* value) {
        if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING))
            return SameAccelerator(accelerator, g_variant_get_string(value, nullptr));
        if (!g_variant_is_of_type(value, G_VARIANT_TYPE_STRING_ARRAY))
            return false;
        const std::unique_ptr<const gchar*, void (*)(gpointer)> strings(
            g_variant_get_strv(value, nullptr), g_free);
        for (const gchar** s = strings.get(); s && *s; ++s)
            if (SameAccelerator(accelerator, *s))
                return true;
        return false;
    };
    for (const char* id : kBindingSchemas) {
        const Schema schema = InstalledSchema(id);
        if (!schema)
            continue;
        const Settings settings(g_settings_new(id));
        const Strings keys(g_settings_schema_list_keys(schema.get()));
        for (gchar** key = keys.get(); key && *key; ++key) {
            const Variant value(g_settings_get_value(settings.get(), *key));
            if (matches(value.get()))
                return true;
        }
    }
    const Settings mediaKeys(g_settings_new(kMediaKeys));
    for (const std::string& path : EntryList(mediaKeys.get()))
        if (!IsOurEntry(path) &&
            SameAccelerator(accelerator, StringOf(Entry(path).get(), "binding")))
            return true;
    return false;
}

HotkeyRegistration GnomeHotkeyBackend::registerHotKey(HotKeyId id, std::uint32_t value) {
    const std::string accelerator = GnomeAcceleratorOf(value);
    if (identifiers_.nameOf(id).empty() || registrations_.count(id) != 0 || accelerator.empty() ||
        BoundByGnome(accelerator))
        return HotkeyRegistration::Taken;
    const auto named = actions_.find(value);
    const HotKeyAction action = named != actions_.end() ? named->second : HotKeyAction::Record;
    // The action's earlier key gives way: its entry is written anew.
    for (auto it = registrations_.begin(); it != registrations_.end();)
        it = it->second == action ? registrations_.erase(it) : std::next(it);

    const std::string path = EntryPath(action);
    const Settings entry = Entry(path);
    static constexpr const char* kNames[] = {"Tovaline: start", "Tovaline: pause",
                                             "Tovaline: stop"};
    g_settings_set_string(entry.get(), "name", kNames[static_cast<int>(action)]);
    g_settings_set_string(entry.get(), "command", CommandFor(executable_, action).c_str());
    g_settings_set_string(entry.get(), "binding", accelerator.c_str());
    const Settings mediaKeys(g_settings_new(kMediaKeys));
    std::vector<std::string> paths = EntryList(mediaKeys.get());
    if (std::find(paths.begin(), paths.end(), path) == paths.end()) {
        paths.push_back(path);
        SetEntryList(mediaKeys.get(), paths);
    }
    g_settings_sync();
    registrations_[id] = action;
    return HotkeyRegistration::Registered;
}

bool GnomeHotkeyBackend::unregisterHotKey(HotKeyId id) {
    const auto registration = registrations_.find(id);
    if (registration == registrations_.end())
        return false;
    RemoveEntry(registration->second);
    registrations_.erase(registration);
    g_settings_sync();
    return true;
}

void GnomeHotkeyBackend::RemoveEntry(HotKeyAction action) {
    const std::string path = EntryPath(action);
    const Settings mediaKeys(g_settings_new(kMediaKeys));
    std::vector<std::string> paths = EntryList(mediaKeys.get());
    const auto end = std::remove(paths.begin(), paths.end(), path);
    if (end != paths.end()) {
        paths.erase(end, paths.end());
        SetEntryList(mediaKeys.get(), paths);
    }
    const Settings entry = Entry(path);
    for (const char* key : {"name", "command", "binding"})
        g_settings_reset(entry.get(), key);
}
