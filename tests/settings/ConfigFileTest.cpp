#include "settings/ConfigFile.h"

#include "tests/support/ConfigTestData.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WriteFailure.h"
#include "xml/XmlFile.h"

#include <gtest/gtest.h>

namespace {

ConfigValues readText(std::string_view bytes) {
    pugi::xml_document doc;
    EXPECT_TRUE(xml::loadDocument(bytes, doc).ok);
    return readConfig(doc.document_element());
}

// The file after saving the settings into the given one.
std::string saved(const std::string& before, const TRecorderSettings& s = {}) {
    TempFolder tmp;
    const auto path = tmp / "config.xml";
    TempFolder::write(path, before);
    const Result saved = saveConfigFile(path, s);
    EXPECT_TRUE(saved) << saved.message();
    return TempFolder::read(path);
}

TEST(ConfigValueTexts, IntegersAndBooleans) {
    EXPECT_EQ(parseConfigInt("15"), 15);
    EXPECT_EQ(parseConfigInt("-1"), -1);
    EXPECT_EQ(parseConfigInt(" 7 "), 7);
    EXPECT_EQ(parseConfigInt(""), std::nullopt);
    EXPECT_EQ(parseConfigInt("12a"), std::nullopt);
    EXPECT_EQ(parseConfigInt("1.5"), std::nullopt);
    EXPECT_EQ(parseConfigInt("99999999999"), std::nullopt);
    EXPECT_EQ(parseConfigBool("TRUE"), true);
    EXPECT_EQ(parseConfigBool("False"), false);
    EXPECT_EQ(parseConfigBool("0"), false);
    EXPECT_EQ(parseConfigBool("-2"), true);
    EXPECT_EQ(parseConfigBool("yes"), std::nullopt);
}

TEST(ConfigRead, RootOnlyGivesReadDefaultsAndNoGroups) {
    const ConfigValues v = readText("<AnyName/>");
    EXPECT_EQ(v.Device, -1);
    EXPECT_FALSE(v.SkipSilence);
    EXPECT_EQ(v.Volume, 5);
    EXPECT_FALSE(v.outFormat);
    EXPECT_FALSE(v.path);
    EXPECT_FALSE(v.hotKeys);
}

TEST(ConfigRead, NamesInAnyCaseGroupsAnywhereBelowValuesDirectChildrenOnly) {
    const ConfigValues v =
        readText("<c><device>3</device><VOLUME>x</VOLUME>"
                 "<wrap><outformat FORMAT='wma'>"
                 "<deeper><wma><channel>1</channel><samplerate>22050</samplerate>"
                 "<x><BitRate>64</BitRate></x></wma></deeper>"
                 "<wave><bitpersam>32</bitpersam></wave></outformat></wrap>"
                 "<Path mode='Special'><SamenameOP>7</SamenameOP></Path>"
                 "<Path><Prefix>second</Prefix></Path>"
                 "<hotkey><start>ctrl+alt+r</start></hotkey></c>");
    EXPECT_EQ(v.Device, 3);
    EXPECT_EQ(v.Volume, 5) << "a text that is no integer reads as the default";
    ASSERT_TRUE(v.outFormat);
    EXPECT_EQ(v.outFormat->format, "wma");
    ASSERT_TRUE(v.outFormat->wma);
    EXPECT_EQ(v.outFormat->wma->Channel, 1);
    EXPECT_EQ(v.outFormat->wma->SampleRate, 22050);
    EXPECT_EQ(v.outFormat->wma->BitRate, 128) << "BitRate is not a direct child of WMA";
    ASSERT_TRUE(v.outFormat->wave);
    EXPECT_EQ(v.outFormat->wave->BitPerSam, 32);
    EXPECT_EQ(v.outFormat->wave->Channel, 2);
    EXPECT_FALSE(v.outFormat->mp3);
    EXPECT_FALSE(v.outFormat->oggQuality);
    ASSERT_TRUE(v.path);
    EXPECT_EQ(v.path->mode, "Special");
    EXPECT_EQ(v.path->SamenameOP, 7);
    EXPECT_EQ(v.path->Prefix, "") << "only the first Path counts";
    ASSERT_TRUE(v.hotKeys);
    EXPECT_EQ(v.hotKeys->Start, "ctrl+alt+r");
    EXPECT_EQ(v.hotKeys->Stop, "");
}

TEST(ConfigSave, NewFileFromDefaultsIsExact) {
    TempFolder tmp;
    ASSERT_TRUE(saveConfigFile(tmp / "config.xml", TRecorderSettings{}).ok());
    EXPECT_EQ(TempFolder::read(tmp / "config.xml"), defaultConfigFile());
    // The file that comes with the program must be the one a first run
    // would write, or a new user starts on other settings than the defaults.
    EXPECT_EQ(TempFolder::read(TOVALINE_SHIPPED_CONFIG), defaultConfigFile());
}

TEST(ConfigSave, RootOnlyGetsEveryElementAppendedInOrderAndKeepsItsName) {
    std::string expected = defaultConfigBody();
    expected.replace(expected.find("<Config>"), 8, "<Settings a=\"1\">");
    expected.replace(expected.rfind("</Config>"), 9, "</Settings>");
    EXPECT_EQ(saved("<Settings a='1'/>"), expected) << "no declaration before, none after";
}

TEST(ConfigSave, UnknownContentAndOwnOrderAndLetterCaseSurvive) {
    const std::string before = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                               "<!-- installed -->\r\n"
                               "<config>\r\n"
                               "\t<extra keep=\"yes\">x</extra>\r\n"
                               "\t<outformat format=\"OGG\" other=\"1\">\r\n"
                               "\t\t<WMA>\r\n"
                               "\t\t\t<!-- bitrates -->\r\n"
                               "\t\t\t<bitrate>48</bitrate>\r\n"
                               "\t\t</WMA>\r\n"
                               "\t\t<wave/>\r\n"
                               "\t</outformat>\r\n"
                               "\t<device>1</device>\r\n"
                               "</config>\r\n";
    TRecorderSettings s;
    s.OutFormat = rofWAVE;
    s.WmaBitRate = 64;
    s.PathMode = TPathMode::SpecialName;
    s.SaveFolder = "/rec/a&b <x>";
    s.HotKeyStart = "CTRL+ALT+R";
    EXPECT_EQ(saved(before, s), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                "<!-- installed -->\r\n"
                                "<config>\r\n"
                                "\t<extra keep=\"yes\">x</extra>\r\n"
                                "\t<outformat format=\"WAVE\" other=\"1\">\r\n"
                                "\t\t<WMA>\r\n"
                                "\t\t\t<!-- bitrates -->\r\n"
                                "\t\t\t<bitrate>64</bitrate>\r\n"
                                "\t\t\t<SampleRate>44100</SampleRate>\r\n"
                                "\t\t\t<Channel>2</Channel>\r\n"
                                "\t\t</WMA>\r\n"
                                "\t\t<wave>\r\n"
                                "\t\t\t<Channel>2</Channel>\r\n"
                                "\t\t\t<BitPerSam>16</BitPerSam>\r\n"
                                "\t\t\t<SampleRate>44100</SampleRate>\r\n"
                                "\t\t</wave>\r\n"
                                "\t\t<MP3>\r\n"
                                "\t\t\t<BitRate>128</BitRate>\r\n"
                                "\t\t\t<CRC>false</CRC>\r\n"
                                "\t\t\t<VBR>false</VBR>\r\n"
                                "\t\t\t<VBRQuality>5</VBRQuality>\r\n"
                                "\t\t\t<Channel>2</Channel>\r\n"
                                "\t\t</MP3>\r\n"
                                "\t\t<OGG>\r\n"
                                "\t\t\t<Quality>5</Quality>\r\n"
                                "\t\t</OGG>\r\n"
                                "\t</outformat>\r\n"
                                "\t<device>0</device>\r\n"
                                "\t<SkipSilence>false</SkipSilence>\r\n"
                                "\t<Volume>5</Volume>\r\n"
                                "\t<Path mode=\"special\">\r\n"
                                "\t\t<SaveFolder>/rec/a&amp;b &lt;x&gt;</SaveFolder>\r\n"
                                "\t\t<SpecialPath/>\r\n"
                                "\t\t<SamenameOP>1</SamenameOP>\r\n"
                                "\t\t<Prefix>notitle</Prefix>\r\n"
                                "\t\t<Postfix>0</Postfix>\r\n"
                                "\t</Path>\r\n"
                                "\t<HotKey>\r\n"
                                "\t\t<Start>CTRL+ALT+R</Start>\r\n"
                                "\t\t<Pause/>\r\n"
                                "\t\t<Stop/>\r\n"
                                "\t</HotKey>\r\n"
                                "</config>\r\n");
}

TEST(ConfigSave, NonAsciiFolderSurvivesInUtf16AndWindows1252) {
    // "/m\u00fcsik/\u20ac" in windows-1252: u-umlaut 0xFC, euro 0x80.
    TRecorderSettings s;
    s.SaveFolder = QString::fromUtf8("/m\xC3\xBCsik/\xE2\x82\xAC");
    std::string cp1252 = defaultConfigFile();
    cp1252.replace(cp1252.find("UTF-8"), 5, "windows-1252");
    setElementText(cp1252, "SaveFolder", "/m\xFCsik/\x80");

    std::string utf16;
    utf16 += "\xFF\xFE";
    std::string ascii = defaultConfigFile();
    ascii.replace(ascii.find("UTF-8"), 5, "UTF-16");
    setElementText(ascii, "SaveFolder", "/m#sik/$");
    for (char c : ascii) {
        if (c == '#')
            utf16 += std::string("\xFC\x00", 2);
        else if (c == '$')
            utf16 += std::string("\xAC\x20", 2);
        else
            utf16 += std::string{c, '\0'};
    }

    for (const std::string& file : {cp1252, utf16}) {
        TempFolder tmp;
        TempFolder::write(tmp / "config.xml", file);
        const Outcome<ConfigValues> r = readConfigFile(tmp / "config.xml");
        ASSERT_TRUE(r.ok()) << r.message();
        ASSERT_TRUE(r.value().path);
        EXPECT_EQ(r.value().path->SaveFolder, s.SaveFolder);
        ASSERT_TRUE(saveConfigFile(tmp / "config.xml", s).ok());
        EXPECT_EQ(TempFolder::read(tmp / "config.xml"), file);
    }
}

TEST(ConfigFileStates, MissingUnreadableAndLoaded) {
    TempFolder tmp;
    const auto path = tmp / "config.xml";
    EXPECT_EQ(readConfigFile(path).result().fault(), Fault::NotFound);
    TempFolder::write(path, defaultConfigFile());
    EXPECT_TRUE(readConfigFile(path).ok());
    for (const char* bad : {"", "<Config><Volume>5</Vol", "<?xml version=\"1.0\"?>\r\n"}) {
        TempFolder::write(path, bad);
        EXPECT_EQ(readConfigFile(path).result().fault(), Fault::Damaged) << bad;
    }
}

TEST(ConfigFileStates, UnreadableFileIsKeptAsBadBeforeItIsReplaced) {
    TempFolder tmp;
    const auto path = tmp / "config.xml";
    TempFolder::write(path, "<Config><Volume>5</Vol");
    ASSERT_TRUE(saveConfigFile(path, TRecorderSettings{}).ok());
    EXPECT_EQ(TempFolder::read(path), defaultConfigFile());
    EXPECT_EQ(TempFolder::read(tmp / "config.xml.bad"), "<Config><Volume>5</Vol");
    TempFolder::write(path, "<Config><Volume>6</Vol");
    ASSERT_TRUE(saveConfigFile(path, TRecorderSettings{}).ok());
    EXPECT_EQ(TempFolder::read(tmp / "config.xml.bad"), "<Config><Volume>5</Vol");
    EXPECT_EQ(TempFolder::read(tmp / "config.xml.2.bad"), "<Config><Volume>6</Vol");
}

TEST(ConfigFileStates, FailedWriteKeepsTheOldFile) {
    TempFolder tmp;
    const auto path = tmp / "config.xml";
    TempFolder::write(path, "<Config/>");
    std::string error;
    {
        WriteFailure fail(tmp.path());
        const Result saved = saveConfigFile(path, TRecorderSettings{});
        EXPECT_FALSE(saved.ok());
        error = saved.message();
    }
    EXPECT_NE(error.find(path.string()), std::string::npos) << error;
    EXPECT_EQ(TempFolder::read(path), "<Config/>");
}

} // namespace
