// The window's global hotkeys: the manager's life, and what a press does. A
// press stands for a click of the record or the stop button, so it counts
// only where such a click could happen: once the window is up, and never
// under a modal box or dialog of the program.

#include "app/TfrmMain.h"

#include "hotkeys/HotKeyTexts.h"
#include "hotkeys/HotKeyValue.h"
#include "hotkeys/NoHotkeyBackend.h"
#include "hotkeys/THotKeyManager.h"
#include "settings/RecorderSettings.h"
#include "ui/TBitmapButton.h"
#include "ui/TComboBox.h"

#include <vector>

void TfrmMain::CreateHotKeyManager() {
    std::unique_ptr<HotkeyBackend> backend;
    if (FServices.hotkeyBackend)
        backend = FServices.hotkeyBackend();
    if (!backend)
        backend = std::make_unique<NoHotkeyBackend>();
    FHotkeyMgr = std::make_unique<THotKeyManager>(std::move(backend));
    FHotkeyMgr->OnHotKeyPressed = [this](std::uint32_t HotKey, HotKeyId Index) {
        HotKeyPressed(HotKey, Index);
    };
    FHotkeyMgr->OnHotKeyRefused = [this](std::uint32_t HotKey, HotkeyRegistration Reason) {
        HotKeyRefused(HotKey, Reason);
    };
}

void TfrmMain::ReleaseHotKeyManager() {
    if (!FHotkeyMgr)
        return;
    FHotkeyMgr->ClearHotKeys();
    FHotkeyMgr.reset(); // the field is empty before the manager goes
}

void TfrmMain::HotKeyPressed(std::uint32_t HotKey, HotKeyId) {
    if (!OutsidePressAllowed())
        return;
    const QString text = QString::fromStdString(PressedHotKeyText(HotKey));
    const auto is = [&text](const QString& setting) {
        return text.compare(setting, Qt::CaseInsensitive) == 0;
    };
    if (is(Settings.HotKeyStart) || is(Settings.HotKeyPause))
        btnRecordClick(btnRecord);
    else if (is(Settings.HotKeyStop))
        btnRecStopClick(btnRecStop);
}

// Every action that held the combination falls back to "None", under one box.
void TfrmMain::HotKeyRefused(std::uint32_t HotKey, HotkeyRegistration Reason) {
    std::vector<TComboBox*> holders;
    for (TComboBox* list : {cmbStart, cmbPause, cmbStop})
        if (ParseHotKey(hotKeySettingOf(list)->toStdString()) == HotKey)
            holders.push_back(list);
    if (holders.empty())
        return;
    ShowHotKeyFailure(*hotKeySettingOf(holders.front()), Reason);
    for (TComboBox* list : holders)
        FallBackToNone(list);
}
