#pragma once
// The file SaveConfig writes from the default settings, line by line.

#include <string>
#include <string_view>

inline std::string defaultConfigBody() {
    return "<Config>\r\n"
           "\t<Device>0</Device>\r\n"
           "\t<SkipSilence>false</SkipSilence>\r\n"
           "\t<Volume>5</Volume>\r\n"
           "\t<OutFormat format=\"MP3\">\r\n"
           "\t\t<WAVE>\r\n"
           "\t\t\t<Channel>2</Channel>\r\n"
           "\t\t\t<BitPerSam>16</BitPerSam>\r\n"
           "\t\t\t<SampleRate>44100</SampleRate>\r\n"
           "\t\t</WAVE>\r\n"
           "\t\t<MP3>\r\n"
           "\t\t\t<BitRate>128</BitRate>\r\n"
           "\t\t\t<CRC>false</CRC>\r\n"
           "\t\t\t<VBR>false</VBR>\r\n"
           "\t\t\t<VBRQuality>5</VBRQuality>\r\n"
           "\t\t\t<Channel>2</Channel>\r\n"
           "\t\t</MP3>\r\n"
           "\t\t<WMA>\r\n"
           "\t\t\t<SampleRate>44100</SampleRate>\r\n"
           "\t\t\t<Channel>2</Channel>\r\n"
           "\t\t\t<BitRate>128</BitRate>\r\n"
           "\t\t</WMA>\r\n"
           "\t\t<OGG>\r\n"
           "\t\t\t<Quality>5</Quality>\r\n"
           "\t\t</OGG>\r\n"
           "\t</OutFormat>\r\n"
           "\t<Path mode=\"auto\">\r\n"
           "\t\t<SaveFolder/>\r\n"
           "\t\t<SpecialPath/>\r\n"
           "\t\t<SamenameOP>1</SamenameOP>\r\n"
           "\t\t<Prefix>notitle</Prefix>\r\n"
           "\t\t<Postfix>0</Postfix>\r\n"
           "\t</Path>\r\n"
           "\t<HotKey>\r\n"
           "\t\t<Start/>\r\n"
           "\t\t<Pause/>\r\n"
           "\t\t<Stop/>\r\n"
           "\t</HotKey>\r\n"
           "</Config>\r\n";
}

inline std::string defaultConfigFile() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" + defaultConfigBody();
}

// Sets the text of the one element of that name, empty or not: a file that
// differs from the default in a setting or two reads as just that.
inline void setElementText(std::string& file, std::string_view name, std::string_view text) {
    const std::string tag(name);
    const std::string filled = "<" + tag + ">" + std::string(text) + "</" + tag + ">";
    if (const size_t at = file.find("<" + tag + "/>"); at != std::string::npos) {
        file.replace(at, tag.size() + 3, filled);
    } else if (const size_t from = file.find("<" + tag + ">"); from != std::string::npos) {
        const size_t end = file.find("</" + tag + ">", from) + tag.size() + 3;
        file.replace(from, end - from, filled);
    }
}
