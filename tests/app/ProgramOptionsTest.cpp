// --help and --version answer and end the program before anything else: no
// display is needed and no file appears, neither beside the program nor in
// the user's folders.
#include "tests/support/TempFolder.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

struct Answer {
    int exitCode = -1;
    QString out;
};

Answer RunProgram(const fs::path& exe, const fs::path& home, const QStringList& args) {
    QProcessEnvironment env;
    env.insert("HOME", QString::fromStdString(home.string()));
    env.insert("PATH", "/usr/bin:/bin");
    QProcess p;
    p.setProcessEnvironment(env); // no DISPLAY, no sound server
    p.start(QString::fromStdString(exe.string()), args);
    if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput())};
}

size_t Entries(const fs::path& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

} // namespace

TEST(ProgramOptions, HelpAndVersionPrintAndExitWithoutDisplayOrFiles) {
    TempFolder program;
    TempFolder home;
    const fs::path exe = program / "tovaline";
    fs::copy_file(TOVALINE_EXE, exe);

    const Answer help = RunProgram(exe, home.path(), {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: tovaline")) << help.out.toStdString();
    EXPECT_EQ(RunProgram(exe, home.path(), {"-h"}).out, help.out);

    const Answer version = RunProgram(exe, home.path(), {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "Tovaline " TOVALINE_VERSION "\n");

    // The first informational option answers.
    EXPECT_EQ(RunProgram(exe, home.path(), {"--version", "--help"}).out, version.out);

    EXPECT_EQ(Entries(program.path()), 1u) << "only the program itself";
    EXPECT_EQ(Entries(home.path()), 0u);
}
