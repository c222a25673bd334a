#include "xml/XmlFile.h"

#include "tests/support/TempFolder.h"
#include "tests/support/WriteFailure.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

size_t entries(const std::filesystem::path& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

TEST(XmlFile, SaveCreatesAndReplacesKeepingTheFilesMode) {
    TempFolder tmp;
    const auto path = tmp / "a.xml";
    pugi::xml_document doc;
    xml::newDocument(doc, "r").append_child("v").text().set("1");
    std::string error;
    ASSERT_TRUE(xml::saveFile(path, doc, {}, error)) << error;
    pugi::xml_document back;
    ASSERT_TRUE(xml::loadFile(path, back).ok);
    EXPECT_STREQ(back.document_element().child("v").text().get(), "1");

    ::chmod(path.c_str(), 0640);
    doc.document_element().child("v").text().set("2");
    ASSERT_TRUE(xml::saveFile(path, doc, {}, error)) << error;
    EXPECT_NE(TempFolder::read(path).find("<v>2</v>"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(entries(tmp.path()), 1u) << "a temporary file was left behind";
}

TEST(XmlFile, FailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
    TempFolder tmp;
    const auto path = tmp / "a.xml";
    TempFolder::write(path, "<old/>");
    pugi::xml_document doc;
    xml::newDocument(doc, "r").append_child("v").text().set("a longer content than before");
    std::string error;
    {
        WriteFailure fail(tmp.path());
        EXPECT_FALSE(xml::saveFile(path, doc, {}, error));
    }
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(TempFolder::read(path), "<old/>");
    EXPECT_EQ(entries(tmp.path()), 1u);

    error.clear();
    EXPECT_FALSE(xml::saveFile(tmp / "missing" / "a.xml", doc, {}, error));
    EXPECT_FALSE(error.empty());
}

TEST(XmlFile, SymlinksAreWrittenThroughAndNewFilesFollowTheUmask) {
    TempFolder tmp;
    std::filesystem::create_directory(tmp / "real");
    TempFolder::write(tmp / "real" / "a.xml", "<old/>");
    std::filesystem::create_symlink("real/a.xml", tmp / "link.xml");
    std::filesystem::create_symlink("link.xml", tmp / "chain.xml");
    std::string error;
    ASSERT_TRUE(xml::writeDocumentFile(tmp / "chain.xml", "<new/>", error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(tmp / "chain.xml"));
    EXPECT_TRUE(std::filesystem::is_symlink(tmp / "link.xml"));
    EXPECT_EQ(TempFolder::read(tmp / "real" / "a.xml"), "<new/>");
    EXPECT_EQ(entries(tmp / "real"), 1u);

    const mode_t mask = ::umask(027);
    ASSERT_TRUE(xml::writeDocumentFile(tmp / "fresh.xml", "<r/>", error)) << error;
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat((tmp / "fresh.xml").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(XmlFile, DocumentsThatWouldNotReadBackAreRefused) {
    TempFolder tmp;
    const auto path = tmp / "a.xml";
    TempFolder::write(path, "<old/>");
    pugi::xml_document doc;
    // pugixml writes a control character as it is; XML 1.0 forbids it.
    xml::newDocument(doc, "r").append_child("v").text().set("a\x01b");
    std::string error;
    EXPECT_FALSE(xml::saveFile(path, doc, {}, error));
    EXPECT_NE(error.find("refusing"), std::string::npos) << error;
    EXPECT_EQ(TempFolder::read(path), "<old/>");
}

TEST(XmlFile, DamagedCopiesNeverOverwriteOneAnother) {
    TempFolder tmp;
    const auto path = tmp / "c.xml";
    std::string error;
    for (const char* content : {"first", "second", "third"}) {
        TempFolder::write(path, content);
        EXPECT_FALSE(xml::keepDamagedCopy(path, error).empty()) << error;
    }
    EXPECT_EQ(TempFolder::read(tmp / "c.xml.bad"), "first");
    EXPECT_EQ(TempFolder::read(tmp / "c.xml.2.bad"), "second");
    EXPECT_EQ(TempFolder::read(tmp / "c.xml.3.bad"), "third");
    EXPECT_EQ(TempFolder::read(path), "third");
}

TEST(XmlFile, LoadFileReportsAMissingFile) {
    TempFolder tmp;
    pugi::xml_document doc;
    xml::LoadResult r = xml::loadFile(tmp / "none.xml", doc);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
}

} // namespace
