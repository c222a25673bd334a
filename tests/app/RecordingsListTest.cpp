// The recordings list on the window and the catalogue behind it, offscreen:
// both change together, every change reaches recorded.xml at once, and the
// naming reads the radio buttons as they stand.

#include "app/TfrmMain.h"
#include "audio/lib/AudioLib.h"
#include "audio/lib/virtual/VirtualBackend.h"
#include "recordings/TRecordFiles.h"
#include "settings/RecorderSettings.h"
#include "tests/support/FakePlatformServices.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowFixture.h"
#include "ui/TCheckBox.h"
#include "ui/TListBox.h"
#include "ui/TTextButton.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

class RecordingsList : public WindowFixture {
protected:
    void SetUp() override {
        audiolib::installBackend(std::make_unique<audiolib::VirtualBackend>(
            audiolib::VirtualConfig{{{"Line In"}}, true}));
        savedSettings = Settings;
    }
    void TearDown() override {
        w.reset();
        RecordFiles.reset();
        Settings = savedSettings;
    }
    void create() {
        installConfig();
        w = makeWindow();
    }
    std::string recorded() const { return (dir / "recorded.xml").string(); }
    std::vector<std::string> stored() const {
        auto c = TRecordFiles::CreateFromDataFile(recorded());
        return c ? c->Files() : std::vector<std::string>{"<none>"};
    }

    TRecorderSettings savedSettings;
    std::unique_ptr<TfrmMain> w;
};

} // namespace

TEST_F(RecordingsList, ListAndCatalogueChangeTogetherAndAreWrittenAtOnce) {
    create();
    w->listFiles->clear();
    RecordFiles = std::make_unique<TRecordFiles>();
    RecordFiles->Files() = {"/rec/a.mp3", "/home/ü/録音 1.ogg", "no folder.wav"};
    w->FillFileList();
    EXPECT_EQ(Entries(w->listFiles), QStringList({"a.mp3", "録音 1.ogg", "no folder.wav"}));

    w->listFiles->setCurrentRow(1);
    w->AddRecordedFile(QStringLiteral("/rec/new:1\\x.wma"));
    EXPECT_EQ(Entries(w->listFiles).last(), "new:1\\x.wma");
    EXPECT_EQ(w->listFiles->currentRow(), 1) << "the selection stays";
    EXPECT_EQ(stored(), (std::vector<std::string>{"/rec/a.mp3", "/home/ü/録音 1.ogg",
                                                  "no folder.wav", "/rec/new:1\\x.wma"}));

    w->btnClear->click();
    EXPECT_EQ(w->listFiles->count(), 0);
    EXPECT_TRUE(RecordFiles->Files().empty());
    EXPECT_NE(TempFolder::read(recorded()).find("\t<Files>(TStringList)</Files>\r\n"),
              std::string::npos);
    EXPECT_TRUE(fakes.messages->shown.empty());
}

TEST_F(RecordingsList, WithoutACatalogueOnlyTheListChanges) {
    create();
    RecordFiles.reset();
    w->listFiles->clear();
    w->FillFileList();
    w->listFiles->addItem(QStringLiteral("shown only"));
    w->AddRecordedFile(QStringLiteral("/rec/a.mp3"));
    EXPECT_EQ(Entries(w->listFiles), QStringList({"shown only"}));
    w->btnClear->click();
    EXPECT_EQ(w->listFiles->count(), 0);
    EXPECT_FALSE(std::filesystem::exists(recorded()));
}

TEST_F(RecordingsList, AFailedWriteAtExitIsToldWithThePath) {
    create();
    RecordFiles = std::make_unique<TRecordFiles>();
    RecordFiles->Files() = {"/rec/a.mp3"};
    // A folder in the file's place cannot be replaced by a file.
    std::filesystem::create_directories(dir / "recorded.xml" / "inside");
    w->AddRecordedFile(QStringLiteral("/rec/b.mp3"));
    EXPECT_TRUE(fakes.messages->shown.empty()) << "no message while recording starts";

    w->ReleaseRecordFiles();
    EXPECT_EQ(RecordFiles, nullptr);
    ASSERT_EQ(fakes.messages->shown.size(), 1u);
    const ShownMessage& m = fakes.messages->shown[0];
    EXPECT_EQ(m.caption, "Warning");
    EXPECT_EQ(m.icon, MessageIcon::Warning);
    EXPECT_TRUE(m.text.contains(QString::fromStdString(recorded()))) << m.text.toStdString();
}

TEST_F(RecordingsList, NamingReadsTheRadioButtonsAsTheyStand) {
    create();
    Settings.SaveFolder = QString::fromStdString(dir.path().string());
    Settings.OutFormat = rofOGG;
    Settings.SpecialPath = QStringLiteral("take");
    Settings.Prefix = QStringLiteral("notitle");
    Settings.Postfix = TPostfix::Time;
    // The stored mode is not what counts.
    Settings.PathMode = TPathMode::SpecialName;
    w->rdSpecial->setAutoExclusive(false);
    w->rdAutoSave->setAutoExclusive(false);
    w->rdSpecial->setChecked(false);
    w->rdAutoSave->setChecked(false);
    EXPECT_EQ(w->BuildOutputFileName(), "");

    const QString folder = Settings.SaveFolder + '/';
    w->rdAutoSave->setChecked(true);
    EXPECT_EQ(w->BuildOutputFileName(), folder + "notitle_235958.ogg");
    fakes.clock->time = QDateTime(QDate(2025, 6, 7), QTime(8, 9, 10));
    Settings.Postfix = TPostfix::DateTime;
    EXPECT_EQ(w->BuildOutputFileName(), folder + "notitle_20250607080910.ogg");

    w->rdAutoSave->setChecked(false);
    w->rdSpecial->setChecked(true);
    EXPECT_EQ(w->BuildOutputFileName(), folder + "take.ogg");
    EXPECT_EQ(w->GetOutputFileExt(), ".ogg");

    // The numbered name looks at the disk.
    TempFolder::write(dir / "take.ogg", "x");
    TempFolder::write(dir / "take_1.ogg", "x");
    EXPECT_EQ(TfrmMain::MakeUniqueFileName(folder + "take.ogg"), folder + "take_2.ogg");
}

// After a Ctrl+click cleared the selection, the current row is not the
// recording the user means: nothing is selected, and "Browse File..." shows
// the first recording, as it does with no selection.
TEST_F(RecordingsList, ActionsGoByTheSelectionNotTheCurrentRow) {
    create();
    const std::filesystem::path a = dir / "a.wav", b = dir / "b.wav";
    TempFolder::write(a, "a");
    TempFolder::write(b, "b");
    RecordFiles = std::make_unique<TRecordFiles>();
    RecordFiles->Files() = {a.string(), b.string()};
    w->listFiles->clear();
    w->FillFileList();
    w->listFiles->setCurrentRow(1);
    EXPECT_EQ(w->GetSelectedFile(), QString::fromStdString(b.string()));
    w->listFiles->selectionModel()->clearSelection();
    ASSERT_EQ(w->listFiles->currentRow(), 1);
    EXPECT_EQ(w->GetSelectedFile(), "");
    w->btnOpenFilePath->click();
    EXPECT_EQ(fakes.fileManager->shownFiles, QStringList{QString::fromStdString(a.string())});
}
