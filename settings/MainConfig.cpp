// Reading config.xml into the settings and the option controls at start,
// writing the settings back at exit.

#include "app/TfrmMain.h"

#include "settings/ConfigFile.h"
#include "settings/RecorderSettings.h"
#include "ui/TCheckBox.h"
#include "ui/TComboBox.h"
#include "ui/TFloatTrackBar.h"
#include "ui/TText.h"
#include "ui/TTextBox.h"

#include <QFile>
#include <algorithm>

namespace {

std::filesystem::path configPath(const QString& programFolder) {
    return std::filesystem::path(
        QFile::encodeName(programFolder + QStringLiteral("config.xml")).toStdString());
}

// Moves the bar to the value, or to the nearer end for a value outside its
// range, and returns where it stands.
int32_t moveTrackBar(TFloatTrackBar* bar, int32_t value) {
    const auto lo = static_cast<int32_t>(bar->min());
    const auto hi = static_cast<int32_t>(bar->max());
    const int32_t v = std::clamp(value, lo, std::max(lo, hi));
    bar->setValue(static_cast<float>(v));
    return v;
}

// A position outside the list leaves the list without a selection.
void selectPosition(TComboBox* list, int position) {
    list->setCurrentIndex(position >= 0 && position < list->count() ? position : -1);
}

void selectText(TComboBox* list, const QString& text) {
    int found = -1;
    for (int i = 0; i < list->count() && found < 0; ++i)
        if (list->itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            found = i;
    list->setCurrentIndex(found);
}

} // namespace

void TfrmMain::LoadConfig() {
    const ConfigFileRead file = readConfigFile(configPath(FServices.programFolder));
    // A file that is no document is as good as none; it is kept aside as
    // config.xml.bad when the settings are written at exit.
    if (file.state != ConfigFileState::Loaded) {
        FServices.messages->show(this, QStringLiteral("Warning"),
                                 QStringLiteral("Config file not found, please reinstall program."),
                                 MessageIcon::Warning, MessageButtons::Ok);
        return;
    }
    const ConfigValues& v = file.values;

    if (v.Device >= 0 && v.Device < cmbDevice->count()) {
        Settings.Device = v.Device;
        cmbDevice->setCurrentIndex(v.Device);
    }
    Settings.SkipSilence = v.SkipSilence;
    chkSkipsilence->setChecked(v.SkipSilence);
    Settings.Volume = moveTrackBar(tbDevVolume, v.Volume);
    txtVolumevalue->setText(valueLabelText(Settings.Volume));

    if (const auto& g = v.outFormat) {
        if (!g->format.isEmpty()) {
            const auto format = outFormatFromName(g->format, Qt::CaseInsensitive);
            if (format)
                Settings.OutFormat = *format;
            selectText(cmbFormat, g->format);
            // A name in other letters ("mp3") still shows its panel.
            ShowFormatLayout(format ? outFormatName(*format) : g->format);
        }
        if (const auto& w = g->wave) {
            Settings.WavChannel = w->Channel;
            selectPosition(cmbWavChannel, w->Channel - 1);
            Settings.WavBitPerSample = w->BitPerSam;
            selectText(cmbWavBitpersample, QString::number(w->BitPerSam) + QStringLiteral("bit"));
            Settings.WavSampleRate = w->SampleRate;
            selectText(cmbWavSamplerate, QString::number(w->SampleRate) + QStringLiteral("Khz"));
        }
        if (const auto& m = g->mp3) {
            Settings.Mp3BitRate = m->BitRate;
            selectText(cmbMp3bitrate, QString::number(m->BitRate) + QStringLiteral("bps"));
            Settings.Mp3CRC = m->CRC;
            chkMp3CRC->setChecked(m->CRC);
            Settings.Mp3VBR = m->VBR;
            chkMp3VBR->setChecked(m->VBR);
            tbMp3VBRQuality->setEnabled(m->VBR);
            Settings.Mp3VBRQuality = moveTrackBar(tbMp3VBRQuality, m->VBRQuality);
            txtMp3VBRQValue->setText(valueLabelText(Settings.Mp3VBRQuality));
            Settings.Mp3Channel = m->Channel;
            selectPosition(cmbMp3Channel, m->Channel - 1);
        }
        if (const auto& a = g->wma) {
            Settings.WmaSampleRate = a->SampleRate;
            selectText(cmbWMASamplerate, QString::number(a->SampleRate) + QStringLiteral("Khz"));
            Settings.WmaChannel = a->Channel;
            if (a->Channel >= 1 && a->Channel <= 2)
                cmbWMAChannel->setCurrentIndex(a->Channel - 1);
            FillWmaBitrates(Settings.WmaSampleRate, Settings.WmaChannel);
            Settings.WmaBitRate = a->BitRate;
            selectText(cmbWMABitrate, QString::number(a->BitRate) + QStringLiteral("bps"));
        }
        if (g->oggQuality) {
            Settings.OggQuality = moveTrackBar(tbOGGQuality, *g->oggQuality);
            txtOGGQValue->setText(valueLabelText(Settings.OggQuality));
        }
    }

    if (const auto& p = v.path) {
        if (p->mode.compare(QLatin1String("special"), Qt::CaseInsensitive) == 0) {
            Settings.PathMode = 0;
            rdSpecial->setChecked(true);
        } else if (p->mode.compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0) {
            Settings.PathMode = 1;
            rdAutoSave->setChecked(true);
        }
        UpdateNamingControls();
        Settings.SaveFolder = p->SaveFolder;
        edtSaveFolder->setText(p->SaveFolder);
        Settings.SpecialPath = p->SpecialPath;
        tbSavefile->setText(p->SpecialPath);
        if (p->SamenameOP >= 0 && p->SamenameOP < cmbSamename->count()) {
            Settings.SamenameOP = static_cast<uint8_t>(p->SamenameOP);
            cmbSamename->setCurrentIndex(p->SamenameOP);
        }
        Settings.Prefix = p->Prefix;
        edtPrefix->setText(p->Prefix);
        if (p->Postfix >= 0 && p->Postfix < cmbPostfix->count()) {
            Settings.Postfix = static_cast<uint8_t>(p->Postfix);
            cmbPostfix->setCurrentIndex(p->Postfix);
        }
    }

    if (const auto& h = v.hotKeys) {
        Settings.HotKeyStart = h->Start;
        Settings.HotKeyPause = h->Pause;
        Settings.HotKeyStop = h->Stop;
        selectText(cmbStart, h->Start);
        selectText(cmbPause, h->Pause);
        selectText(cmbStop, h->Stop);
    }
}

void TfrmMain::SaveConfig() {
    const QString path = FServices.programFolder + QStringLiteral("config.xml");
    std::string error;
    if (saveConfigFile(configPath(FServices.programFolder), Settings, error))
        return;
    FServices.messages->show(
        this, QStringLiteral("Warning"),
        QStringLiteral("Failed to save the settings to %s.\r\nThe previous file is kept.")
            .replace(QStringLiteral("%s"), path),
        MessageIcon::Warning, MessageButtons::Ok);
}
