#include "xml/XmlFile.h"
#include "xml/XmlWriter.h"

#include <gtest/gtest.h>

namespace {

std::string roundTrip(std::string_view bytes) {
    pugi::xml_document doc;
    xml::LoadResult r = xml::loadDocument(bytes, doc);
    EXPECT_TRUE(r.ok) << r.error;
    return xml::writeDocument(doc, r.encoding);
}

TEST(XmlLayout, NewDocumentUsesTabsCrLfOneLineTextAndEmptyTags) {
    pugi::xml_document doc;
    pugi::xml_node root = xml::newDocument(doc, "Config");
    root.append_child("Volume").text().set("5");
    pugi::xml_node g = root.append_child("OutFormat");
    g.append_attribute("format") = "MP3";
    g.append_child("WAVE").append_child("Channel").text().set("2");
    root.append_child("SaveFolder");
    EXPECT_EQ(xml::writeDocument(doc), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                       "<Config>\r\n"
                                       "\t<Volume>5</Volume>\r\n"
                                       "\t<OutFormat format=\"MP3\">\r\n"
                                       "\t\t<WAVE>\r\n"
                                       "\t\t\t<Channel>2</Channel>\r\n"
                                       "\t\t</WAVE>\r\n"
                                       "\t</OutFormat>\r\n"
                                       "\t<SaveFolder/>\r\n"
                                       "</Config>\r\n");
    pugi::xml_document bare;
    xml::newDocument(bare, "Files");
    EXPECT_EQ(xml::writeDocument(bare),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Files/>\r\n");
}

TEST(XmlLayout, LeadingTextStaysOnStartTagLineAndBareLfInTextIsKept) {
    pugi::xml_document doc;
    pugi::xml_node root = xml::newDocument(doc, "Files");
    pugi::xml_node prop = root.append_child("Files");
    prop.append_child(pugi::node_pcdata).set_value("(TStringList)");
    prop.append_child("DefinedProperties").text().set("\n\t\tQUJD\n\t\tREVG\n\t\t");
    const std::string expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                 "<Files>\r\n"
                                 "\t<Files>(TStringList)\r\n"
                                 "\t\t<DefinedProperties>\n\t\tQUJD\n\t\tREVG\n\t\t"
                                 "</DefinedProperties>\r\n"
                                 "\t</Files>\r\n"
                                 "</Files>\r\n";
    EXPECT_EQ(xml::writeDocument(doc), expected);
    // Reading our own mixed layout back must not grow it.
    EXPECT_EQ(roundTrip(expected), expected);
}

TEST(XmlLayout, EscapesTextAndAttributesSoTheyReadBackUnchanged) {
    pugi::xml_document doc;
    pugi::xml_node root = xml::newDocument(doc, "r");
    const char* text = "a<b>&c \"q\" 'x'\r\nline2\tend";
    root.append_child("t").text().set(text);
    root.append_attribute("v") = "1 & \"2\"\n<3>\t";
    const std::string bytes = xml::writeDocument(doc);
    EXPECT_NE(bytes.find("<t>a&lt;b&gt;&amp;c \"q\" 'x'&#13;\nline2\tend</t>"), std::string::npos)
        << bytes;

    pugi::xml_document back;
    ASSERT_TRUE(xml::loadDocument(bytes, back).ok);
    EXPECT_STREQ(back.document_element().child("t").text().get(), text);
    EXPECT_STREQ(back.document_element().attribute("v").value(), "1 & \"2\"\n<3>\t");
}

TEST(XmlLayout, ForeignLayoutIsRewrittenOnceAndThenStable) {
    const std::string foreign = "<?xml version='1.0'?>\n"
                                "<!DOCTYPE Config>\n"
                                "<!-- top -->\n"
                                "<Config a='1'>  <x>  keep  </x><!--c--><y/><z></z>\n"
                                "<?pi data?><w><![CDATA[<raw>]]></w>"
                                "<m>mixed <b>bold</b> tail</m></Config>\n";
    const std::string once = roundTrip(foreign);
    EXPECT_EQ(once, "<?xml version=\"1.0\"?>\r\n"
                    "<!DOCTYPE Config>\r\n"
                    "<!-- top -->\r\n"
                    "<Config a=\"1\">\r\n"
                    "\t<x>  keep  </x>\r\n"
                    "\t<!--c-->\r\n"
                    "\t<y/>\r\n"
                    "\t<z/>\r\n"
                    "\t<?pi data?>\r\n"
                    "\t<w><![CDATA[<raw>]]></w>\r\n"
                    "\t<m>mixed\r\n"
                    "\t\t<b>bold</b>\r\n"
                    "\t\ttail\r\n"
                    "\t</m>\r\n"
                    "</Config>\r\n");
    EXPECT_EQ(roundTrip(once), once);
}

TEST(XmlLayout, WhiteSpaceAloneIsKeptAsAnElementsWholeText) {
    EXPECT_EQ(roundTrip("<r><p> </p></r>"), "<r>\r\n\t<p> </p>\r\n</r>\r\n");
}

TEST(XmlLoad, RejectsDocumentsWithoutRootElement) {
    pugi::xml_document doc;
    for (std::string_view bad :
         {std::string_view(""), std::string_view("  \r\n"),
          std::string_view("<?xml version=\"1.0\"?>"), std::string_view("<!-- only -->"),
          std::string_view("<Config><Volume>5</Vol"), std::string_view("not xml at all"),
          std::string_view("<a></b>")}) {
        xml::LoadResult r = xml::loadDocument(bad, doc);
        EXPECT_FALSE(r.ok) << "accepted: " << bad;
        EXPECT_FALSE(r.error.empty());
        EXPECT_FALSE(doc.first_child());
    }
}

} // namespace
