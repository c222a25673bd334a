#include "xml/XmlQuery.h"

#include <gtest/gtest.h>

namespace {

TEST(XmlQuery, NamesMatchInAnyAsciiCaseAndOnlyWhole) {
    EXPECT_TRUE(xml::sameName("General", "gENERAL"));
    EXPECT_FALSE(xml::sameName("General", "Genera"));
    EXPECT_FALSE(xml::sameName("\xC3\x89t\xC3\xA9", "\xC3\xA9t\xC3\xA9")) << "ASCII only";

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string("<r><!--files--><a/><B id='1' Key='k'><files n='2'/></B>"
                                "<Files n='3'/></r>"));
    const pugi::xml_node r = doc.child("r");
    EXPECT_EQ(xml::firstChildNamed(r, "FILES").attribute("n").as_int(), 3);
    EXPECT_EQ(xml::firstBelowNamed(r, "FILES").attribute("n").as_int(), 2) << "parent first";
    EXPECT_FALSE(xml::firstChildNamed(r, "files-"));
    EXPECT_STREQ(xml::attributeNamed(r.child("B"), "key").value(), "k");
    EXPECT_FALSE(xml::attributeNamed(r.child("B"), "ke"));
}

TEST(XmlQuery, TrimmingTakesBlanksAndControlsOrWhiteSpaceOnly) {
    EXPECT_EQ(xml::trimmed("\r\n\t \x01 a b\x1f "), "a b");
    EXPECT_EQ(xml::trimmed(" \t "), "");
    EXPECT_EQ(xml::trimmedSpace("\v\f 7 \r\n"), "7");
    EXPECT_EQ(xml::trimmedSpace("\x01 7"), "\x01 7");
}

} // namespace
