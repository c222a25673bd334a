// Damaged catalogue files: each ends in a defined way, never a crash or a read
// past the bytes (run under ASan), and the start-up keeps what it cannot read.

#include "recordings/Base64.h"
#include "recordings/CatalogueStore.h"
#include "recordings/PropertyStream.h"
#include "recordings/TRecordFiles.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using recordings::StreamError;

namespace {

std::string FileWithList(const std::string& listText) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Files>\r\n\t<Files>(TStringList)\r\n"
           "\t\t<DefinedProperties>" +
           listText + "</DefinedProperties>\r\n\t</Files>\r\n</Files>\r\n";
}

std::string FileWithStream(const std::vector<std::uint8_t>& stream) {
    return FileWithList(recordings::encodeBase64(stream.data(), stream.size()));
}

CatalogueLoad Load(const std::string& bytes) {
    CatalogueLoad status = CatalogueLoad::Loaded;
    const auto catalogue = TRecordFiles::CreateFromBytes(bytes, &status);
    EXPECT_EQ(catalogue != nullptr, status == CatalogueLoad::Loaded);
    return status;
}

std::vector<std::uint8_t> Header() {
    return {7, 'S', 't', 'r', 'i', 'n', 'g', 's', 1};
}

std::vector<std::uint8_t> Concat(std::vector<std::uint8_t> a, std::vector<std::uint8_t> b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(CatalogueDamage, Base64Errors) {
    std::vector<std::uint8_t> out;
    EXPECT_FALSE(recordings::decodeBase64("QUJD!", out));        // outside the alphabet
    EXPECT_FALSE(recordings::decodeBase64("QUJDR", out));        // not a multiple of 4
    EXPECT_FALSE(recordings::decodeBase64("QU=D", out));         // data after padding
    EXPECT_FALSE(recordings::decodeBase64("Q===", out));         // padding too early
    EXPECT_FALSE(recordings::decodeBase64("QQ==QUJD", out));     // group after a padded one
    EXPECT_FALSE(recordings::decodeBase64("QUJD\xC3\xA9", out)); // 8-bit bytes
    ASSERT_TRUE(recordings::decodeBase64(" Q\tU\r\nJ D Q Q = = ", out));
    EXPECT_EQ(out, (std::vector<std::uint8_t>{'A', 'B', 'C', 'A'}));

    EXPECT_EQ(Load(FileWithList("QUJD!")), CatalogueLoad::BadBase64);
    EXPECT_EQ(Load(FileWithList("B1N0cmluZ3MBBgxDOlxSZWNcYS5tcDM")), CatalogueLoad::BadBase64);
}

TEST(CatalogueDamage, StreamErrorsAreNamed) {
    auto decode = [](const std::vector<std::uint8_t>& bytes) {
        std::vector<std::string> paths;
        return recordings::decodeProperties(bytes, paths);
    };
    EXPECT_EQ(decode({5, 'I', 't', 'e', 'm', 's', 1, 0}), StreamError::BadPropertyName);
    EXPECT_EQ(decode({7, 'S', 't', 'r', 'i', 'n', 'g', 's', 2, 0}), StreamError::NoListStart);
    EXPECT_EQ(decode(Concat(Header(), {0x07, 1, 'a', 0})), StreamError::BadValueType);
    EXPECT_EQ(decode({7, 'S', 't', 'r'}), StreamError::Truncated); // inside the name
    EXPECT_EQ(decode(Header()), StreamError::Truncated);           // no end byte
    EXPECT_EQ(decode(Concat(Header(), {0x06, 5, 'a', 'b'})), StreamError::Truncated);
    EXPECT_EQ(decode(Concat(Header(), {0x14, 9, 0, 0, 0, 'a', 0})), StreamError::Truncated);
    EXPECT_EQ(decode(Concat(Header(), {0x14, 2, 0})), StreamError::Truncated); // inside a length
    // 4 GB length fields: 0xFFFFFFFF bytes, and units whose byte count
    // overflows 32 bits.
    for (std::uint8_t type : {0x0C, 0x12, 0x14})
        EXPECT_EQ(decode(Concat(Header(), {type, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 0})),
                  StreamError::Truncated)
            << int(type);
    EXPECT_EQ(decode(Concat(Header(), {0x12, 0x00, 0x00, 0x00, 0x80, 'a', 'b', 0})),
              StreamError::Truncated);
    EXPECT_EQ(decode({}), StreamError::None);

    // In a file every one of these leaves no catalogue.
    EXPECT_EQ(Load(FileWithStream({5, 'I', 't', 'e', 'm', 's', 1, 0})), CatalogueLoad::BadStream);
    EXPECT_EQ(Load(FileWithStream(Concat(Header(), {0x06, 200, 'a', 0}))),
              CatalogueLoad::BadStream);
    EXPECT_EQ(Load(FileWithStream(Concat(Header(), {0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0}))),
              CatalogueLoad::BadStream);
}

TEST(CatalogueDamage, FilesWithoutARootGiveNoCatalogue) {
    for (const std::string& bytes :
         {std::string(), std::string(" \r\n\t "), std::string("<?xml version=\"1.0\"?>\r\n"),
          std::string("<!-- only a comment -->"), std::string("recorded files"),
          std::string("<Files><Files>(TStringList)"), std::string("\0\0\0", 3)})
        EXPECT_EQ(Load(bytes), CatalogueLoad::NoRoot) << bytes;
}

TEST(CatalogueDamage, EveryPrefixOfAGoodFileEndsCleanly) {
    // Cutting a written file at every length covers truncation inside the
    // XML, the Base64 and the stream; none may crash or read past the end.
    TRecordFiles c;
    c.Files() = {"/rec/a.mp3", "/rec/é.ogg", "録音", std::string(300, 'l')};
    const std::string bytes = TRecordFiles::DataFileBytes(&c);
    // The last two cuts only drop the final CR LF and still hold the list.
    for (std::size_t n = 0; n + 2 < bytes.size(); ++n) {
        const auto catalogue = TRecordFiles::CreateFromBytes(std::string_view(bytes).substr(0, n));
        if (catalogue) {
            EXPECT_NE(catalogue->Files(), c.Files()) << n;
        }
    }
    // And damaged streams: every byte flipped, then random bytes at random
    // places; some outcome, never a crash. A value decoded from a damaged
    // stream never holds more text than the stream had bytes.
    const auto stream = recordings::encodeStringsProperty(c.Files());
    auto check = [](const std::vector<std::uint8_t>& damaged) {
        std::vector<std::string> paths;
        recordings::decodeProperties(damaged, paths);
        std::size_t text = 0;
        for (const auto& p : paths)
            text += p.size();
        // UTF-16 and 8-bit text grow to at most 3 bytes per byte in UTF-8.
        EXPECT_LE(text, 3 * damaged.size());
    };
    for (std::size_t k = 0; k < stream.size(); ++k) {
        auto damaged = stream;
        damaged[k] ^= 0xFF;
        check(damaged);
    }
    std::mt19937 random(7);
    for (int round = 0; round < 5000; ++round) {
        auto damaged = stream;
        for (int hits = 1 + random() % 4; hits > 0; --hits)
            damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
        damaged.resize(random() % (damaged.size() + 1));
        check(damaged);
    }
}

TEST(CatalogueStart, KeepsWhatItCannotReadAndStartsEmpty) {
    TempFolder dir;
    const std::string path = dir / "recorded.xml";

    auto missing = recordings::openCatalogue(path);
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->Files().empty());

    const std::string bad = FileWithList("not base64!");
    TempFolder::write(path, bad);
    auto kept = recordings::openCatalogue(path);
    ASSERT_TRUE(kept);
    EXPECT_TRUE(kept->Files().empty());
    EXPECT_EQ(TempFolder::read(path + ".bad"), bad);

    // A second damaged file keeps the first copy; so does a file that reads
    // as an empty catalogue only because its class name is not accepted.
    const std::vector<std::uint8_t> stream = recordings::encodeStringsProperty({"/rec/a.mp3"});
    std::string unaccepted = FileWithStream(stream);
    unaccepted.replace(unaccepted.find("TStringList"), 11, "TStrings");
    TempFolder::write(path, unaccepted);
    auto unlisted = recordings::openCatalogue(path);
    ASSERT_TRUE(unlisted);
    EXPECT_TRUE(unlisted->Files().empty());
    EXPECT_EQ(TempFolder::read(path + ".bad"), bad);
    EXPECT_EQ(TempFolder::read(path + ".2.bad"), unaccepted);
    // The list read past an empty CDATA section is judged as the reader reads it.
    std::string blankFirst = unaccepted;
    blankFirst.insert(blankFirst.find("<DefinedProperties>") + 19, "<![CDATA[ ]]>");
    TempFolder::write(path, blankFirst);
    recordings::openCatalogue(path);
    EXPECT_EQ(TempFolder::read(path + ".3.bad"), blankFirst);
    fs::remove(path + ".3.bad");
    TempFolder::write(path, FileWithStream(recordings::encodeStringsProperty({})));
    recordings::openCatalogue(path);
    EXPECT_FALSE(fs::exists(path + ".3.bad")) << "an empty list is nothing lost";
    fs::remove(path + ".2.bad");

    TempFolder::write(path, "");
    fs::remove(path + ".bad");
    auto empty = recordings::openCatalogue(path);
    ASSERT_TRUE(empty);
    EXPECT_FALSE(fs::exists(path + ".bad"));

    // A root without a usable list is a catalogue, not damage.
    TempFolder::write(path, "<Files/>");
    auto bare = recordings::openCatalogue(path);
    ASSERT_TRUE(bare);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_FALSE(fs::exists(path + ".bad"));
}

TEST(CatalogueSave, WritesThroughAFileThatReplacesTheOld) {
    TempFolder dir;
    const std::string path = dir / "recorded.xml";
    TRecordFiles c;
    c.Files() = {"/rec/a.mp3"};
    ASSERT_EQ(TRecordFiles::SaveDataFile(path, &c), "");
    c.Files().push_back("/rec/b.mp3");
    ASSERT_EQ(TRecordFiles::SaveDataFile(path, &c), "");
    EXPECT_EQ(TempFolder::read(path), TRecordFiles::DataFileBytes(&c));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << "no temporary file left";

    auto loaded = TRecordFiles::CreateFromDataFile(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Files(), c.Files());

    // A write that cannot replace the target reports why and leaves the
    // folder as it was.
    const std::string blocked = dir / "blocked";
    fs::create_directories(fs::path(blocked) / "inside");
    EXPECT_NE(TRecordFiles::SaveDataFile(blocked, &c), "");
    EXPECT_TRUE(fs::is_directory(blocked));
    EXPECT_NE(TRecordFiles::SaveDataFile(dir / "no/such/folder/recorded.xml", &c), "");
    EXPECT_EQ(TempFolder::read(path), TRecordFiles::DataFileBytes(&c));
}

TEST(CatalogueSave, AnEntryWrittenRightAwaySurvivesAKill) {
    TempFolder dir;
    const std::string path = dir / "recorded.xml";
    TRecordFiles before;
    before.Files() = {"/rec/old.mp3"};
    ASSERT_EQ(TRecordFiles::SaveDataFile(path, &before), "");

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The run: open, record, save as each change does, then die without
        // any shutdown.
        auto catalogue = recordings::openCatalogue(path);
        catalogue->Files().push_back("/rec/new.mp3");
        if (!TRecordFiles::SaveDataFile(path, catalogue.get()).empty())
            ::_exit(3);
        ::raise(SIGKILL);
        ::_exit(4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;

    auto next = recordings::openCatalogue(path);
    EXPECT_EQ(next->Files(), (std::vector<std::string>{"/rec/old.mp3", "/rec/new.mp3"}));
}
