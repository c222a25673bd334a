// The window's hotkey lists and presses on the offscreen window, against the
// recording backend: what gets registered and released, what the user is
// told, and what a press does by the recording state.

#include "app/TfrmMain.h"
#include "audio/lib/AudioLib.h"
#include "hotkeys/HotKeyValue.h"
#include "hotkeys/THotKeyManager.h"
#include "recordings/TRecordFiles.h"
#include "settings/RecorderSettings.h"
#include "tests/audio/ToneInputs.h"
#include "tests/support/ConfigTestData.h"
#include "tests/support/WindowFixture.h"
#include "ui/TCheckBox.h"
#include "ui/TComboBox.h"

#include <QDialog>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

const QString kTakenText =
    QStringLiteral("Failed to set HotKey: %1\r\nthe hotkey is already used.");
const QString kUnavailableText =
    QStringLiteral("Failed to set HotKey: %1\r\nglobal hotkeys are not available in this session.");

std::uint32_t Value(const char* text) {
    return ParseHotKey(text);
}

class HotkeyWindow : public WindowFixture {
protected:
    void SetUp() override {
        fs::create_symlink("/usr/bin/lame", dir / "lame");
        audiotest::installToneInputs({"Line In"});
    }
    void TearDown() override {
        frm.reset();
        Settings = TRecorderSettings{};
    }

    // The window on a config.xml holding these three hotkey texts, recording
    // MP3 into the output folder under a name that the fake clock fixes.
    void open(const char* start, const char* pause, const char* stop) {
        std::string config = defaultConfigFile();
        setElementText(config, "Start", start);
        setElementText(config, "Pause", pause);
        setElementText(config, "Stop", stop);
        setElementText(config, "SaveFolder", output.path().string());
        TempFolder::write(dir / "config.xml", config);
        backend = fakes.hotkeys;
        frm = makeWindow();
    }

    std::set<std::uint32_t> registered() const {
        std::set<std::uint32_t> values;
        for (const auto& [id, value] : backend->registered)
            values.insert(value);
        return values;
    }
    HotKeyId idOf(const char* text) const {
        return backend->ids.at(HotKeyIdentifierName(Value(text)));
    }
    static void choose(TComboBox* list, const QString& text) {
        list->setCurrentIndex(list->findText(text));
    }
    // The texts of the boxes shown since the last look, all "Notice" with
    // the information icon and OK; forgotten once seen.
    QStringList notices() {
        QStringList texts;
        for (const ShownMessage& m : fakes.messages->shown) {
            EXPECT_EQ(m.caption, "Notice");
            EXPECT_EQ(m.icon, MessageIcon::Information);
            EXPECT_EQ(m.buttons, MessageButtons::Ok);
            texts << m.text;
        }
        fakes.messages->shown.clear();
        return texts;
    }

    TempFolder output;
    RecordingHotkeyBackend* backend = nullptr;
    std::unique_ptr<TfrmMain> frm;
};

} // namespace

TEST_F(HotkeyWindow, ChoicesRegisterKeepEarlierOnesAndNoneReleases) {
    open("CTRL+ALT+R", "CTRL+ALT+R", "CTRL+ALT+S");
    // The same combination for Start and Pause: the second choice drops and
    // registers it again, and succeeds.
    EXPECT_TRUE(notices().isEmpty());
    EXPECT_EQ(registered(), (std::set{Value("CTRL+ALT+R"), Value("CTRL+ALT+S")}));
    EXPECT_EQ(Settings.HotKeyStart, "CTRL+ALT+R");
    EXPECT_EQ(Settings.HotKeyPause, "CTRL+ALT+R");
    EXPECT_EQ(frm->FHotkeyMgr->HotKeyList().size(), 2u);

    // A second choice leaves the first registered.
    choose(frm->cmbStop, "CTRL+ALT+T");
    EXPECT_EQ(Settings.HotKeyStop, "CTRL+ALT+T");
    EXPECT_EQ(registered(),
              (std::set{Value("CTRL+ALT+R"), Value("CTRL+ALT+S"), Value("CTRL+ALT+T")}));

    // "None" releases what the action held.
    choose(frm->cmbPause, "None");
    EXPECT_EQ(Settings.HotKeyPause, "None");
    EXPECT_EQ(registered(), (std::set{Value("CTRL+ALT+S"), Value("CTRL+ALT+T")}));
    EXPECT_TRUE(notices().isEmpty());
}

TEST_F(HotkeyWindow, CombinationsThatCannotBeHadSayWhyAndFallBackToNone) {
    fakes.hotkeys->takenByOthers = {Value("CTRL+ALT+Q"), Value("CTRL+ALT+X")};
    open("CTRL+ALT+R", "", "CTRL+ALT+X");
    // At start-up too.
    EXPECT_EQ(notices(), QStringList{kTakenText.arg("CTRL+ALT+X")});
    EXPECT_EQ(frm->cmbStop->currentIndex(), 0);
    EXPECT_EQ(Settings.HotKeyStop, "None");

    // Taken: one box, "None", and the combination Start held is released.
    choose(frm->cmbStart, "CTRL+ALT+Q");
    EXPECT_EQ(notices(), QStringList{kTakenText.arg("CTRL+ALT+Q")});
    EXPECT_EQ(frm->cmbStart->currentText(), "None");
    EXPECT_EQ(Settings.HotKeyStart, "None");
    EXPECT_TRUE(registered().empty());

    // Refused later, as the portal may: the same.
    backend->answer = HotkeyRegistration::Pending;
    choose(frm->cmbPause, "CTRL+ALT+P");
    EXPECT_EQ(Settings.HotKeyPause, "CTRL+ALT+P");
    backend->answerLater(idOf("CTRL+ALT+P"), HotkeyRegistration::Taken);
    EXPECT_EQ(notices(), QStringList{kTakenText.arg("CTRL+ALT+P")});
    EXPECT_EQ(frm->cmbPause->currentText(), "None");
    EXPECT_EQ(Settings.HotKeyPause, "None");

    // No hotkeys in this session at all.
    backend->answer = HotkeyRegistration::Unavailable;
    choose(frm->cmbStart, "CTRL+ALT+B");
    EXPECT_EQ(notices(), QStringList{kUnavailableText.arg("CTRL+ALT+B")});
    EXPECT_EQ(frm->cmbStart->currentText(), "None");
    EXPECT_EQ(Settings.HotKeyStart, "None");
    EXPECT_TRUE(frm->FHotkeyMgr->HotKeyList().empty());
}

TEST_F(HotkeyWindow, PressesActAsTheRecordAndStopButtonsByState) {
    open("CTRL+ALT+R", "CTRL+ALT+P", "CTRL+ALT+S");
    const auto press = [this](const char* text) { backend->press(idOf(text)); };

    press("CTRL+ALT+S");
    EXPECT_EQ(frm->FCurrentState, rsNormal);
    press("CTRL+ALT+R");
    EXPECT_EQ(frm->FCurrentState, rsRecording);
    press("CTRL+ALT+P");
    EXPECT_EQ(frm->FCurrentState, rsRecordPause);
    press("CTRL+ALT+R");
    EXPECT_EQ(frm->FCurrentState, rsRecording);
    press("CTRL+ALT+S");
    EXPECT_EQ(frm->FCurrentState, rsRecordStoped);
    EXPECT_TRUE(fakes.messages->shown.empty());
    ASSERT_EQ(RecordFiles->Files().size(), 1u);
    EXPECT_TRUE(fs::exists(RecordFiles->Files()[0]));

    // The same special name again: the program asks whether to overwrite. A
    // press while that box is open is ignored, as a click under it would be.
    frm->rdSpecial->setChecked(true);
    Settings.SpecialPath =
        QString::fromStdString(fs::path(RecordFiles->Files()[0]).stem().string());
    int pressesUnderTheBox = 0;
    fakes.messages->whileShown = [&] {
        if (++pressesUnderTheBox == 1)
            press("CTRL+ALT+R");
    };
    press("CTRL+ALT+R");
    EXPECT_EQ(pressesUnderTheBox, 1);
    EXPECT_EQ(fakes.messages->shown.size(), 1u);
    EXPECT_EQ(frm->FCurrentState, rsRecordStoped);
    fakes.messages->whileShown = nullptr;

    // And under a modal dialog of Qt's own.
    QDialog dialog(frm.get());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    fakes.messages->shown.clear();
    press("CTRL+ALT+R");
    EXPECT_TRUE(fakes.messages->shown.empty());
    EXPECT_EQ(frm->FCurrentState, rsRecordStoped);
}

TEST_F(HotkeyWindow, PressesBeforeStartUpHasEndedAreIgnored) {
    // Each registration is followed by a press of every key already held,
    // while the settings are still loading.
    RecordingHotkeyBackend* b = fakes.hotkeys;
    b->afterRegister = [b](HotKeyId current) {
        const auto held = b->registered;
        for (const auto& [id, value] : held)
            if (id != current)
                b->press(id);
    };
    open("CTRL+ALT+R", "CTRL+ALT+P", "CTRL+ALT+S");
    EXPECT_EQ(registered().size(), 3u);
    EXPECT_EQ(frm->FCurrentState, rsNormal);
    EXPECT_TRUE(fakes.messages->shown.empty());
    EXPECT_TRUE(fs::is_empty(output.path()));
}
