// The window's side of output file naming: the naming mode is read from the
// two radio buttons as they stand, everything else from the settings.

#include "app/OutputNaming.h"
#include "app/TfrmMain.h"
#include "settings/RecorderSettings.h"
#include "ui/TCheckBox.h"

#include <QFileInfo>

QString TfrmMain::GetOutputFileExt() const {
    return naming::OutputFileExt(Settings.OutFormat);
}

QString TfrmMain::BuildOutputFileName() const {
    naming::NamingInputs in;
    in.saveFolder = Settings.SaveFolder;
    in.mode = rdSpecial->isChecked()    ? naming::NamingMode::Special
              : rdAutoSave->isChecked() ? naming::NamingMode::Auto
                                        : naming::NamingMode::None;
    in.specialPath = Settings.SpecialPath;
    in.prefix = Settings.Prefix;
    in.postfix = Settings.Postfix;
    in.ext = GetOutputFileExt();
    return naming::BuildOutputFileName(in, FServices.clock->now());
}

QString TfrmMain::MakeUniqueFileName(const QString& Path) {
    return naming::MakeUniqueFileName(Path, [](const QString& p) { return QFileInfo::exists(p); });
}
