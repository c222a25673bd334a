// The recordings list of the recordings page and the catalogue behind it:
// entry i of listFiles shows entry i of RecordFiles. Every change of the
// catalogue is written to recorded.xml at once, so a crash or a kill loses
// no recording, and the write at exit still covers everything. Each write
// takes in what another copy of the program wrote meanwhile, and the list
// then shows it too.

#include "app/TfrmMain.h"
#include "recordings/CatalogueStore.h"
#include "recordings/ListSelection.h"
#include "recordings/TRecordFiles.h"
#include "ui/TListBox.h"
#include "ui/TTextButton.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <string_view>

namespace {

// The row of the entry that was at row in before, now that the list is after:
// the same occurrence of the same path, or none when it is gone.
int sameEntryRow(const std::vector<std::string>& before, const std::vector<std::string>& after,
                 int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= before.size())
        return -1;
    const std::string& path = before[static_cast<std::size_t>(row)];
    auto occurrence = std::count(before.begin(), before.begin() + row, path);
    for (std::size_t i = 0; i < after.size(); ++i)
        if (after[i] == path && occurrence-- == 0)
            return static_cast<int>(i);
    return -1;
}

} // namespace

QString TfrmMain::RecordFilesPath() const {
    return FServices.programFiles().dataFolder + QStringLiteral("recorded.xml");
}

QString TfrmMain::FileNamePart(const QString& Path) {
    return Path.mid(Path.lastIndexOf(u'/') + 1);
}

void TfrmMain::LoadRecordFiles() {
    FCatalogue = std::make_unique<recordings::CatalogueStore>(RecordFilesPath().toStdString());
    RecordFiles = FCatalogue->open();
}

bool TfrmMain::SaveRecordFiles() {
    // An installed copy's first write makes the user's folder.
    QDir().mkpath(FServices.programFiles().dataFolder);
    if (!FCatalogue)
        FCatalogue = std::make_unique<recordings::CatalogueStore>(RecordFilesPath().toStdString());
    if (!RecordFiles) {
        // Without a catalogue this copy lists nothing; what others listed stays.
        TRecordFiles none;
        return FCatalogue->save(none).ok();
    }
    const std::vector<std::string> before = RecordFiles->Files();
    if (!FCatalogue->save(*RecordFiles).ok())
        return false;
    if (RecordFiles->Files() != before) {
        // The selection stays on its entry, and none stays none.
        const int row =
            sameEntryRow(before, RecordFiles->Files(), listFiles->selectedRow().value_or(-1));
        listFiles->clear();
        FillFileList();
        if (row >= 0)
            listFiles->setCurrentRow(row);
    }
    return true;
}

void TfrmMain::ReleaseRecordFiles() {
    if (!SaveRecordFiles())
        FServices.messages->show(
            this, QStringLiteral("Warning"),
            QStringLiteral("The list of recordings could not be saved to \"%1\".")
                .arg(RecordFilesPath()),
            MessageIcon::Warning, MessageButtons::Ok);
    RecordFiles.reset();
}

void TfrmMain::ConnectRecordingsListHandlers() {
    connect(btnClear, &QPushButton::clicked, this, [this] { btnClearClick(btnClear); });
    connect(btnOpenFilePath, &QPushButton::clicked, this,
            [this] { btnOpenFilePathClick(btnOpenFilePath); });
}

void TfrmMain::FillFileList() {
    if (!RecordFiles)
        return;
    QStringList names;
    names.reserve(static_cast<qsizetype>(RecordFiles->Files().size()));
    // Only the name part is converted: a long list opens sooner.
    for (const std::string& path : RecordFiles->Files()) {
        const std::string_view name = std::string_view(path).substr(path.rfind('/') + 1);
        names << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    }
    listFiles->addItems(names);
}

void TfrmMain::AddRecordedFile(const QString& Path) {
    if (!RecordFiles)
        return;
    RecordFiles->Files().push_back(Path.toStdString());
    listFiles->addItem(FileNamePart(Path));
    // A failure is not told here, in the middle of starting a recording: the
    // write at exit tries again and warns.
    SaveRecordFiles();
}

void TfrmMain::btnClearClick(QObject* /*Sender*/) {
    listFiles->clear();
    // What another copy recorded since this one last looked was never shown
    // here, so it is not cleared: the write lists it.
    if (RecordFiles) {
        RecordFiles->Files().clear();
        SaveRecordFiles();
    }
}

QString TfrmMain::GetSelectedFile() const {
    if (!RecordFiles)
        return {};
    const auto entry = SelectedEntry(listFiles->selectedRow(), RecordFiles->Files().size());
    return entry ? QString::fromStdString(RecordFiles->Files()[*entry]) : QString();
}

void TfrmMain::btnOpenFilePathClick(QObject* /*Sender*/) {
    if (!RecordFiles)
        return;
    const auto entry =
        BrowseEntry(listFiles->selectedRow(), static_cast<size_t>(listFiles->count()),
                    RecordFiles->Files().size());
    if (!entry)
        return;
    // A file that is gone is passed over in silence, as the button promises
    // nothing more than showing what exists.
    const QString path = QString::fromStdString(RecordFiles->Files()[*entry]);
    if (QFileInfo(path).isFile())
        FServices.fileManager->showFile(path);
}
