// Options pages: what each control does when the user changes it. Every
// handler writes the setting the control shows at once.

#include "app/TfrmMain.h"

#include "settings/RecorderSettings.h"
#include "settings/SaveFolder.h"
#include "ui/TCheckBox.h"
#include "ui/TComboBox.h"
#include "ui/TFloatTrackBar.h"
#include "ui/TText.h"
#include "ui/TTextBox.h"
#include "ui/TTextButton.h"

#include <cmath>
#include <optional>

namespace {

// The value the selected entry stands for; none without a selection.
std::optional<int32_t> chosenValue(const TComboBox* list) {
    if (list->currentIndex() < 0)
        return std::nullopt;
    bool ok = false;
    const int32_t value = list->currentData().toInt(&ok);
    return ok ? std::optional<int32_t>(value) : std::nullopt;
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
    const auto value = chosenValue(cmbFormat);
    if (!value || *value < 0 || *value >= OutFormatNames.size())
        return;
    const auto format = static_cast<TRecordOutFormat>(*value);
    ShowFormatLayout(outFormatName(format));
    Settings.OutFormat = format;
}

void TfrmMain::cmbWavChannelChange(QObject*) {
    if (const auto channels = chosenValue(cmbWavChannel))
        Settings.WavChannel = *channels;
}

void TfrmMain::cmbWavBitpersampleChange(QObject*) {
    if (const auto bits = chosenValue(cmbWavBitpersample))
        Settings.WavBitPerSample = *bits;
}

void TfrmMain::cmbWavSamplerateChange(QObject*) {
    if (const auto rate = chosenValue(cmbWavSamplerate))
        Settings.WavSampleRate = *rate;
}

void TfrmMain::cmbMp3bitrateChange(QObject*) {
    if (const auto bitrate = chosenValue(cmbMp3bitrate))
        Settings.Mp3BitRate = *bitrate;
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
    if (const auto channels = chosenValue(cmbMp3Channel))
        Settings.Mp3Channel = *channels;
}

void TfrmMain::cmbWMASamplerateChange(QObject*) {
    const auto rate = chosenValue(cmbWMASamplerate);
    if (!rate)
        return;
    Settings.WmaSampleRate = *rate;
    FillWmaBitrates(Settings.WmaSampleRate, Settings.WmaChannel);
}

void TfrmMain::cmbWMAChannelChange(QObject*) {
    const auto channels = chosenValue(cmbWMAChannel);
    if (!channels)
        return;
    Settings.WmaChannel = *channels;
    FillWmaBitrates(Settings.WmaSampleRate, Settings.WmaChannel);
}

void TfrmMain::cmbWMABitrateChange(QObject*) {
    if (const auto bitrate = chosenValue(cmbWMABitrate))
        Settings.WmaBitRate = *bitrate;
}

void TfrmMain::tbOGGQualityChange(QObject*) {
    Settings.OggQuality = truncated(tbOGGQuality->value());
    txtOGGQValue->setText(valueLabelText(Settings.OggQuality));
}

void TfrmMain::edtSaveFolderChange(QObject*) {
    // A folder that does not exist yet is made. One that cannot be made is
    // not taken, and the box goes back to the folder recordings go to.
    const QString text = edtSaveFolder->text();
    if (text.isEmpty())
        return;
    const Result made = PrepareSaveFolder(text, Settings.SaveFolder);
    if (made) {
        Settings.SaveFolder = text;
        return;
    }
    edtSaveFolder->setText(Settings.SaveFolder);
    FServices.messages->show(this, QStringLiteral("Notice"), QString::fromStdString(made.message()),
                             MessageIcon::Information, MessageButtons::Ok);
}

void TfrmMain::rdSpecialChange(QObject*) {
    if (rdSpecial->isChecked())
        Settings.PathMode = TPathMode::SpecialName;
    else if (rdAutoSave->isChecked())
        Settings.PathMode = TPathMode::AutoName;
    UpdateNamingControls();
}

void TfrmMain::rdAutoSaveChange(QObject* Sender) {
    rdSpecialChange(Sender);
}

void TfrmMain::tbSavefileChange(QObject*) {
    Settings.SpecialPath = tbSavefile->text();
}

void TfrmMain::cmbSamenameChange(QObject*) {
    if (const auto action = sameNameActionFromValue(chosenValue(cmbSamename).value_or(-1)))
        Settings.SamenameOP = *action;
}

void TfrmMain::edtPrefixChange(QObject*) {
    // An emptied box keeps the last prefix: generated names need one.
    if (!edtPrefix->text().isEmpty())
        Settings.Prefix = edtPrefix->text();
}

void TfrmMain::cmbPostfixChange(QObject*) {
    if (const auto postfix = postfixFromValue(chosenValue(cmbPostfix).value_or(-1)))
        Settings.Postfix = *postfix;
}
