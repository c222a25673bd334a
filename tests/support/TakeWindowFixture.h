#pragma once
// The main window shown, on the virtual sound system's tone input, set to
// record MP3 files named "take" into a folder of their own.

#include "app/TfrmMain.h"
#include "settings/RecorderSettings.h"
#include "tests/audio/ToneInputs.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowFixture.h"
#include "ui/TCheckBox.h"
#include "ui/TFloatAnimation.h"

#include <QTest>

#include <filesystem>
#include <memory>

class TakeWindowFixture : public WindowFixture {
protected:
    // Returns once the window shows and its panel has opened.
    void openWindow() {
        installConfig();
        std::filesystem::create_symlink("/usr/bin/lame", dir / "lame");
        audiotest::installToneInputs({"Line In"});
        w = makeWindow();
        Settings = TRecorderSettings{};
        Settings.Device = 0;
        Settings.OutFormat = rofMP3;
        Settings.SaveFolder = QString::fromStdString(output.path().string());
        Settings.SpecialPath = QStringLiteral("take");
        w->rdSpecial->setChecked(true);
        fakes.messages->shown.clear();
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        waitForPanel();
    }
    void TearDown() override {
        w.reset();
        Settings = TRecorderSettings{};
    }
    void waitForPanel() {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w->faActive->isRunning(); }, 2000));
    }

    TempFolder output;
    std::unique_ptr<TfrmMain> w;
};
