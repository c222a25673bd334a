// recorded.xml as written and read: exact bytes, value types, line cutting and
// the variants a reader must accept.

#include "recordings/Base64.h"
#include "recordings/PropertyStream.h"
#include "recordings/TRecordFiles.h"
#include "xml/XmlEncoding.h"

#include <gtest/gtest.h>

using recordings::chooseValueType;
using recordings::encodeStringsProperty;

namespace {

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

std::vector<std::string> ReadBack(const std::string& bytes) {
    CatalogueLoad status = CatalogueLoad::Missing;
    auto catalogue = TRecordFiles::CreateFromBytes(bytes, &status);
    EXPECT_EQ(status, CatalogueLoad::Loaded);
    return catalogue ? catalogue->Files() : std::vector<std::string>{"<none>"};
}

std::string CatalogueFile(std::string rootName, std::string propertyName, std::string className,
                          std::string listName, std::string listText) {
    return kDecl + "<" + rootName + ">\r\n\t<" + propertyName + ">" + className + "\r\n\t\t<" +
           listName + ">" + listText + "</" + listName + ">\r\n\t</" + propertyName + ">\r\n</" +
           rootName + ">\r\n";
}

std::string Base64Of(const std::vector<std::string>& paths) {
    const auto stream = encodeStringsProperty(paths);
    return recordings::encodeBase64(stream.data(), stream.size());
}

TRecordFiles With(std::vector<std::string> paths) {
    TRecordFiles c;
    c.Files() = std::move(paths);
    return c;
}

} // namespace

TEST(CatalogueFile, WorkedExampleStreamAndWholeFile) {
    const std::vector<std::uint8_t> expected = {0x07, 0x53, 0x74, 0x72, 0x69, 0x6E, 0x67, 0x73,
                                                0x01, 0x06, 0x0C, 0x43, 0x3A, 0x5C, 0x52, 0x65,
                                                0x63, 0x5C, 0x61, 0x2E, 0x6D, 0x70, 0x33, 0x00};
    EXPECT_EQ(encodeStringsProperty({"C:\\Rec\\a.mp3"}), expected);
    EXPECT_EQ(Base64Of({"C:\\Rec\\a.mp3"}), "B1N0cmluZ3MBBgxDOlxSZWNcYS5tcDMA");

    const TRecordFiles c = With({"C:\\Rec\\a.mp3"});
    EXPECT_EQ(TRecordFiles::DataFileBytes(&c),
              kDecl + "<Files>\r\n"
                      "\t<Files>(TStringList)\r\n"
                      "\t\t<DefinedProperties>\n\t\tB1N0cmluZ3MBBgxDOlxSZWNcYS5tcDMA\n\t\t"
                      "</DefinedProperties>\r\n"
                      "\t</Files>\r\n"
                      "</Files>\r\n");
}

TEST(CatalogueFile, EmptyAndMissingCatalogueLayouts) {
    const TRecordFiles emptied;
    const std::string emptyBytes = TRecordFiles::DataFileBytes(&emptied);
    EXPECT_EQ(emptyBytes, kDecl + "<Files>\r\n\t<Files>(TStringList)</Files>\r\n</Files>\r\n");
    EXPECT_TRUE(ReadBack(emptyBytes).empty());

    const std::string noneBytes = TRecordFiles::DataFileBytes(nullptr);
    EXPECT_EQ(noneBytes, kDecl + "<Files/>\r\n");
    EXPECT_TRUE(ReadBack(noneBytes).empty());
}

TEST(CatalogueFile, Base64IsCutIntoLinesOf76) {
    // Name (8 bytes), list start, one short string (2 + n), list end: 57 bytes
    // need n = 45 and give exactly 76 characters; one more byte spills 4.
    const TRecordFiles one = With({std::string(45, 'a')});
    const std::string b57 = Base64Of(one.Files());
    ASSERT_EQ(b57.size(), 76u);
    EXPECT_NE(TRecordFiles::DataFileBytes(&one).find("<DefinedProperties>\n\t\t" + b57 +
                                                     "\n\t\t</DefinedProperties>\r\n"),
              std::string::npos);

    const TRecordFiles two = With({std::string(46, 'a')});
    const std::string b58 = Base64Of(two.Files());
    ASSERT_EQ(b58.size(), 80u);
    EXPECT_NE(TRecordFiles::DataFileBytes(&two).find("<DefinedProperties>\n\t\t" +
                                                     b58.substr(0, 76) + "\n\t\t" + b58.substr(76) +
                                                     "\n\t\t</DefinedProperties>\r\n"),
              std::string::npos);
    EXPECT_EQ(ReadBack(TRecordFiles::DataFileBytes(&two)), two.Files());
}

TEST(CatalogueFile, ValueTypeFollowsTheTextsLengths) {
    EXPECT_EQ(chooseValueType("/rec/a.mp3"), recordings::vtString);
    EXPECT_EQ(chooseValueType(std::string(255, 'x')), recordings::vtString);
    EXPECT_EQ(chooseValueType(std::string(256, 'x')), recordings::vtLString);
    EXPECT_EQ(chooseValueType("/rec/café.mp3"), recordings::vtUtf8String);
    // A lone accented letter takes two bytes in either form: UTF-16.
    EXPECT_EQ(chooseValueType("é"), recordings::vtWString);
    EXPECT_EQ(chooseValueType("録音録音"), recordings::vtWString);
    EXPECT_EQ(chooseValueType(""), recordings::vtWString);
    // A character outside the BMP: four UTF-8 bytes, two UTF-16 units.
    EXPECT_EQ(chooseValueType("\xF0\x9F\x8E\xB5"), recordings::vtWString);
    // Mostly CJK with an ASCII folder: U < 2W, so UTF-8 wins.
    EXPECT_EQ(chooseValueType("/rec/録音.mp3"), recordings::vtUtf8String);

    // Lengths: bytes for 0x14 and 0x0C, UTF-16 units for 0x12.
    const auto cjk = encodeStringsProperty({"録音"});
    const std::vector<std::uint8_t> cjkValue = {0x12, 2, 0, 0, 0, 0x32, 0x93, 0xF3, 0x97, 0x00};
    EXPECT_EQ(std::vector<std::uint8_t>(cjk.begin() + 9, cjk.end()), cjkValue);
    const auto accented = encodeStringsProperty({"aé"});
    const std::vector<std::uint8_t> accentedValue = {0x14, 3, 0, 0, 0, 'a', 0xC3, 0xA9, 0x00};
    EXPECT_EQ(std::vector<std::uint8_t>(accented.begin() + 9, accented.end()), accentedValue);
    const auto longAscii = encodeStringsProperty({std::string(300, 'x')});
    EXPECT_EQ(longAscii[9], 0x0C);
    EXPECT_EQ(longAscii[10] | (longAscii[11] << 8), 300);
}

TEST(CatalogueFile, RoundTripKeepsEveryEntryInOrder) {
    const std::string longPath = "/rec/" + std::string(280, 'n') + ".wav";
    const TRecordFiles c =
        With({"/rec/notitle_20240131235958.mp3", "/rec/Chœur à l'église.ogg", "録音テスト",
              longPath, "", "/rec/twice.wav", "\xF0\x9F\x8E\xB5", "/rec/twice.wav"});
    EXPECT_EQ(ReadBack(TRecordFiles::DataFileBytes(&c)), c.Files());
}

TEST(CatalogueFile, ReaderAcceptsOtherLayoutsAndLetterCase) {
    const std::vector<std::string> paths = {"/rec/a.mp3", "/rec/ü.ogg"};
    const std::string b = Base64Of(paths);

    EXPECT_EQ(
        ReadBack(CatalogueFile("Catalogue", "Files", "(TStringList)", "DefinedProperties", b)),
        paths);
    EXPECT_EQ(ReadBack(CatalogueFile("FILES", "fILES", "(TStringList)", "definedproperties", b)),
              paths);
    std::string scattered;
    for (std::size_t k = 0; k < b.size(); k += 5)
        scattered += b.substr(k, 5) + (k % 2 ? "\r\n" : " \t ");
    EXPECT_EQ(ReadBack(CatalogueFile("Files", "Files", "  (TStringList)  ", "DefinedProperties",
                                     "\r\n   " + scattered + "\r\n")),
              paths);
    // Other control characters around the text are trimmed like blanks.
    EXPECT_EQ(ReadBack(CatalogueFile("Files", "Files", "\x0B(TStringList)\x1F", "DefinedProperties",
                                     "\x0B" + b + "\x1F")),
              paths);
    // The property element need not be the root's first child.
    std::string later = CatalogueFile("Files", "Files", "(TStringList)", "DefinedProperties", b);
    later.insert(later.find("\t<Files>"), "\t<Notes>kept elsewhere</Notes>\r\n");
    EXPECT_EQ(ReadBack(later), paths);
    // A file in UTF-16 with its mark and declaration reads the same.
    std::string utf8 = CatalogueFile("Files", "Files", "(TStringList)", "DefinedProperties", b);
    utf8.replace(utf8.find("UTF-8"), 5, "UTF-16");
    const std::string utf16 = xml::encodeFromUtf8(utf8, {xml::Charset::Utf16LE, true});
    ASSERT_EQ(utf16.substr(0, 4), std::string("\xFF\xFE<\0", 4));
    EXPECT_EQ(ReadBack(utf16), paths);
    // A byte-order mark and a CDATA block are still XML the reader takes.
    EXPECT_EQ(
        ReadBack("\xEF\xBB\xBF" + CatalogueFile("Files", "Files", "(TStringList)",
                                                "DefinedProperties", "<![CDATA[" + b + "]]>")),
        paths);
}

TEST(CatalogueFile, UnusablePropertyGivesAnEmptyCatalogue) {
    const std::string b = Base64Of({"/rec/a.mp3"});
    for (const char* className : {"(tstringlist)", "TStringList", "", "(TStrings)"})
        EXPECT_TRUE(
            ReadBack(CatalogueFile("Files", "Files", className, "DefinedProperties", b)).empty())
            << className;
    EXPECT_TRUE(
        ReadBack(CatalogueFile("Files", "Other", "(TStringList)", "DefinedProperties", b)).empty());
    EXPECT_TRUE(
        ReadBack(CatalogueFile("Files", "Files", "(TStringList)", "Properties", b)).empty());
    EXPECT_TRUE(ReadBack(CatalogueFile("Files", "Files", "(TStringList)", "DefinedProperties", ""))
                    .empty());
}

TEST(CatalogueFile, ReaderTakesEightBitValuesAndSeveralProperties) {
    // 0x06 and 0x0C carry Windows-1252 text when written elsewhere.
    std::vector<std::uint8_t> stream = {7,    's',  't', 'r',  'i', 'n', 'g', 's', 1,    0x06, 3,
                                        0xE9, 0x80, 'x', 0x0C, 1,   0,   0,   0,   0xFC, 0};
    // A second property replaces the list of the first.
    const auto second = encodeStringsProperty({"/rec/b.mp3", "/rec/c.mp3"});
    std::vector<std::uint8_t> both = stream;
    both.insert(both.end(), second.begin(), second.end());

    auto file = [](const std::vector<std::uint8_t>& s) {
        return CatalogueFile("Files", "Files", "(TStringList)", "DefinedProperties",
                             recordings::encodeBase64(s.data(), s.size()));
    };
    EXPECT_EQ(ReadBack(file(stream)), (std::vector<std::string>{"é€x", "ü"}));
    EXPECT_EQ(ReadBack(file(both)), (std::vector<std::string>{"/rec/b.mp3", "/rec/c.mp3"}));
}

TEST(CatalogueFile, Utf16ValuesDecodeSurrogatesAndRepairLoneOnes) {
    std::vector<std::uint8_t> stream = {7,    'S', 't', 'r', 'i',  'n',  'g',  's',  1,    0x12,
                                        3,    0,   0,   0,   0x3C, 0xD8, 0xB5, 0xDF, 0x41, 0x00,
                                        0x12, 1,   0,   0,   0,    0x00, 0xDC, 0};
    const std::string text = recordings::encodeBase64(stream.data(), stream.size());
    EXPECT_EQ(ReadBack(CatalogueFile("Files", "Files", "(TStringList)", "DefinedProperties", text)),
              (std::vector<std::string>{"\xF0\x9F\x8E\xB5"
                                        "A",
                                        "\xEF\xBF\xBD"}));
}
