#include "xml/XmlEncoding.h"
#include "xml/XmlFile.h"
#include "xml/XmlWriter.h"

#include <gtest/gtest.h>

namespace {

std::string utf16(std::string_view ascii, bool le, bool bom) {
    std::string out;
    if (bom)
        out += le ? std::string("\xFF\xFE") : std::string("\xFE\xFF");
    for (char c : ascii) {
        out += le ? std::string{c, '\0'} : std::string{'\0', c};
    }
    return out;
}

struct Loaded {
    pugi::xml_document doc;
    xml::LoadResult result;
    explicit Loaded(std::string_view bytes) : result(xml::loadDocument(bytes, doc)) {}
    std::string text(const char* name) const {
        return doc.document_element().child(name).text().get();
    }
};

TEST(XmlEncodings, Utf8WithBomIsReadAndWrittenWithout) {
    const std::string body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                             "<r>\r\n\t<f>Caf\xC3\xA9</f>\r\n</r>\r\n";
    Loaded l("\xEF\xBB\xBF" + body);
    ASSERT_TRUE(l.result.ok) << l.result.error;
    EXPECT_EQ(l.text("f"), "Caf\xC3\xA9");
    EXPECT_EQ(xml::writeDocument(l.doc, l.result.encoding), body);
}

TEST(XmlEncodings, Utf16FilesRoundTripByteForByteWithOrWithoutBom) {
    const std::string ascii = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
                              "<r>\r\n\t<f>#</f>\r\n</r>\r\n";
    for (bool le : {true, false}) {
        for (bool bom : {true, false}) {
            std::string bytes = utf16(ascii, le, bom);
            // Put a non-ASCII character (U+00E9) and one outside the BMP (U+1F3B5)
            // in place of the #.
            const size_t x = bytes.find(le ? std::string("#\0", 2) : std::string("\0#", 2));
            ASSERT_NE(x, std::string::npos);
            const std::string special = le ? std::string("\xE9\x00\x3C\xD8\xB5\xDF", 6)
                                           : std::string("\x00\xE9\xD8\x3C\xDF\xB5", 6);
            bytes.replace(x, 2, special);
            Loaded l(bytes);
            ASSERT_TRUE(l.result.ok) << l.result.error;
            EXPECT_EQ(l.result.encoding.charset,
                      le ? xml::Charset::Utf16LE : xml::Charset::Utf16BE);
            EXPECT_EQ(l.text("f"), "\xC3\xA9\xF0\x9F\x8E\xB5");
            EXPECT_EQ(xml::writeDocument(l.doc, l.result.encoding), bytes)
                << "le=" << le << " bom=" << bom;
        }
    }
}

TEST(XmlEncodings, EightBitFilesRoundTripAndEscapeWhatTheyCannotHold) {
    // 0x80 is the euro sign in windows-1252 and a C1 control in ISO-8859-1;
    // 0xE9 is e-acute in both.
    const std::string cp1252 = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n"
                               "<r>\r\n\t<f>\x80 caf\xE9</f>\r\n</r>\r\n";
    Loaded w(cp1252);
    ASSERT_TRUE(w.result.ok) << w.result.error;
    EXPECT_EQ(w.text("f"), "\xE2\x82\xAC caf\xC3\xA9");
    EXPECT_EQ(xml::writeDocument(w.doc, w.result.encoding), cp1252);

    const std::string latin1 = "<?xml version='1.0' encoding='ISO-8859-1'?>\n<r><f>caf\xE9</f></r>";
    Loaded l(latin1);
    ASSERT_TRUE(l.result.ok) << l.result.error;
    EXPECT_EQ(l.text("f"), "caf\xC3\xA9");
    // A euro sign and a Cyrillic letter do not exist in Latin-1.
    l.doc.document_element().child("f").text().set("\xE2\x82\xAC\xD0\x96\xC3\xA9");
    l.doc.document_element().append_attribute("a") = "\xD0\x96";
    const std::string out = xml::writeDocument(l.doc, l.result.encoding);
    EXPECT_EQ(out, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
                   "<r a=\"&#1046;\">\r\n\t<f>&#8364;&#1046;\xE9</f>\r\n</r>\r\n");
    Loaded back(out);
    ASSERT_TRUE(back.result.ok);
    EXPECT_EQ(back.text("f"), "\xE2\x82\xAC\xD0\x96\xC3\xA9");
}

TEST(XmlEncodings, UndefinedWindows1252BytesSurvive) {
    const std::string bytes =
        "<?xml version=\"1.0\" encoding=\"cp1252\"?>\r\n<r>\x81\x8D\x9D</r>\r\n";
    Loaded l(bytes);
    ASSERT_TRUE(l.result.ok);
    EXPECT_EQ(xml::writeDocument(l.doc, l.result.encoding), bytes);
}

TEST(XmlEncodings, MalformedUtf8BecomesOneReplacementPerByte) {
    const xml::FileEncoding le{xml::Charset::Utf16LE, false};
    const std::string replacement("\xFD\xFF", 2);
    // An overlong '/', a surrogate, a value past U+10FFFF.
    EXPECT_EQ(xml::encodeFromUtf8("\xC0\xAF", le), replacement + replacement);
    EXPECT_EQ(xml::encodeFromUtf8("\xED\xA0\x80", le), replacement + replacement + replacement);
    EXPECT_EQ(xml::encodeFromUtf8("\xF4\x90\x80\x80", le),
              replacement + replacement + replacement + replacement);
    // The largest and smallest of each length pass whole.
    EXPECT_EQ(xml::encodeFromUtf8("\xF4\x8F\xBF\xBF", le), "\xFF\xDB\xFF\xDF");
    EXPECT_EQ(xml::encodeFromUtf8("\xC2\x80\xE0\xA0\x80", le), std::string("\x80\0\0\x08", 4));
}

TEST(XmlEncodings, UnknownOrUnsupportedEncodingsAreRefused) {
    pugi::xml_document doc;
    EXPECT_FALSE(xml::loadDocument("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><r/>", doc).ok);
    EXPECT_FALSE(xml::loadDocument(std::string("\xFF\xFE\0\0<\0\0\0", 8), doc).ok);
    // A UTF-16 file cut in the middle of a character.
    EXPECT_FALSE(xml::loadDocument(utf16("<r/>", true, true) + "x", doc).ok);
    // A lone surrogate.
    EXPECT_FALSE(xml::loadDocument(utf16("<r>", true, true) + std::string("\x3C\xD8", 2) +
                                       utf16("</r>", true, false),
                                   doc)
                     .ok);
}

TEST(XmlEncodings, OnlyTheEncodingPseudoAttributeNamesTheEncoding) {
    // The parser sees no encoding here: "encoding" ends another name, or
    // stands inside a value. Reading one as ASCII would break a round trip.
    for (const char* decl :
         {"<?xml version=\"1.0\" xencoding=\"ASCII\"?>", "<?xml version=\"encoding='ASCII'\"?>"}) {
        Loaded l(std::string(decl) + "<r>Caf\xC3\xA9</r>");
        ASSERT_TRUE(l.result.ok) << decl << ": " << l.result.error;
        EXPECT_EQ(l.result.encoding.charset, xml::Charset::Utf8) << decl;
    }
    Loaded named("<?xml version=\"1.0\"  encoding = 'ISO-8859-1'?><r/>");
    ASSERT_TRUE(named.result.ok) << named.result.error;
    EXPECT_EQ(named.result.encoding.charset, xml::Charset::Latin1);
}

} // namespace
