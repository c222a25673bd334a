// The catalogue across runs of the window: read at start-up, written at exit
// and after each change, kept when damaged, and surviving a kill.

#include "app/TfrmMain.h"
#include "audio/lib/AudioLib.h"
#include "audio/lib/virtual/VirtualBackend.h"
#include "recordings/TRecordFiles.h"
#include "tests/support/FakePlatformServices.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowFixture.h"
#include "ui/TListBox.h"

#include <QApplication>
#include <QProcess>
#include <gtest/gtest.h>

#include <csignal>

namespace {

constexpr const char* kChildFolder = "TOVALINE_CATALOGUE_CHILD_FOLDER";

class CatalogueStartup : public WindowFixture {
protected:
    void SetUp() override {
        audiolib::installBackend(std::make_unique<audiolib::VirtualBackend>(
            audiolib::VirtualConfig{{{"Line In"}}, true}));
    }
    std::unique_ptr<TfrmMain> create() {
        installConfig();
        return makeWindow();
    }
    std::string recorded() const { return (dir / "recorded.xml").string(); }
    void store(std::vector<std::string> paths) {
        TRecordFiles c;
        c.Files() = std::move(paths);
        ASSERT_EQ(TRecordFiles::SaveDataFile(recorded(), &c), "");
    }
};

} // namespace

TEST_F(CatalogueStartup, TheListShowsTheStoredRecordingsAndExitWritesThemBack) {
    store({"/rec/one.mp3", "/rec/two.ogg", "/rec/one.mp3"});
    auto w = create();
    ASSERT_NE(RecordFiles, nullptr);
    EXPECT_EQ(Entries(w->listFiles), QStringList({"one.mp3", "two.ogg", "one.mp3"}));
    w->AddRecordedFile(QStringLiteral("/rec/three.wav"));
    std::filesystem::remove(recorded());
    EXPECT_TRUE(fakes.messages->shown.empty());
    // The fakes go with the window.
    w.reset();
    EXPECT_EQ(RecordFiles, nullptr);
    auto back = TRecordFiles::CreateFromDataFile(recorded());
    ASSERT_NE(back, nullptr) << "written at exit even when nothing changed since";
    EXPECT_EQ(back->Files(), (std::vector<std::string>{"/rec/one.mp3", "/rec/two.ogg",
                                                       "/rec/one.mp3", "/rec/three.wav"}));
}

TEST_F(CatalogueStartup, ADamagedFileIsKeptAndTheRunStillKeepsItsRecordings) {
    const std::string damaged = "<?xml version=\"1.0\"?><Files><Files>(TStringList)"
                                "<DefinedProperties>%%%</DefinedProperties></Files></Files>";
    TempFolder::write(recorded(), damaged);
    auto w = create();
    EXPECT_EQ(w->listFiles->count(), 0);
    EXPECT_EQ(TempFolder::read(recorded() + ".bad"), damaged);
    w->AddRecordedFile(QStringLiteral("/rec/after.mp3"));
    EXPECT_EQ(Entries(w->listFiles), QStringList({"after.mp3"}));
    EXPECT_TRUE(fakes.messages->shown.empty()) << "nothing is told at start-up";
    w.reset();

    auto next = create();
    EXPECT_EQ(Entries(next->listFiles), QStringList({"after.mp3"}));
    EXPECT_EQ(TempFolder::read(recorded() + ".bad"), damaged);
}

TEST_F(CatalogueStartup, AnEmptyFileStartsAnEmptyListAndIsNotKept) {
    TempFolder::write(recorded(), "");
    auto w = create();
    EXPECT_EQ(w->listFiles->count(), 0);
    w->AddRecordedFile(QStringLiteral("/rec/first.mp3"));
    EXPECT_EQ(w->listFiles->count(), 1);
    w.reset();
    EXPECT_FALSE(std::filesystem::exists(recorded() + ".bad"));
    auto back = TRecordFiles::CreateFromDataFile(recorded());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Files(), std::vector<std::string>{"/rec/first.mp3"});
}

// Run only as the child of the test below: a window that records and is
// killed before any shutdown.
TEST_F(CatalogueStartup, ChildRecordsAndIsKilled) {
    const QByteArray folder = qgetenv(kChildFolder);
    if (folder.isEmpty())
        GTEST_SKIP() << "run by KilledRunKeepsItsRecording";
    TfrmMain w(fakes.make(QString::fromUtf8(folder)));
    w.AddRecordedFile(QStringLiteral("/rec/killed.mp3"));
    std::raise(SIGKILL);
}

TEST_F(CatalogueStartup, KilledRunKeepsItsRecording) {
    store({"/rec/before.mp3"});
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kChildFolder, QString::fromStdString(dir.path().string()));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=CatalogueStartup.ChildRecordsAndIsKilled")});
    ASSERT_TRUE(child.waitForFinished(60000));
    ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << child.readAllStandardOutput().data();

    auto w = create();
    EXPECT_EQ(Entries(w->listFiles), QStringList({"before.mp3", "killed.mp3"}));
}
