// The recordings list of the recordings page and the catalogue behind it:
// entry i of listFiles shows entry i of RecordFiles. Every change of the
// catalogue is written to recorded.xml at once, so a crash or a kill loses
// no recording, and the write at exit still covers everything.

#include "app/TfrmMain.h"
#include "recordings/CatalogueStore.h"
#include "recordings/ListSelection.h"
#include "recordings/TRecordFiles.h"
#include "ui/TListBox.h"
#include "ui/TTextButton.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <string_view>

QString TfrmMain::RecordFilesPath() const {
    return FServices.programFiles().dataFolder + QStringLiteral("recorded.xml");
}

QString TfrmMain::FileNamePart(const QString& Path) {
    return Path.mid(Path.lastIndexOf(u'/') + 1);
}

void TfrmMain::LoadRecordFiles() {
    RecordFiles = recordings::openCatalogue(RecordFilesPath().toStdString());
}

bool TfrmMain::SaveRecordFiles() {
    // An installed copy's first write makes the user's folder.
    QDir().mkpath(FServices.programFiles().dataFolder);
    return TRecordFiles::SaveDataFile(RecordFilesPath().toStdString(), RecordFiles.get()).empty();
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
    if (RecordFiles) {
        RecordFiles->Files().clear();
        SaveRecordFiles();
    }
    listFiles->clear();
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
