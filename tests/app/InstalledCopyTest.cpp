// An installed copy's window: the user's files in the XDG folders, the
// settings it came with on a first start, nothing written beside the program.
#include "app/TfrmMain.h"
#include "audio/TBassRecorder.h"
#include "audio/lib/Channel.h"
#include "recordings/TRecordFiles.h"
#include "settings/RecorderSettings.h"
#include "tests/audio/ToneInputs.h"
#include "tests/support/ConfigTestData.h"
#include "tests/support/FakePlatformServices.h"
#include "tests/support/QtFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class InstalledCopy : public QtFixture {
protected:
    void SetUp() override {
        Settings = TRecorderSettings{};
        fs::create_directories(root / "usr/bin");
        fs::create_directories(root / "usr/share/tovaline");
        audiotest::installToneInputs({"Line In"});
    }

    std::unique_ptr<TfrmMain> open() {
        const QString bin = QString::fromStdString((root / "usr/bin").string());
        PlatformServices services = fakes.make(bin);
        services.files = locateProgramFiles(bin, QString::fromStdString((root / "conf").string()),
                                            QString::fromStdString((root / "data").string()));
        return std::make_unique<TfrmMain>(std::move(services));
    }

    void ship(int volume) const {
        std::string config = defaultConfigFile();
        setElementText(config, "Volume", std::to_string(volume));
        TempFolder::write(root / "usr/share/tovaline/config.xml", config);
    }

    TempFolder root;
    FakeServices fakes;
};

} // namespace

TEST_F(InstalledCopy, FirstStartUsesTheShippedSettingsSilentlyAndExitWritesTheUsersFolders) {
    ship(7);
    auto frm = open();
    EXPECT_TRUE(fakes.messages->shown.empty()) << "no file of the user's is expected yet";
    EXPECT_EQ(Settings.Volume, 7);
    EXPECT_EQ(frm->FRecUtils->EncoderFolder(), (root / "usr/lib/tovaline/").string());
    Settings.Volume = 3;
    frm.reset();

    EXPECT_TRUE(fs::exists(root / "conf/tovaline/config.xml"));
    const auto list =
        TRecordFiles::CreateFromDataFile((root / "data/tovaline/recorded.xml").string());
    EXPECT_NE(list, nullptr);
    EXPECT_TRUE(fs::is_empty(root / "usr/bin")) << "nothing beside the executable";

    // The user's own file wins from now on; the shipped one is left alone.
    Settings = TRecorderSettings{};
    frm = open();
    EXPECT_EQ(Settings.Volume, 3);
    EXPECT_TRUE(fakes.messages->shown.empty());
    frm.reset();
    EXPECT_NE(TempFolder::read(root / "usr/share/tovaline/config.xml").find("<Volume>7<"),
              std::string::npos);
}

TEST_F(InstalledCopy, WithoutAnySettingsFileStartsOnTheBuiltInDefaultsWithoutWarning) {
    auto frm = open();
    EXPECT_TRUE(fakes.messages->shown.empty());
    EXPECT_EQ(Settings, TRecorderSettings{});
}
