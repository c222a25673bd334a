// Splitting encoder command lines and finding their program.
#include "audio/lib/CommandLine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <unistd.h>

namespace audiolib {
namespace {

std::vector<std::string> texts(const std::string& line) {
    std::vector<std::string> out;
    for (const CommandWord& w : splitCommandLine(line))
        out.push_back(w.text);
    return out;
}

TEST(CommandLine, BlanksSeparateAndQuotesGroup) {
    using V = std::vector<std::string>;
    EXPECT_EQ(texts("/opt/t/lame  -b 128 -m s  - \"/rec/a b.mp3\""),
              (V{"/opt/t/lame", "-b", "128", "-m", "s", "-", "/rec/a b.mp3"}));
    EXPECT_EQ(texts("oggenc2  -q 5 -o \"/rec/x.ogg\" - "),
              (V{"oggenc2", "-q", "5", "-o", "/rec/x.ogg", "-"}));
    EXPECT_EQ(texts("a\"b c\"d \"\" e"), (V{"ab cd", "", "e"}));
    EXPECT_EQ(texts("   \t "), V{});
    // An unclosed quote runs to the end of the line.
    EXPECT_EQ(texts("x \"y z"), (V{"x", "y z"}));
}

TEST(CommandLine, ProgramIsTheLongestExistingPrefix) {
    const std::set<std::string> files{"/opt/My Apps/lame", "/opt/My"};
    auto exists = [&](const std::string& p) { return files.count(p) != 0; };
    auto cmd = resolveCommand("/opt/My Apps/lame  -V4 -m j  - \"/rec/My Take.mp3\"", exists);
    ASSERT_TRUE(cmd);
    EXPECT_EQ(cmd->program, "/opt/My Apps/lame");
    EXPECT_EQ(cmd->arguments,
              (std::vector<std::string>{"-V4", "-m", "j", "-", "/rec/My Take.mp3"}));

    cmd = resolveCommand("\"/opt/My Apps/lame\" -", exists);
    ASSERT_TRUE(cmd);
    EXPECT_EQ(cmd->program, "/opt/My Apps/lame");
    EXPECT_EQ(cmd->arguments, std::vector<std::string>{"-"});

    // Only the shorter prefix exists.
    cmd = resolveCommand("/opt/My Other/lame -", exists);
    ASSERT_TRUE(cmd);
    EXPECT_EQ(cmd->program, "/opt/My");
    EXPECT_EQ(cmd->arguments.front(), "Other/lame");

    EXPECT_FALSE(resolveCommand("/nowhere/lame -b 128 - \"x.mp3\"", exists));
    EXPECT_FALSE(resolveCommand("", exists));
}

TEST(CommandLine, OnlyExecutableRegularFilesArePrograms) {
    EXPECT_TRUE(isExecutableFile("/bin/sh"));
    EXPECT_FALSE(isExecutableFile("/bin"));
    const std::string plain = ::testing::TempDir() + "plain-" + std::to_string(getpid());
    std::ofstream(plain) << "not a program";
    std::filesystem::permissions(plain, std::filesystem::perms::owner_read |
                                            std::filesystem::perms::owner_write);
    EXPECT_FALSE(isExecutableFile(plain));
    std::filesystem::remove(plain);
    EXPECT_FALSE(isExecutableFile("/no/such/file"));
}

} // namespace
} // namespace audiolib
