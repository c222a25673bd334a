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

#include <QDir>
#include <QFile>
#include <QSignalBlocker>
#include <algorithm>

namespace {

std::filesystem::path localPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Moves the bar to the value, or to the nearer end for a value outside its
// range, and returns where it stands.
int32_t moveTrackBar(TFloatTrackBar* bar, int32_t value) {
    const auto lo = static_cast<int32_t>(bar->minimum());
    const auto hi = static_cast<int32_t>(bar->maximum());
    const int32_t v = std::clamp(value, lo, std::max(lo, hi));
    bar->setValue(static_cast<float>(v));
    return v;
}

// A value that no entry stands for leaves the list without a selection.
void selectValue(TComboBox* list, int32_t value) {
    list->setCurrentIndex(list->findData(QVariant(value)));
}

// A hotkey entry stands for its own text, in any letter case.
void selectHotKey(TComboBox* list, const QString& text) {
    list->setCurrentIndex(list->findData(text, Qt::UserRole, Qt::MatchFixedString));
}

// Each step below takes one section of config.xml: it writes the settings it
// reads, then moves the controls that show them. A control that moves runs its
// change handler, which writes the same setting again from what the control
// now shows; values the control cannot show stay as read.

// The input remembered by its server name wins; when it is gone, Device
// decides, and the name stays remembered for a later run.
void loadDevice(TfrmMain& w, const ConfigValues& v) {
    const int named = v.DeviceName.isEmpty() ? -1 : w.cmbDevice->findData(v.DeviceName);
    const int device = named >= 0 ? named : v.Device;
    if (device >= 0 && device < w.cmbDevice->count()) {
        Settings.Device = device;
        w.cmbDevice->setCurrentIndex(device);
    } else if (w.cmbDevice->count() > 0 && w.cmbDevice->currentIndex() < 0) {
        // An input unplugged since: the default input (entry 0) is recorded,
        // so the list shows it, without making it the user's choice.
        const QSignalBlocker block(w.cmbDevice);
        w.cmbDevice->setCurrentIndex(0);
    }
    if (!v.DeviceName.isEmpty())
        Settings.DeviceName = v.DeviceName;
    Settings.SkipSilence = v.SkipSilence;
    w.chkSkipsilence->setChecked(v.SkipSilence);
    Settings.Volume = moveTrackBar(w.tbDevVolume, v.Volume);
    w.txtVolumevalue->setText(valueLabelText(Settings.Volume));
}

void loadFormatChoice(TfrmMain& w, const QString& name) {
    if (name.isEmpty())
        return;
    const auto format = outFormatFromName(name, Qt::CaseInsensitive);
    if (format)
        Settings.OutFormat = *format;
    w.cmbFormat->setCurrentIndex(format ? w.cmbFormat->findData(static_cast<int>(*format)) : -1);
    // A name in other letters ("mp3") still shows its panel.
    w.ShowFormatLayout(format ? outFormatName(*format) : name);
}

void loadWave(TfrmMain& w, const ConfigWave& wave) {
    Settings.WavChannel = wave.Channel;
    selectValue(w.cmbWavChannel, wave.Channel);
    Settings.WavBitPerSample = wave.BitPerSam;
    selectValue(w.cmbWavBitpersample, wave.BitPerSam);
    Settings.WavSampleRate = wave.SampleRate;
    selectValue(w.cmbWavSamplerate, wave.SampleRate);
}

void loadMp3(TfrmMain& w, const ConfigMp3& mp3) {
    Settings.Mp3BitRate = mp3.BitRate;
    selectValue(w.cmbMp3bitrate, mp3.BitRate);
    Settings.Mp3CRC = mp3.CRC;
    w.chkMp3CRC->setChecked(mp3.CRC);
    Settings.Mp3VBR = mp3.VBR;
    w.chkMp3VBR->setChecked(mp3.VBR);
    w.tbMp3VBRQuality->setEnabled(mp3.VBR);
    Settings.Mp3VBRQuality = moveTrackBar(w.tbMp3VBRQuality, mp3.VBRQuality);
    w.txtMp3VBRQValue->setText(valueLabelText(Settings.Mp3VBRQuality));
    Settings.Mp3Channel = mp3.Channel;
    selectValue(w.cmbMp3Channel, mp3.Channel);
}

// The bitrate list depends on the rate and channels, so it is refilled
// before the bitrate is chosen.
void loadWma(TfrmMain& w, const ConfigWma& wma) {
    Settings.WmaSampleRate = wma.SampleRate;
    selectValue(w.cmbWMASamplerate, wma.SampleRate);
    Settings.WmaChannel = wma.Channel;
    // A channel count the list lacks leaves its selection as it was.
    if (const int entry = w.cmbWMAChannel->findData(QVariant(wma.Channel)); entry >= 0)
        w.cmbWMAChannel->setCurrentIndex(entry);
    w.FillWmaBitrates(Settings.WmaSampleRate, Settings.WmaChannel);
    Settings.WmaBitRate = wma.BitRate;
    selectValue(w.cmbWMABitrate, wma.BitRate);
}

void loadOgg(TfrmMain& w, int32_t quality) {
    Settings.OggQuality = moveTrackBar(w.tbOGGQuality, quality);
    w.txtOGGQValue->setText(valueLabelText(Settings.OggQuality));
}

void loadOutput(TfrmMain& w, const ConfigOutFormat& output) {
    loadFormatChoice(w, output.format);
    if (output.wave)
        loadWave(w, *output.wave);
    if (output.mp3)
        loadMp3(w, *output.mp3);
    if (output.wma)
        loadWma(w, *output.wma);
    if (output.oggQuality)
        loadOgg(w, *output.oggQuality);
}

void loadFilePath(TfrmMain& w, const ConfigPath& path) {
    if (path.mode.compare(QLatin1String("special"), Qt::CaseInsensitive) == 0) {
        Settings.PathMode = TPathMode::SpecialName;
        w.rdSpecial->setChecked(true);
    } else if (path.mode.compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0) {
        Settings.PathMode = TPathMode::AutoName;
        w.rdAutoSave->setChecked(true);
    }
    w.UpdateNamingControls();
    Settings.SaveFolder = path.SaveFolder;
    w.edtSaveFolder->setText(path.SaveFolder);
    Settings.SpecialPath = path.SpecialPath;
    w.tbSavefile->setText(path.SpecialPath);
    if (const auto action = sameNameActionFromValue(path.SamenameOP)) {
        Settings.SamenameOP = *action;
        selectValue(w.cmbSamename, path.SamenameOP);
    }
    Settings.Prefix = path.Prefix;
    w.edtPrefix->setText(path.Prefix);
    if (const auto postfix = postfixFromValue(path.Postfix)) {
        Settings.Postfix = *postfix;
        selectValue(w.cmbPostfix, path.Postfix);
    }
}

void loadHotKeys(TfrmMain& w, const ConfigHotKeys& keys) {
    Settings.HotKeyStart = keys.Start;
    Settings.HotKeyPause = keys.Pause;
    Settings.HotKeyStop = keys.Stop;
    selectHotKey(w.cmbStart, keys.Start);
    selectHotKey(w.cmbPause, keys.Pause);
    selectHotKey(w.cmbStop, keys.Stop);
}

} // namespace

QString TfrmMain::ConfigPath() const {
    return FServices.programFiles().settingsFolder + QStringLiteral("config.xml");
}

void TfrmMain::LoadConfig() {
    const ProgramFiles files = FServices.programFiles();
    Outcome<ConfigValues> file = readConfigFile(localPath(ConfigPath()));
    // An installed copy expects no file of the user's before the first exit:
    // it starts from the settings it came with, or from the built-in ones.
    if (!file && file.result().fault() == Fault::NotFound && files.installed) {
        file = readConfigFile(localPath(files.shippedSettings));
        if (!file)
            return;
    }
    // A file that is no document is as good as none; it is kept aside as
    // config.xml.bad when the settings are written at exit.
    if (!file) {
        FServices.messages->show(this, QStringLiteral("Warning"),
                                 QStringLiteral("Config file not found, please reinstall program."),
                                 MessageIcon::Warning, MessageButtons::Ok);
        return;
    }
    const ConfigValues& v = file.value();
    loadDevice(*this, v);
    if (v.outFormat)
        loadOutput(*this, *v.outFormat);
    if (v.path)
        loadFilePath(*this, *v.path);
    if (v.hotKeys)
        loadHotKeys(*this, *v.hotKeys);
}

void TfrmMain::SaveConfig() {
    const QString path = ConfigPath();
    // An installed copy's first exit makes the user's folder.
    QDir().mkpath(FServices.programFiles().settingsFolder);
    if (saveConfigFile(localPath(path), Settings))
        return;
    FServices.messages->show(
        this, QStringLiteral("Warning"),
        QStringLiteral("Failed to save the settings to %s.\r\nThe previous file is kept.")
            .replace(QStringLiteral("%s"), path),
        MessageIcon::Warning, MessageButtons::Ok);
}
