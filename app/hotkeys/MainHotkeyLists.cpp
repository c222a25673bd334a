// The hotkey lists of the "Hotkey" page: choosing an entry registers its
// combination and stores its text as the action's setting. A combination the
// system will not give falls back to "None", with a box that says why. When
// that happens to what config.xml held (another copy has the keys, or this
// session has no global hotkeys), the file keeps the user's combination for
// the next start; only the user's own choice on the list replaces it.

#include "app/TfrmMain.h"

#include "hotkeys/HotKeyTexts.h"
#include "hotkeys/HotKeyValue.h"
#include "hotkeys/THotKeyManager.h"
#include "settings/RecorderSettings.h"
#include "ui/TComboBox.h"

QString TRecorderSettings::*TfrmMain::hotKeyFieldOf(QObject* list) const {
    if (list == cmbStart)
        return &TRecorderSettings::HotKeyStart;
    if (list == cmbPause)
        return &TRecorderSettings::HotKeyPause;
    if (list == cmbStop)
        return &TRecorderSettings::HotKeyStop;
    return nullptr;
}

QString* TfrmMain::hotKeySettingOf(QObject* list) {
    const auto field = hotKeyFieldOf(list);
    return field ? &(Settings.*field) : nullptr;
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

void TfrmMain::FallBackToNone(TComboBox* list) {
    FHotKeyFallback = true;
    list->setCurrentIndex(0); // runs cmbStartChange with "None"
    FHotKeyFallback = false;
}

bool TfrmMain::HotKeyHeldByAnAction(std::uint32_t value) {
    for (TComboBox* list : {cmbStart, cmbPause, cmbStop})
        if (ParseHotKey(hotKeySettingOf(list)->toStdString()) == value)
            return true;
    return false;
}

TRecorderSettings TfrmMain::WithStoredHotKeys(TRecorderSettings settings) {
    for (TComboBox* list : {cmbStart, cmbPause, cmbStop})
        if (const auto kept = FStoredHotKeys.find(list); kept != FStoredHotKeys.end())
            settings.*hotKeyFieldOf(list) = kept->second;
    return settings;
}

void TfrmMain::cmbStartChange(QObject* Sender) {
    auto* list = qobject_cast<TComboBox*>(Sender);
    QString* setting = hotKeySettingOf(Sender);
    if (!list || !setting || list->currentIndex() < 0)
        return;
    const QString text = list->currentText();
    if (!FStartupDone && !FHotKeyFallback)
        FStoredHotKeys[list] = text; // what config.xml holds
    else if (!FHotKeyFallback)
        FStoredHotKeys.erase(list); // the user's choice from now on
    if (text.compare(HotKeyNone, Qt::CaseInsensitive) == 0) {
        const QString old = *setting;
        *setting = HotKeyNone;
        // Another action may still hold the same combination.
        const std::uint32_t oldValue = ParseHotKey(old.toStdString());
        if (oldValue != 0 && !HotKeyHeldByAnAction(oldValue))
            FHotkeyMgr->RemoveHotKey(oldValue);
        return;
    }
    FHotkeyMgr->SetHotKeyAction(ParseHotKey(text.toStdString()),
                                list == cmbStop    ? HotKeyAction::Stop
                                : list == cmbPause ? HotKeyAction::Pause
                                                   : HotKeyAction::Record);
    if (!ApplyHotKey(text)) {
        // Text that names no combination is as good as taken.
        const bool unavailable = ParseHotKey(text.toStdString()) != 0 &&
                                 FHotkeyMgr->LastFailure() == HotkeyRegistration::Unavailable;
        ShowHotKeyFailure(text, unavailable ? HotkeyRegistration::Unavailable
                                            : HotkeyRegistration::Taken);
        FallBackToNone(list);
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
