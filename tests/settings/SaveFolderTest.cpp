#include "settings/SaveFolder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

// A typed folder is made with its parents; one under a plain file cannot be,
// and the message names it and the folder recordings keep going to.
TEST(SaveFolder, MakesNewFoldersAndSaysWhyWhenItCannot) {
    TempFolder dir;
    const QString base = QString::fromStdString(dir.path().string());
    EXPECT_TRUE(PrepareSaveFolder(base, {}).ok());
    EXPECT_TRUE(PrepareSaveFolder(base + "/new/day one", {}).ok());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "new" / "day one"));

    TempFolder::write(dir / "plain", "x");
    const Result refused = PrepareSaveFolder(base + "/plain/sub", base);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.fault(), Fault::Io);
    const QString text = QString::fromStdString(refused.message());
    EXPECT_TRUE(text.startsWith("The folder \"" + base + "/plain/sub\" could not be created: "))
        << refused.message();
    EXPECT_TRUE(text.endsWith("Recordings still go to \"" + base + "\".")) << refused.message();
    EXPECT_FALSE(PrepareSaveFolder(base + "/plain", base).ok()) << "a file is no folder";
}
