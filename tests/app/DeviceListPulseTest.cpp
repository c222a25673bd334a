// The device list against the real sound server: the default source first,
// the chosen source found again by its server name, and sources that come and
// go while the window is open.
#include "audio/lib/MixedInput.h"
#include "settings/RecorderSettings.h"
#include "tests/support/ChildProcesses.h"
#include "tests/support/ConfigTestData.h"
#include "tests/support/WindowFixture.h"
#include "ui/TComboBox.h"

#include <QCoreApplication>
#include <QTest>

#include <cstdio>
#include <string>

namespace {

std::string LoadNullSink(const std::string& name) {
    return ShellOutput("pactl load-module module-null-sink sink_name=" + name +
                       " sink_properties=device.description=" + name);
}

QStringList Ids(const TComboBox* list) {
    QStringList ids;
    for (int i = 0; i < list->count(); ++i)
        ids << list->itemData(i).toString();
    return ids;
}

class DeviceList : public WindowFixture {
protected:
    void SetUp() override {
        Settings = TRecorderSettings{};
        // Listed by the server in this order; the default becomes the second.
        first = LoadNullSink("tova_first");
        second = LoadNullSink("tova_second");
        ASSERT_FALSE(first.empty());
        ASSERT_FALSE(second.empty());
        ShellOutput("pactl set-default-source tova_second.monitor");
    }
    void TearDown() override {
        window.reset();
        ShellOutput("pactl set-default-source rec.monitor");
        for (const std::string& module : {first, second, third})
            if (!module.empty())
                ShellOutput("pactl unload-module " + module);
    }

    std::unique_ptr<TfrmMain> window;
    std::string first, second, third;
};

} // namespace

TEST_F(DeviceList, TheDefaultSourceComesFirstAndTheOthersKeepTheServersOrder) {
    installConfig();
    window = makeWindow();
    QStringList server =
        QString::fromStdString(ShellOutput("pactl list short sources | cut -f2")).split('\n');
    ASSERT_LT(server.indexOf("tova_first.monitor"), server.indexOf("tova_second.monitor"));
    server.removeAll("tova_second.monitor");
    // The mixed input comes after the server's inputs.
    EXPECT_EQ(Ids(window->cmbDevice),
              QStringList{"tova_second.monitor"} + server + QStringList{audiolib::kMixedInputId});
    EXPECT_EQ(window->cmbDevice->itemText(0), "Monitor of tova_second");
    EXPECT_EQ(window->cmbDevice->itemText(server.size() + 1), "Microphone + computer sound");
}

TEST_F(DeviceList, TheMixedInputIsChosenByItsIndexAndStaysChosenByItsName) {
    const int sources =
        static_cast<int>(QString::fromStdString(ShellOutput("pactl list short sources | cut -f2"))
                             .split('\n')
                             .size());
    std::string config = defaultConfigFile();
    setElementText(config, "Device", std::to_string(sources));
    TempFolder::write(dir / "config.xml", config);
    window = makeWindow();
    EXPECT_EQ(window->cmbDevice->currentIndex(), sources);
    EXPECT_EQ(window->cmbDevice->currentText(), "Microphone + computer sound");
    window.reset();
    std::string saved = TempFolder::read(dir / "config.xml");
    EXPECT_NE(saved.find("\t<Device>" + std::to_string(sources) + "</Device>\r\n"),
              std::string::npos)
        << saved;

    // Chosen in the window, it is remembered by name, and one input more on
    // the server moves it without losing it.
    window = makeWindow();
    window->cmbDevice->setCurrentIndex(sources);
    window.reset();
    third = LoadNullSink("tova_third");
    ASSERT_FALSE(third.empty());
    window = makeWindow();
    EXPECT_EQ(window->cmbDevice->currentIndex(), sources + 1);
    EXPECT_EQ(window->cmbDevice->currentData().toString(), audiolib::kMixedInputId);
    window.reset();
    saved = TempFolder::read(dir / "config.xml");
    EXPECT_NE(saved.find("\t<Device>" + std::to_string(sources + 1) +
                         "</Device>\r\n\t<DeviceName>" + audiolib::kMixedInputId +
                         "</DeviceName>\r\n"),
              std::string::npos)
        << saved;
}

TEST_F(DeviceList, TheRememberedSourceIsFoundAfterTheOrderChangedAndSavedBesideDevice) {
    std::string config = defaultConfigFile();
    setElementText(config, "Device", "0");
    config.insert(config.find("\t<SkipSilence>"),
                  "\t<DeviceName>tova_first.monitor</DeviceName>\r\n");
    TempFolder::write(dir / "config.xml", config);
    window = makeWindow();
    const int index = window->cmbDevice->findData("tova_first.monitor");
    ASSERT_GT(index, 0);
    EXPECT_EQ(window->cmbDevice->currentIndex(), index);
    EXPECT_EQ(Settings.Device, index);
    window.reset();
    const std::string saved = TempFolder::read(dir / "config.xml");
    EXPECT_NE(saved.find("\t<Device>" + std::to_string(index) +
                         "</Device>\r\n\t<DeviceName>tova_first.monitor</DeviceName>\r\n"),
              std::string::npos)
        << saved;

    // Gone in the next run: Device decides, and the name stays remembered.
    ShellOutput("pactl unload-module " + first);
    first.clear();
    window = makeWindow();
    // An index past the list records the default input, which the list shows.
    EXPECT_EQ(window->cmbDevice->currentIndex(), index < window->cmbDevice->count() ? index : 0);
    EXPECT_EQ(Settings.DeviceName, "tova_first.monitor");
}

TEST_F(DeviceList, SourcesAddedAndRemovedWhileOpenFollowAndTheChoiceStays) {
    installConfig();
    window = makeWindow();
    window->cmbDevice->setCurrentIndex(window->cmbDevice->findData("tova_first.monitor"));
    EXPECT_EQ(Settings.DeviceName, "tova_first.monitor");

    third = LoadNullSink("tova_third");
    ASSERT_FALSE(third.empty());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window->cmbDevice->findData("tova_third.monitor") >= 0; }, 5000));
    EXPECT_EQ(window->cmbDevice->currentData().toString(), "tova_first.monitor");
    EXPECT_EQ(Settings.Device, window->cmbDevice->currentIndex());

    ShellOutput("pactl unload-module " + third);
    third.clear();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window->cmbDevice->findData("tova_third.monitor") < 0; }, 5000));
    EXPECT_EQ(window->cmbDevice->currentData().toString(), "tova_first.monitor");

    // The chosen source itself vanishes: the server's default takes over.
    ShellOutput("pactl unload-module " + first);
    first.clear();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window->cmbDevice->findData("tova_first.monitor") < 0; }, 5000));
    EXPECT_EQ(window->cmbDevice->currentIndex(), 0);
    EXPECT_EQ(Settings.Device, 0);
}
