// Which copy is installed and where each keeps its files.
#include "ui/ProgramFiles.h"
#include "tests/support/TempFolder.h"

#include <QDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

QString q(const fs::path& p) {
    return QString::fromStdString(p.string());
}

} // namespace

TEST(ProgramFiles, OnlyABinFolderBesideShareTovalineIsAnInstalledCopy) {
    TempFolder root;
    fs::create_directories(root / "usr/bin");
    fs::create_directories(root / "usr/share/tovaline");
    fs::create_directories(root / "build");
    fs::create_directories(root / "unpacked/bin");

    const ProgramFiles installed = locateProgramFiles(q(root / "usr/bin/"), "/c", "/d");
    EXPECT_TRUE(installed.installed);
    EXPECT_EQ(installed.settingsFolder, "/c/tovaline/");
    EXPECT_EQ(installed.dataFolder, "/d/tovaline/");
    EXPECT_EQ(installed.encoderFolder, q(root / "usr/lib/tovaline/"));
    EXPECT_EQ(installed.shippedSettings, q(root / "usr/share/tovaline/config.xml"));

    // A build folder, or a bin folder without the shared files, is portable:
    // everything beside the executable, as before.
    for (const char* folder : {"build", "unpacked/bin"}) {
        const QString exeFolder = q(root / folder) + '/';
        const ProgramFiles portable = locateProgramFiles(exeFolder, "/c", "/d");
        EXPECT_FALSE(portable.installed) << folder;
        EXPECT_EQ(portable.settingsFolder, exeFolder);
        EXPECT_EQ(portable.dataFolder, exeFolder);
        EXPECT_EQ(portable.encoderFolder, exeFolder);
        EXPECT_TRUE(portable.shippedSettings.isEmpty());
    }
}

TEST(ProgramFiles, XdgFoldersFallBackBelowHomeWhenUnsetOrRelative) {
    setenv("XDG_CONFIG_HOME", "/elsewhere/conf", 1);
    setenv("XDG_DATA_HOME", "relative/data", 1);
    EXPECT_EQ(xdgConfigHome(), "/elsewhere/conf");
    EXPECT_EQ(xdgDataHome(), QDir::homePath() + "/.local/share");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(xdgConfigHome(), QDir::homePath() + "/.config");
}
