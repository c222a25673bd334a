// Options pages: the folder browser and the save-file dialog of the
// "FilePath" page.

#include "app/TfrmMain.h"

#include "settings/RecorderSettings.h"
#include "ui/TTextBox.h"

#include <QDir>
#include <QStandardPaths>

bool TfrmMain::BrowseForFolder(QString& Path, const QString& Title) {
    const QString chosen = FServices.dialogs->chooseFolder(this, Path, Title);
    if (chosen.isEmpty())
        return false;
    Path = chosen;
    return true;
}

void TfrmMain::GetSpecialFolderPath(QStandardPaths::StandardLocation Folder, QString& Path) {
    const QString location = QStandardPaths::writableLocation(Folder);
    if (!location.isEmpty() && QDir(location).exists())
        Path = location;
}

void TfrmMain::btnSavefolderClick(QObject*) {
    QString path;
    GetSpecialFolderPath(QStandardPaths::MusicLocation, path);
    if (path.isEmpty())
        GetSpecialFolderPath(QStandardPaths::DesktopLocation, path);
    if (!BrowseForFolder(path, QStringLiteral("Select a folder")))
        return;
    // Shown by the program, so the box reports no change of its own.
    edtSaveFolder->setText(path);
    Settings.SaveFolder = path;
}

void TfrmMain::btnSaveFileClick(QObject*) {
    const QString path = FServices.dialogs->chooseSaveFile(this, QString(), QString());
    if (path.isEmpty())
        return;
    // Only the name counts: the recording goes to SaveFolder.
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    tbSavefile->setText(name);
    Settings.SpecialPath = name;
}
