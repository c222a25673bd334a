// Options pages: filling the lists, the parameter panels, the naming
// controls and the WMA bitrates.

#include "app/TfrmMain.h"

#include "audio/TBassRecorder.h"
#include "settings/RecorderSettings.h"
#include "ui/TCheckBox.h"
#include "ui/TComboBox.h"
#include "ui/TFloatTrackBar.h"
#include "ui/TLayout.h"
#include "ui/TTextBox.h"
#include "ui/TTextButton.h"

#include <QSignalBlocker>
#include <string>
#include <vector>

namespace {

// Filling a list must neither select an entry nor run its change handler;
// a QComboBox selects its first entry by itself when it is filled. Each entry
// carries the setting value it stands for as its data, so choosing an entry
// and showing a stored value never go by the entry's text.
void fillList(TComboBox* list, const QStringList& entries, const OptionValueOf& valueOf) {
    const QSignalBlocker block(list);
    list->clear();
    for (qsizetype i = 0; i < entries.size(); ++i)
        list->addItem(entries[i], valueOf(static_cast<int>(i), entries[i]));
    list->setCurrentIndex(-1);
}

void fillList(TComboBox* list, const QStringList& entries) {
    fillList(list, entries, [](int, const QString& text) { return QVariant(text); });
}

void setTrackRange(TFloatTrackBar* bar, float min, float max) {
    const QSignalBlocker block(bar);
    bar->setRange(min, max);
}

// Each entry carries the input's server name as its data.
void fillDeviceList(TComboBox* list, TBassRecorder* recorder) {
    const QSignalBlocker block(list);
    list->clear();
    if (recorder) {
        std::vector<std::string> names;
        std::vector<std::string> ids;
        recorder->LoadDeviceName(names);
        recorder->LoadDeviceIds(ids);
        for (size_t i = 0; i < names.size() && i < ids.size(); ++i)
            list->addItem(QString::fromStdString(names[i]), QString::fromStdString(ids[i]));
    }
    list->setCurrentIndex(-1);
}

} // namespace

void TfrmMain::RefreshDeviceList() {
    FDeviceRefreshPending = false;
    if (!FRecUtils)
        return;
    const QString shown = cmbDevice->currentData().toString();
    FRecUtils->RefreshDevices();
    fillDeviceList(cmbDevice, FRecUtils.get());
    // The remembered input, else the one shown until now, else the server's
    // default, which is listed first.
    int index = Settings.DeviceName.isEmpty() ? -1 : cmbDevice->findData(Settings.DeviceName);
    if (index < 0 && !shown.isEmpty())
        index = cmbDevice->findData(shown);
    if (index < 0 && !shown.isEmpty() && cmbDevice->count() > 0)
        index = 0;
    if (index < 0)
        return;
    const QSignalBlocker block(cmbDevice);
    cmbDevice->setCurrentIndex(index);
    Settings.Device = index;
}

void TfrmMain::WatchDeviceList() {
    // Called on the audio layer's thread: one refresh is queued for a burst
    // of changes, run on the UI thread.
    FRecUtils->SetDevicesChanged([this] {
        if (!FDeviceRefreshPending.exchange(true))
            QMetaObject::invokeMethod(this, &TfrmMain::RefreshDeviceList, Qt::QueuedConnection);
    });
}

void TfrmMain::FillOptionLists() {
    fillDeviceList(cmbDevice, FRecUtils.get());
    fillList(cmbFormat, OutFormatNames, optionvalue::byIndex);
    fillList(cmbWavChannel, WavChannelItems, optionvalue::byNumber);
    fillList(cmbWavBitpersample, WavBitItems, optionvalue::byEntry);
    fillList(cmbWavSamplerate, WavRateItems, optionvalue::byEntry);
    fillList(cmbMp3bitrate, Mp3BitrateItems, optionvalue::byEntry);
    setTrackRange(tbMp3VBRQuality, 0, 9);
    fillList(cmbMp3Channel, Mp3ChannelItems, optionvalue::byNumber);
    fillList(cmbWMASamplerate, WmaRateItems, optionvalue::byEntry);
    fillList(cmbWMAChannel, WmaChannelItems, optionvalue::byNumber);
    setTrackRange(tbOGGQuality, 1, 9);
    fillList(cmbSamename, SamenameItems, optionvalue::byIndex);
    fillList(cmbPostfix, PostfixItems, optionvalue::byIndex);
    const QStringList hotkeys = QStringList{HotKeyNone} + HotKeyItems;
    for (TComboBox* list : {cmbStart, cmbPause, cmbStop})
        fillList(list, hotkeys);
}

void TfrmMain::ShowFormatLayout(const QString& name) {
    const auto format = outFormatFromName(name, Qt::CaseSensitive);
    lyWave->setVisible(format == rofWAVE);
    lyMP3->setVisible(format == rofMP3);
    lyWMA->setVisible(format == rofWMA);
    lyOGG->setVisible(format == rofOGG);
}

void TfrmMain::UpdateNamingControls() {
    const bool special = rdSpecial->isChecked();
    const bool automatic = rdAutoSave->isChecked();
    tbSavefile->setEnabled(special);
    btnSaveFile->setEnabled(special);
    cmbSamename->setEnabled(special);
    edtPrefix->setEnabled(automatic);
    cmbPostfix->setEnabled(automatic);
}

void TfrmMain::FillWmaBitrates(int32_t rate, int32_t channels) {
    std::vector<int32_t> rates;
    if (FRecUtils)
        FRecUtils->GetWMAbitrates(rates, rate, channels);
    // No bitrate for this pair: the list and WmaBitRate stay as they were,
    // and the recorder reports the problem when a recording starts.
    if (rates.empty())
        return;
    {
        const QSignalBlocker block(cmbWMABitrate);
        cmbWMABitrate->clear();
        for (int32_t r : rates)
            cmbWMABitrate->addItem(QString::number(r) + QStringLiteral("bps"), r);
        cmbWMABitrate->setCurrentIndex(-1);
    }
    cmbWMABitrate->setCurrentIndex(0);
}
