// The window's side of output file naming: the naming mode is read from the
// two radio buttons as they stand, everything else from the settings.

#include "app/TfrmMain.h"
#include "settings/OutputNaming.h"
#include "settings/RecorderSettings.h"
#include "ui/TCheckBox.h"

#include <QFileInfo>

QString TfrmMain::GetOutputFileExt() const {
    return naming::OutputFileExt(Settings.OutFormat);
}

naming::NamingMode TfrmMain::CheckedNamingMode() const {
    return rdSpecial->isChecked()    ? naming::NamingMode::Special
           : rdAutoSave->isChecked() ? naming::NamingMode::Auto
                                     : naming::NamingMode::None;
}

QString TfrmMain::BuildOutputFileName() const {
    naming::NamingInputs in;
    in.saveFolder = Settings.SaveFolder;
    in.mode = CheckedNamingMode();
    in.specialPath = Settings.SpecialPath;
    in.prefix = Settings.Prefix;
    in.postfix = Settings.Postfix;
    in.ext = GetOutputFileExt();
    return naming::BuildOutputFileName(in, FServices.clock->now());
}

QString TfrmMain::MakeUniqueFileName(const QString& Path) {
    return naming::MakeUniqueFileName(Path, [](const QString& p) { return QFileInfo::exists(p); });
}
