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

TEST(XmlFile, LoadFileReportsAMissingFile) {
    TempFolder tmp;
    pugi::xml_document doc;
    xml::LoadResult r = xml::loadFile(tmp / "none.xml", doc);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
}

} // namespace
