#include "settings/ConfigDocument.h"

#include "xml/XmlQuery.h"

#include <charconv>
#include <string>

namespace {

// The element's own character content; empty for a missing element.
std::string textOf(const pugi::xml_node& e) {
    std::string text;
    for (pugi::xml_node c = e.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata)
            text += c.value();
    return text;
}

int32_t readInt(const pugi::xml_node& parent, const char* name, int32_t fallback) {
    pugi::xml_node e = xml::firstChildNamed(parent, name);
    if (!e)
        return fallback;
    return parseConfigInt(textOf(e)).value_or(fallback);
}

bool readBool(const pugi::xml_node& parent, const char* name, bool fallback) {
    pugi::xml_node e = xml::firstChildNamed(parent, name);
    if (!e)
        return fallback;
    return parseConfigBool(textOf(e)).value_or(fallback);
}

QString readText(const pugi::xml_node& parent, const char* name) {
    return QString::fromStdString(textOf(xml::firstChildNamed(parent, name)));
}

// The value replaces the element's texts; an empty value leaves it empty,
// which the writer puts down as an empty-element tag. Elements inside it
// stay: the reader finds a group anywhere below the root, and this write may
// just have put settings into one of them.
void setValue(pugi::xml_node parent, const char* name, const std::string& value) {
    pugi::xml_node e = xml::firstChildNamed(parent, name);
    if (!e)
        e = parent.append_child(name);
    for (pugi::xml_node c = e.first_child(); c;) {
        const pugi::xml_node next = c.next_sibling();
        if (c.type() != pugi::node_element)
            e.remove_child(c);
        c = next;
    }
    if (!value.empty())
        e.append_child(pugi::node_pcdata).set_value(value.c_str());
}

void setValue(pugi::xml_node parent, const char* name, int32_t value) {
    setValue(parent, name, std::to_string(value));
}

void setValue(pugi::xml_node parent, const char* name, bool value) {
    setValue(parent, name, std::string(value ? "true" : "false"));
}

void setValue(pugi::xml_node parent, const char* name, const QString& value) {
    setValue(parent, name, value.toStdString());
}

pugi::xml_node findOrAdd(pugi::xml_node top, const char* name) {
    if (pugi::xml_node e = xml::firstBelowNamed(top, name))
        return e;
    return top.append_child(name);
}

void setAttribute(pugi::xml_node e, const char* name, const char* value) {
    pugi::xml_attribute a = xml::attributeNamed(e, name);
    if (!a)
        a = e.append_attribute(name);
    a.set_value(value);
}

} // namespace

std::optional<int32_t> parseConfigInt(std::string_view text) {
    text = xml::trimmedSpace(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int32_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 10);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return v;
}

std::optional<bool> parseConfigBool(std::string_view text) {
    const std::string_view t = xml::trimmedSpace(text);
    if (xml::sameName(t, "true"))
        return true;
    if (xml::sameName(t, "false"))
        return false;
    if (std::optional<int32_t> n = parseConfigInt(t))
        return *n != 0;
    return std::nullopt;
}

ConfigValues readConfig(const pugi::xml_node& root) {
    ConfigValues v;
    v.Device = readInt(root, "Device", -1);
    v.DeviceName = readText(root, "DeviceName");
    v.SkipSilence = readBool(root, "SkipSilence", false);
    v.Volume = readInt(root, "Volume", 5);

    if (pugi::xml_node g = xml::firstBelowNamed(root, "OutFormat")) {
        ConfigOutFormat f;
        f.format = QString::fromStdString(xml::attributeNamed(g, "format").value());
        if (pugi::xml_node w = xml::firstBelowNamed(g, "WAVE")) {
            f.wave = ConfigWave{readInt(w, "Channel", 2), readInt(w, "BitPerSam", 16),
                                readInt(w, "SampleRate", 44100)};
        }
        if (pugi::xml_node m = xml::firstBelowNamed(g, "MP3")) {
            f.mp3 = ConfigMp3{readInt(m, "BitRate", 128), readBool(m, "CRC", false),
                              readBool(m, "VBR", false), readInt(m, "VBRQuality", 5),
                              readInt(m, "Channel", 2)};
        }
        if (pugi::xml_node a = xml::firstBelowNamed(g, "WMA")) {
            f.wma = ConfigWma{readInt(a, "SampleRate", 44100), readInt(a, "Channel", 2),
                              readInt(a, "BitRate", 128)};
        }
        if (pugi::xml_node o = xml::firstBelowNamed(g, "OGG"))
            f.oggQuality = readInt(o, "Quality", 5);
        v.outFormat = std::move(f);
    }

    if (pugi::xml_node p = xml::firstBelowNamed(root, "Path")) {
        ConfigPath path;
        path.mode = QString::fromStdString(xml::attributeNamed(p, "mode").value());
        path.SaveFolder = readText(p, "SaveFolder");
        path.SpecialPath = readText(p, "SpecialPath");
        path.SamenameOP = readInt(p, "SamenameOP", 1);
        path.Prefix = readText(p, "Prefix");
        path.Postfix = readInt(p, "Postfix", 0);
        v.path = std::move(path);
    }

    if (pugi::xml_node h = xml::firstBelowNamed(root, "HotKey"))
        v.hotKeys = ConfigHotKeys{readText(h, "Start"), readText(h, "Pause"), readText(h, "Stop")};
    return v;
}

void writeConfig(pugi::xml_node root, const TRecorderSettings& s) {
    setValue(root, "Device", s.Device);
    // Beside Device, which other readers go by; only once an input is known.
    if (!s.DeviceName.isEmpty()) {
        pugi::xml_node device = xml::firstChildNamed(root, "Device");
        if (!xml::firstChildNamed(root, "DeviceName") && device)
            root.insert_child_after("DeviceName", device);
        setValue(root, "DeviceName", s.DeviceName);
    }
    setValue(root, "SkipSilence", s.SkipSilence);
    setValue(root, "Volume", s.Volume);

    pugi::xml_node g = findOrAdd(root, "OutFormat");
    setAttribute(g, "format", outFormatName(s.OutFormat).toStdString().c_str());
    pugi::xml_node w = findOrAdd(g, "WAVE");
    setValue(w, "Channel", s.WavChannel);
    setValue(w, "BitPerSam", s.WavBitPerSample);
    setValue(w, "SampleRate", s.WavSampleRate);
    pugi::xml_node m = findOrAdd(g, "MP3");
    setValue(m, "BitRate", s.Mp3BitRate);
    setValue(m, "CRC", s.Mp3CRC);
    setValue(m, "VBR", s.Mp3VBR);
    setValue(m, "VBRQuality", s.Mp3VBRQuality);
    setValue(m, "Channel", s.Mp3Channel);
    pugi::xml_node a = findOrAdd(g, "WMA");
    setValue(a, "SampleRate", s.WmaSampleRate);
    setValue(a, "Channel", s.WmaChannel);
    setValue(a, "BitRate", s.WmaBitRate);
    pugi::xml_node o = findOrAdd(g, "OGG");
    setValue(o, "Quality", s.OggQuality);

    pugi::xml_node p = findOrAdd(root, "Path");
    setAttribute(p, "mode", s.PathMode == TPathMode::SpecialName ? "special" : "auto");
    setValue(p, "SaveFolder", s.SaveFolder);
    setValue(p, "SpecialPath", s.SpecialPath);
    setValue(p, "SamenameOP", static_cast<int32_t>(s.SamenameOP));
    setValue(p, "Prefix", s.Prefix);
    setValue(p, "Postfix", static_cast<int32_t>(s.Postfix));

    pugi::xml_node h = findOrAdd(root, "HotKey");
    setValue(h, "Start", s.HotKeyStart);
    setValue(h, "Pause", s.HotKeyPause);
    setValue(h, "Stop", s.HotKeyStop);
}
