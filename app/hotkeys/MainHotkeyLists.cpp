// The hotkey lists of the "Hotkey" page: choosing an entry registers its
// combination and stores its text as the action's setting. A combination the
// system will not give falls back to "None", with a box that says why.

#include "app/TfrmMain.h"

#include "hotkeys/HotKeyTexts.h"
#include "hotkeys/HotKeyValue.h"
#include "hotkeys/THotKeyManager.h"
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

bool TfrmMain::ApplyHotKey(const QString& Text) {
    const std::uint32_t value = ParseHotKey(Text.toStdString());
    if (value == 0)
        return false;
    // An earlier choice of the same combination, by any action, is dropped
    // so that registering it again succeeds.
    FHotkeyMgr->RemoveHotKey(value);
    return FHotkeyMgr->AddHotKey(value) != 0;
}

void TfrmMain::cmbStartChange(QObject* Sender) {
    auto* list = qobject_cast<TComboBox*>(Sender);
    QString* setting = hotKeySettingOf(Sender);
    if (!list || !setting || list->currentIndex() < 0)
        return;
    const QString text = list->currentText();
    if (text.compare(HotKeyNone, Qt::CaseInsensitive) == 0) {
        const QString old = *setting;
        *setting = HotKeyNone;
        if (!old.isEmpty())
            FHotkeyMgr->RemoveHotKey(ParseHotKey(old.toStdString()));
        return;
    }
    if (!ApplyHotKey(text)) {
        // Text that names no combination is as good as taken.
        const bool unavailable = ParseHotKey(text.toStdString()) != 0 &&
                                 FHotkeyMgr->LastFailure() == HotkeyRegistration::Unavailable;
        ShowHotKeyFailure(text, unavailable ? HotkeyRegistration::Unavailable
                                            : HotkeyRegistration::Taken);
        // Runs this handler again, now with "None".
        list->setCurrentIndex(0);
        return;
    }
    // The combination the action held before stays registered until exit;
    // its presses match no setting.
    *setting = text;
}

void TfrmMain::ShowHotKeyFailure(const QString& Text, HotkeyRegistration Reason) {
    FServices.messages->show(
        this, QStringLiteral("Notice"),
        QString::fromStdString(HotKeyFailureMessage(Text.toStdString(), Reason)),
        MessageIcon::Information, MessageButtons::Ok);
}
