// The options pages and config.xml on the real window, driven by clicks and
// key presses on the offscreen platform.

#include "app/TfrmMain.h"

#include "audio/TBassRecorder.h"
#include "audio/lib/AudioLib.h"
#include "audio/lib/virtual/VirtualBackend.h"
#include "settings/RecorderSettings.h"
#include "tests/support/ConfigTestData.h"
#include "tests/support/FakePlatformServices.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowFixture.h"
#include "tests/support/WriteFailure.h"
#include "ui/TCheckBox.h"
#include "ui/TComboBox.h"
#include "ui/TFloatTrackBar.h"
#include "ui/TLayout.h"
#include "ui/TText.h"
#include "ui/TTextBox.h"
#include "ui/TTextButton.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class OptionsPages : public WindowFixture {
protected:
    void SetUp() override {
        Settings = TRecorderSettings{};
        // Two recording inputs, so a Device of 3 lies outside the list.
        audiolib::VirtualConfig config;
        config.inputs = {{"Line In", 440.0, 16384}, {"Microphone", 1000.0, 16384}};
        config.manual = true;
        audiolib::installBackend(std::make_unique<audiolib::VirtualBackend>(config));
    }
    void TearDown() override { close(); }

    QString folderPath() const { return programFolder() + '/'; }

    void writeConfig(const std::string& bytes) { TempFolder::write(dir / "config.xml", bytes); }
    std::string savedConfig() const { return TempFolder::read(dir / "config.xml"); }

    // A window as the program makes it: start-up reads config.xml.
    TfrmMain& open() {
        window = makeWindow();
        window->show();
        // Text boxes report on focus changes, which need an active window.
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }
    // Shutdown writes config.xml.
    void close() { window.reset(); }

    std::vector<int32_t> wmaRates(int32_t rate, int32_t channels) {
        std::vector<int32_t> rates;
        window->FRecUtils->GetWMAbitrates(rates, rate, channels);
        return rates;
    }

    std::unique_ptr<TfrmMain> window;
};

// Keeps what the window showed after the window, and its services, are gone.
class OutlivingMessages final : public MessageBoxService {
public:
    explicit OutlivingMessages(std::vector<ShownMessage>& out) : out_(out) {}
    MessageResult show(QWidget*, const QString& caption, const QString& text, MessageIcon icon,
                       MessageButtons buttons) override {
        out_.push_back({caption, text, icon, buttons});
        return MessageResult::Ok;
    }
    void notify(QWidget*, const QString& caption, const QString& text, MessageIcon icon) override {
        out_.push_back({caption, text, icon, MessageButtons::Ok, false});
    }

private:
    std::vector<ShownMessage>& out_;
};

// Clicks the track bar where its value lies strictly between lo and hi.
void clickTrackBarBetween(TFloatTrackBar* bar, float lo, float hi) {
    for (int x = 0; x < bar->width(); ++x) {
        const float v = bar->valueAt(x);
        if (v > lo && v < hi) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(x, bar->height() / 2));
            return;
        }
    }
    FAIL() << "no position between " << lo << " and " << hi;
}

void typeInto(TTextBox* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Backspace);
    else
        QTest::keyClicks(box, text);
}

TEST_F(OptionsPages, ListsAreFilledWithoutSelection) {
    TfrmMain& w = open();
    ASSERT_EQ(w.cmbDevice->count(), 2);
    EXPECT_EQ(w.cmbDevice->itemText(1), "Microphone");
    EXPECT_EQ(w.cmbDevice->currentIndex(), -1);
    EXPECT_EQ(w.cmbFormat->count(), 4);
    EXPECT_EQ(w.cmbMp3bitrate->count(), 10);
    EXPECT_EQ(w.cmbWMABitrate->count(), 0);
    for (TComboBox* hotkeys : {w.cmbStart, w.cmbPause, w.cmbStop}) {
        ASSERT_EQ(hotkeys->count(), 27);
        EXPECT_EQ(hotkeys->itemText(0), "None");
        EXPECT_EQ(hotkeys->itemText(26), "CTRL+ALT+Z");
    }
    EXPECT_EQ(w.tbMp3VBRQuality->minimum(), 0.0f);
    EXPECT_EQ(w.tbMp3VBRQuality->maximum(), 9.0f);
    EXPECT_EQ(w.tbOGGQuality->minimum(), 1.0f);
    EXPECT_EQ(w.tbOGGQuality->maximum(), 9.0f);
}

TEST_F(OptionsPages, MissingConfigWarnsOnceKeepsDefaultsAndIsCreatedAtExit) {
    TfrmMain& w = open();
    ASSERT_EQ(fakes.messages->shown.size(), 1u);
    EXPECT_EQ(fakes.messages->shown[0].caption, "Warning");
    EXPECT_EQ(fakes.messages->shown[0].text, "Config file not found, please reinstall program.");
    EXPECT_EQ(fakes.messages->shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(Settings, TRecorderSettings{});
    EXPECT_EQ(w.cmbFormat->currentIndex(), -1);
    EXPECT_EQ(w.cmbStart->currentIndex(), -1);
    EXPECT_EQ(w.txtVolumevalue->text(), "()");
    EXPECT_FALSE(w.rdSpecial->isChecked());
    EXPECT_FALSE(w.rdAutoSave->isChecked());
    close();
    EXPECT_EQ(savedConfig(), defaultConfigFile());
}

TEST_F(OptionsPages, UnreadableConfigIsTreatedAsMissingAndKeptAsBad) {
    writeConfig("<Config><Volume>3</Vol");
    open();
    ASSERT_EQ(fakes.messages->shown.size(), 1u);
    EXPECT_EQ(fakes.messages->shown[0].text, "Config file not found, please reinstall program.");
    EXPECT_EQ(Settings.Volume, 5);
    close();
    EXPECT_EQ(savedConfig(), defaultConfigFile());
    EXPECT_EQ(TempFolder::read(dir / "config.xml.bad"), "<Config><Volume>3</Vol");
}

TEST_F(OptionsPages, RootOnlyShowsTheVolumeReadDefaultAndAppendsEverything) {
    writeConfig("<Root/>");
    TfrmMain& w = open();
    EXPECT_TRUE(fakes.messages->shown.empty());
    EXPECT_EQ(w.tbDevVolume->value(), 5.0f);
    EXPECT_EQ(w.txtVolumevalue->text(), "(5)");
    EXPECT_EQ(Settings, TRecorderSettings{});
    close();
    std::string expected = defaultConfigBody();
    expected.replace(expected.find("<Config>"), 8, "<Root>");
    expected.replace(expected.rfind("</Config>"), 9, "</Root>");
    EXPECT_EQ(savedConfig(), expected);
}

TEST_F(OptionsPages, EdgeValuesAreClampedIgnoredOrKeptAndWrittenBack) {
    writeConfig("<config>\r\n"
                "\t<device>3</device>\r\n"
                "\t<volume>15</volume>\r\n"
                "\t<!-- mine -->\r\n"
                "\t<outformat format=\"wma\">\r\n"
                "\t\t<wma><samplerate>44100</samplerate><channel>2</channel>"
                "<bitrate>77</bitrate></wma>\r\n"
                "\t\t<wave><bitpersam>32</bitpersam></wave>\r\n"
                "\t\t<mp3><vbr>TRUE</vbr><vbrquality>12</vbrquality></mp3>\r\n"
                "\t</outformat>\r\n"
                "\t<unknown a=\"b\">kept</unknown>\r\n"
                "\t<path mode=\"Special\"><SamenameOP>7</SamenameOP>"
                "<SpecialPath>take.mp3</SpecialPath></path>\r\n"
                "\t<hotkey><start>ctrl+alt+r</start><stop>CTRL+ALT+Q+X</stop></hotkey>\r\n"
                "</config>\r\n");
    TfrmMain& w = open();
    EXPECT_TRUE(fakes.messages->shown.empty());
    EXPECT_EQ(Settings.Device, 0) << "only " << w.cmbDevice->count() << " inputs";
    EXPECT_EQ(w.cmbDevice->currentIndex(), 0) << "the input that is recorded is shown";
    EXPECT_EQ(Settings.Volume, 10);
    EXPECT_EQ(w.tbDevVolume->value(), 10.0f);
    EXPECT_EQ(w.txtVolumevalue->text(), "(10)");
    EXPECT_EQ(Settings.OutFormat, rofWMA);
    EXPECT_FALSE(w.lyWMA->isHidden());
    EXPECT_TRUE(w.lyMP3->isHidden());
    EXPECT_EQ(Settings.WmaBitRate, 77);
    EXPECT_EQ(w.cmbWMABitrate->currentIndex(), -1);
    EXPECT_EQ(static_cast<size_t>(w.cmbWMABitrate->count()), wmaRates(44100, 2).size());
    EXPECT_EQ(Settings.WavBitPerSample, 32);
    EXPECT_EQ(w.cmbWavBitpersample->currentIndex(), -1);
    EXPECT_EQ(w.cmbWavChannel->currentText(), "Stereo");
    EXPECT_TRUE(Settings.Mp3VBR);
    EXPECT_TRUE(w.tbMp3VBRQuality->isEnabled());
    EXPECT_EQ(Settings.Mp3VBRQuality, 9);
    EXPECT_EQ(w.txtMp3VBRQValue->text(), "(9)");
    EXPECT_EQ(Settings.PathMode, TPathMode::SpecialName);
    EXPECT_TRUE(w.rdSpecial->isChecked());
    EXPECT_TRUE(w.cmbSamename->isEnabled());
    EXPECT_FALSE(w.edtPrefix->isEnabled());
    EXPECT_EQ(Settings.SamenameOP, TSameNameAction::Prompt);
    EXPECT_EQ(Settings.Prefix, "") << "a Path without Prefix empties it";
    EXPECT_EQ(w.tbSavefile->text(), "take.mp3");
    EXPECT_EQ(Settings.HotKeyStart, "CTRL+ALT+R");
    EXPECT_EQ(w.cmbStart->currentText(), "CTRL+ALT+R");
    EXPECT_EQ(Settings.HotKeyPause, "");
    EXPECT_EQ(Settings.HotKeyStop, "CTRL+ALT+Q+X");
    EXPECT_EQ(w.cmbStop->currentIndex(), -1);
    close();

    const std::string saved = savedConfig();
    for (const char* part :
         {"<config>\r\n\t<device>0</device>\r\n\t<volume>10</volume>\r\n\t<!-- mine -->\r\n"
          "\t<outformat format=\"WMA\">\r\n\t\t<wma>\r\n\t\t\t<samplerate>44100</samplerate>\r\n"
          "\t\t\t<channel>2</channel>\r\n\t\t\t<bitrate>77</bitrate>\r\n\t\t</wma>\r\n"
          "\t\t<wave>\r\n\t\t\t<bitpersam>32</bitpersam>\r\n",
          "<vbrquality>9</vbrquality>", "\t<unknown a=\"b\">kept</unknown>\r\n",
          "<path mode=\"special\">", "<SamenameOP>7</SamenameOP>" /* must not survive */,
          "<Prefix/>", "<start>CTRL+ALT+R</start>", "<stop>CTRL+ALT+Q+X</stop>",
          "<SkipSilence>false</SkipSilence>\r\n</config>\r\n"}) {
        if (std::string_view(part) == "<SamenameOP>7</SamenameOP>")
            EXPECT_EQ(saved.find(part), std::string::npos) << saved;
        else
            EXPECT_NE(saved.find(part), std::string::npos) << part << "\nin\n" << saved;
    }
}

TEST_F(OptionsPages, UncheckingVbrDisablesTheQualityButKeepsIt) {
    writeConfig("<Config><OutFormat><MP3><VBR>1</VBR><VBRQuality>3</VBRQuality></MP3>"
                "</OutFormat></Config>");
    TfrmMain& w = open();
    ASSERT_TRUE(w.chkMp3VBR->isChecked());
    QTest::mouseClick(w.chkMp3VBR, Qt::LeftButton);
    EXPECT_FALSE(Settings.Mp3VBR);
    EXPECT_FALSE(w.tbMp3VBRQuality->isEnabled());
    EXPECT_EQ(w.tbMp3VBRQuality->value(), 3.0f);
    close();
    EXPECT_NE(savedConfig().find("<VBR>false</VBR>\r\n\t\t\t<VBRQuality>3</VBRQuality>"),
              std::string::npos);
}

TEST_F(OptionsPages, VolumeTrackBarStoresTheTruncatedValue) {
    writeConfig("<Config/>");
    TfrmMain& w = open();
    clickTrackBarBetween(w.tbDevVolume, 7.5f, 8.0f);
    EXPECT_GT(w.tbDevVolume->value(), 7.5f);
    EXPECT_EQ(Settings.Volume, 7);
    EXPECT_EQ(w.txtVolumevalue->text(), "(7)");
}

TEST_F(OptionsPages, ChoosingWmaChannelsRefillsBitratesAndTakesTheFirst) {
    writeConfig("<Config/>");
    TfrmMain& w = open();
    const std::vector<int32_t> mono = wmaRates(44100, 1);
    ASSERT_FALSE(mono.empty());
    ASSERT_NE(mono.front(), 128);
    w.cmbWMAChannel->setFocus();
    QTest::keyClick(w.cmbWMAChannel, Qt::Key_Down); // from no selection to "Mono"
    ASSERT_EQ(w.cmbWMAChannel->currentText(), "Mono");
    EXPECT_EQ(Settings.WmaChannel, 1);
    ASSERT_EQ(static_cast<size_t>(w.cmbWMABitrate->count()), mono.size());
    EXPECT_EQ(w.cmbWMABitrate->currentIndex(), 0);
    EXPECT_EQ(w.cmbWMABitrate->itemText(0), QString::number(mono.front()) + "bps");
    EXPECT_EQ(Settings.WmaBitRate, mono.front());
}

TEST_F(OptionsPages, ChoosingAFormatShowsItsPanelOnly) {
    writeConfig("<Config/>");
    TfrmMain& w = open();
    w.cmbFormat->setFocus();
    QTest::keyClick(w.cmbFormat, Qt::Key_Down);
    QTest::keyClick(w.cmbFormat, Qt::Key_Down);
    QTest::keyClick(w.cmbFormat, Qt::Key_Down);
    ASSERT_EQ(w.cmbFormat->currentText(), "WMA");
    EXPECT_EQ(Settings.OutFormat, rofWMA);
    EXPECT_FALSE(w.lyWMA->isHidden());
    for (TLayout* other : {w.lyWave, w.lyMP3, w.lyOGG})
        EXPECT_TRUE(other->isHidden());
}

TEST_F(OptionsPages, NamingModeRadioButtonsEnableTheirControls) {
    writeConfig("<Config/>");
    TfrmMain& w = open();
    QTest::mouseClick(w.rdAutoSave, Qt::LeftButton);
    EXPECT_EQ(Settings.PathMode, TPathMode::AutoName);
    EXPECT_TRUE(w.edtPrefix->isEnabled());
    EXPECT_TRUE(w.cmbPostfix->isEnabled());
    EXPECT_FALSE(w.tbSavefile->isEnabled());
    EXPECT_FALSE(w.btnSaveFile->isEnabled());
    EXPECT_FALSE(w.cmbSamename->isEnabled());
    EXPECT_TRUE(w.edtSaveFolder->isEnabled());
    QTest::mouseClick(w.rdSpecial, Qt::LeftButton);
    EXPECT_EQ(Settings.PathMode, TPathMode::SpecialName);
    EXPECT_FALSE(w.rdAutoSave->isChecked());
    EXPECT_TRUE(w.cmbSamename->isEnabled());
    EXPECT_FALSE(w.edtPrefix->isEnabled());
}

TEST_F(OptionsPages, TextBoxesReportOnlyOnEnterOrFocusOut) {
    writeConfig("<Config><Path mode='auto'><Prefix>old</Prefix></Path></Config>");
    TfrmMain& w = open();
    const QString existing = folderPath() + "rec";
    ASSERT_TRUE(QDir().mkpath(existing));

    typeInto(w.edtSaveFolder, existing);
    EXPECT_EQ(Settings.SaveFolder, "") << "typing alone stores nothing";
    QTest::keyClick(w.edtSaveFolder, Qt::Key_Return);
    EXPECT_EQ(Settings.SaveFolder, existing);

    // A new folder is made, parents and all, and recordings go there.
    typeInto(w.edtSaveFolder, folderPath() + "new/day");
    QTest::keyClick(w.edtSaveFolder, Qt::Key_Return);
    EXPECT_TRUE(QFileInfo(folderPath() + "new/day").isDir());
    EXPECT_EQ(Settings.SaveFolder, folderPath() + "new/day");
    // One that cannot be made is told, and the box shows the folder in use.
    ASSERT_TRUE(QDir().mkpath(existing));
    QFile blocker(existing + "/plain");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    typeInto(w.edtSaveFolder, existing + "/plain/sub");
    QTest::keyClick(w.edtSaveFolder, Qt::Key_Return);
    EXPECT_EQ(Settings.SaveFolder, folderPath() + "new/day");
    EXPECT_EQ(w.edtSaveFolder->text(), folderPath() + "new/day");
    ASSERT_EQ(fakes.messages->shown.size(), 1U);
    EXPECT_EQ(fakes.messages->shown[0].caption, "Notice");
    EXPECT_TRUE(fakes.messages->shown[0].text.contains("could not be created"));

    typeInto(w.edtPrefix, "");
    w.edtPrefix->clearFocus();
    EXPECT_EQ(w.edtPrefix->text(), "");
    EXPECT_EQ(Settings.Prefix, "old");
    typeInto(w.edtPrefix, "take");
    w.edtPrefix->clearFocus();
    EXPECT_EQ(Settings.Prefix, "take");

    QTest::mouseClick(w.rdSpecial, Qt::LeftButton);
    typeInto(w.tbSavefile, "x");
    QTest::keyClick(w.tbSavefile, Qt::Key_Backspace);
    QTest::keyClick(w.tbSavefile, Qt::Key_Return);
    EXPECT_EQ(Settings.SpecialPath, "") << "an empty special name is stored too";
}

TEST_F(OptionsPages, DialogsFillTheFilePathPage) {
    writeConfig("<Config/>");
    TfrmMain& w = open();
    fakes.dialogs->folderAnswers = {QString(), "/rec/chosen"};
    QTest::mouseClick(w.btnSavefolder, Qt::LeftButton);
    EXPECT_EQ(Settings.SaveFolder, "") << "cancelled";
    QTest::mouseClick(w.btnSavefolder, Qt::LeftButton);
    EXPECT_EQ(Settings.SaveFolder, "/rec/chosen");
    EXPECT_EQ(w.edtSaveFolder->text(), "/rec/chosen");
    QString start = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (start.isEmpty() || !QDir(start).exists())
        start = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!QDir(start).exists())
        start.clear();
    ASSERT_EQ(fakes.dialogs->folderStarts.size(), 2);
    EXPECT_EQ(fakes.dialogs->folderStarts[0], start);
    EXPECT_EQ(fakes.dialogs->folderTitles[0], "Select a folder");

    QTest::mouseClick(w.rdSpecial, Qt::LeftButton);
    fakes.dialogs->saveAnswers = {"/other/place/take1.mp3"};
    QTest::mouseClick(w.btnSaveFile, Qt::LeftButton);
    EXPECT_EQ(w.tbSavefile->text(), "take1.mp3");
    EXPECT_EQ(Settings.SpecialPath, "take1.mp3");
}

TEST_F(OptionsPages, HotkeyChoicesAreStoredAndSaved) {
    writeConfig("<Config/>");
    TfrmMain& w = open();
    w.cmbPause->setFocus();
    QTest::keyClick(w.cmbPause, Qt::Key_Down);
    EXPECT_EQ(Settings.HotKeyPause, "None");
    QTest::keyClick(w.cmbPause, Qt::Key_Down);
    EXPECT_EQ(Settings.HotKeyPause, "CTRL+ALT+A");
    close();
    EXPECT_NE(savedConfig().find("<Pause>CTRL+ALT+A</Pause>"), std::string::npos);
}

TEST_F(OptionsPages, FailedWriteAtExitWarnsAndKeepsTheOldFile) {
    writeConfig("<Config/>");
    std::vector<ShownMessage> shown;
    open().services().messages = std::make_unique<OutlivingMessages>(shown);
    {
        WriteFailure fail(dir.path());
        close();
    }
    EXPECT_EQ(savedConfig(), "<Config/>");
    // recorded.xml fails as well and tells so in a message of its own.
    std::vector<ShownMessage> aboutConfig;
    for (const ShownMessage& m : shown)
        if (m.text.contains(folderPath() + "config.xml"))
            aboutConfig.push_back(m);
    ASSERT_EQ(aboutConfig.size(), 1u);
    EXPECT_EQ(aboutConfig[0].caption, "Warning");
    EXPECT_EQ(aboutConfig[0].icon, MessageIcon::Warning);
}

} // namespace
