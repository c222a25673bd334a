// Options pages: what each control does when the user changes it. Every
// handler writes the setting the control shows at once.

#include "app/TfrmMain.h"

#include "settings/RecorderSettings.h"
#include "ui/TCheckBox.h"
#include "ui/TComboBox.h"
#include "ui/TFloatTrackBar.h"
#include "ui/TText.h"
#include "ui/TTextBox.h"
#include "ui/TTextButton.h"

#include <QFileInfo>
#include <cmath>

namespace {

// The text of the selected entry; empty without a selection.
QString chosenText(const TComboBox* list) {
    return list->currentIndex() < 0 ? QString() : list->currentText();
}

int32_t truncated(float value) {
    return static_cast<int32_t>(std::trunc(value));
}

} // namespace

void TfrmMain::ConnectOptionHandlers() {
    const auto onList = [this](TComboBox* list, void (TfrmMain::*handler)(QObject*)) {
        connect(list, &QComboBox::currentIndexChanged, this,
                [this, list, handler] { (this->*handler)(list); });
    };
    const auto onTrack = [this](TFloatTrackBar* bar, void (TfrmMain::*handler)(QObject*)) {
        connect(bar, &TFloatTrackBar::changed, this,
                [this, bar, handler] { (this->*handler)(bar); });
    };
    const auto onCheck = [this](QAbstractButton* box, void (TfrmMain::*handler)(QObject*)) {
        connect(box, &QAbstractButton::toggled, this,
                [this, box, handler] { (this->*handler)(box); });
    };
    const auto onText = [this](TTextBox* edit, void (TfrmMain::*handler)(QObject*)) {
        connect(edit, &TTextBox::changed, this, [this, edit, handler] { (this->*handler)(edit); });
    };
    const auto onClick = [this](TTextButton* button, void (TfrmMain::*handler)(QObject*)) {
        connect(button, &QAbstractButton::clicked, this,
                [this, button, handler] { (this->*handler)(button); });
    };

    onList(cmbDevice, &TfrmMain::cmbDeviceChange);
    onTrack(tbDevVolume, &TfrmMain::tbDevVolumeChange);
    onCheck(chkSkipsilence, &TfrmMain::chkSkipsilenceChange);
    onList(cmbFormat, &TfrmMain::cmbFormatChange);
    onList(cmbWavChannel, &TfrmMain::cmbWavChannelChange);
    onList(cmbWavBitpersample, &TfrmMain::cmbWavBitpersampleChange);
    onList(cmbWavSamplerate, &TfrmMain::cmbWavSamplerateChange);
    onList(cmbMp3bitrate, &TfrmMain::cmbMp3bitrateChange);
    onCheck(chkMp3CRC, &TfrmMain::chkMp3CRCChange);
    onCheck(chkMp3VBR, &TfrmMain::chkMp3VBRChange);
    onTrack(tbMp3VBRQuality, &TfrmMain::tbMp3VBRQualityChange);
    onList(cmbMp3Channel, &TfrmMain::cmbMp3ChannelChange);
    onList(cmbWMASamplerate, &TfrmMain::cmbWMASamplerateChange);
    onList(cmbWMAChannel, &TfrmMain::cmbWMAChannelChange);
    onList(cmbWMABitrate, &TfrmMain::cmbWMABitrateChange);
    onTrack(tbOGGQuality, &TfrmMain::tbOGGQualityChange);
    onText(edtSaveFolder, &TfrmMain::edtSaveFolderChange);
    onClick(btnSavefolder, &TfrmMain::btnSavefolderClick);
    onCheck(rdSpecial, &TfrmMain::rdSpecialChange);
    onText(tbSavefile, &TfrmMain::tbSavefileChange);
    onClick(btnSaveFile, &TfrmMain::btnSaveFileClick);
    onList(cmbSamename, &TfrmMain::cmbSamenameChange);
    onCheck(rdAutoSave, &TfrmMain::rdAutoSaveChange);
    onText(edtPrefix, &TfrmMain::edtPrefixChange);
    onList(cmbPostfix, &TfrmMain::cmbPostfixChange);
    for (TComboBox* list : {cmbStart, cmbPause, cmbStop})
        onList(list, &TfrmMain::cmbStartChange);
}

void TfrmMain::cmbDeviceChange(QObject*) {
    if (cmbDevice->currentIndex() >= 0) {
        Settings.Device = cmbDevice->currentIndex();
        Settings.DeviceName = cmbDevice->currentData().toString();
    }
}

void TfrmMain::tbDevVolumeChange(QObject*) {
    Settings.Volume = truncated(tbDevVolume->value());
    txtVolumevalue->setText(valueLabelText(Settings.Volume));
}

void TfrmMain::chkSkipsilenceChange(QObject*) {
    Settings.SkipSilence = chkSkipsilence->isChecked();
}

void TfrmMain::cmbFormatChange(QObject*) {
    const QString t = chosenText(cmbFormat);
    if (t.isEmpty())
        return;
    ShowFormatLayout(t);
    if (const auto format = outFormatFromName(t))
        Settings.OutFormat = *format;
}

void TfrmMain::cmbWavChannelChange(QObject*) {
    if (const auto channels = wavChannelFromText(chosenText(cmbWavChannel)))
        Settings.WavChannel = *channels;
}

void TfrmMain::cmbWavBitpersampleChange(QObject*) {
    const QString t = chosenText(cmbWavBitpersample);
    if (!t.isEmpty())
        Settings.WavBitPerSample = stripEntry(t, 16);
}

void TfrmMain::cmbWavSamplerateChange(QObject*) {
    const QString t = chosenText(cmbWavSamplerate);
    if (!t.isEmpty())
        Settings.WavSampleRate = stripEntry(t, 44100);
}

void TfrmMain::cmbMp3bitrateChange(QObject*) {
    const int i = cmbMp3bitrate->currentIndex();
    if (i < 0 || i >= Mp3BitrateItems.size())
        return;
    if (!Mp3BitrateItems[i].isEmpty())
        Settings.Mp3BitRate = stripEntry(Mp3BitrateItems[i], 128);
}

void TfrmMain::chkMp3CRCChange(QObject*) {
    Settings.Mp3CRC = chkMp3CRC->isChecked();
}

void TfrmMain::chkMp3VBRChange(QObject*) {
    Settings.Mp3VBR = chkMp3VBR->isChecked();
    tbMp3VBRQuality->setEnabled(Settings.Mp3VBR);
}

void TfrmMain::tbMp3VBRQualityChange(QObject*) {
    Settings.Mp3VBRQuality = truncated(tbMp3VBRQuality->value());
    txtMp3VBRQValue->setText(valueLabelText(Settings.Mp3VBRQuality));
}

void TfrmMain::cmbMp3ChannelChange(QObject*) {
    if (cmbMp3Channel->currentIndex() >= 0)
        Settings.Mp3Channel = cmbMp3Channel->currentIndex() + 1;
}

void TfrmMain::cmbWMASamplerateChange(QObject*) {
    const QString t = chosenText(cmbWMASamplerate);
    if (t.isEmpty())
        return;
    Settings.WmaSampleRate = stripEntry(t, 44100);
    FillWmaBitrates(Settings.WmaSampleRate, Settings.WmaChannel);
}

void TfrmMain::cmbWMAChannelChange(QObject*) {
    if (cmbWMAChannel->currentIndex() < 0)
        return;
    Settings.WmaChannel = cmbWMAChannel->currentIndex() + 1;
    FillWmaBitrates(Settings.WmaSampleRate, Settings.WmaChannel);
}

void TfrmMain::cmbWMABitrateChange(QObject*) {
    const QString t = chosenText(cmbWMABitrate);
    if (!t.isEmpty())
        Settings.WmaBitRate = stripEntry(t, 128);
}

void TfrmMain::tbOGGQualityChange(QObject*) {
    Settings.OggQuality = truncated(tbOGGQuality->value());
    txtOGGQValue->setText(valueLabelText(Settings.OggQuality));
}

void TfrmMain::edtSaveFolderChange(QObject*) {
    // A folder that does not exist is shown but not taken: recordings keep
    // going to the last folder that did.
    const QString text = edtSaveFolder->text();
    if (!text.isEmpty() && QFileInfo(text).isDir())
        Settings.SaveFolder = text;
}

void TfrmMain::rdSpecialChange(QObject*) {
    if (rdSpecial->isChecked())
        Settings.PathMode = 0;
    else if (rdAutoSave->isChecked())
        Settings.PathMode = 1;
    UpdateNamingControls();
}

void TfrmMain::rdAutoSaveChange(QObject* Sender) {
    rdSpecialChange(Sender);
}

void TfrmMain::tbSavefileChange(QObject*) {
    Settings.SpecialPath = tbSavefile->text();
}

void TfrmMain::cmbSamenameChange(QObject*) {
    if (cmbSamename->currentIndex() >= 0)
        Settings.SamenameOP = static_cast<uint8_t>(cmbSamename->currentIndex());
}

void TfrmMain::edtPrefixChange(QObject*) {
    // An emptied box keeps the last prefix: generated names need one.
    if (!edtPrefix->text().isEmpty())
        Settings.Prefix = edtPrefix->text();
}

void TfrmMain::cmbPostfixChange(QObject*) {
    if (cmbPostfix->currentIndex() >= 0)
        Settings.Postfix = static_cast<uint8_t>(cmbPostfix->currentIndex());
}
