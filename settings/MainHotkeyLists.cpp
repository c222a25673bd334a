// The hotkey lists of the "Hotkey" page: the chosen entry becomes the
// action's setting. The hotkey manager registers the combination once it
// exists; until then the lists only keep the texts.

#include "app/TfrmMain.h"

#include "settings/RecorderSettings.h"
#include "ui/TComboBox.h"

QString* TfrmMain::hotKeySettingOf(QObject* list) {
    if (list == cmbStart)
        return &Settings.HotKeyStart;
    if (list == cmbPause)
        return &Settings.HotKeyPause;
    if (list == cmbStop)
        return &Settings.HotKeyStop;
    return nullptr;
}

void TfrmMain::cmbStartChange(QObject* Sender) {
    auto* list = qobject_cast<TComboBox*>(Sender);
    QString* setting = hotKeySettingOf(Sender);
    if (!list || !setting || list->currentIndex() < 0)
        return;
    const QString text = list->currentText();
    if (text.compare(HotKeyNone, Qt::CaseInsensitive) == 0)
        *setting = HotKeyNone;
    else
        *setting = text;
}
