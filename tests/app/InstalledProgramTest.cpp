// An installed copy, as a user meets it: `cmake --install` into a temporary
// prefix (or the copy named by TOVALINE_INSTALLED_EXE, such as the package's
// /usr/bin/tovaline), started with a temporary HOME under the X server and the
// sound server's null sink. The first start asks nothing; the user's files
// land in the XDG folders, nothing is written beside the executable, and MP3
// and Ogg recordings come out through the private encoder links.

#include "recordings/TRecordFiles.h"
#include "tests/audio/DecodedAudio.h"
#include "tests/support/ConfigTestData.h"
#include "tests/support/ProgramUnderTest.h"
#include "tests/support/TempFolder.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

std::set<fs::path> Listing(const fs::path& folder) {
    std::set<fs::path> names;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        names.insert(e.path());
    return names;
}

class Installed : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(qgetenv("DISPLAY").isEmpty());
        if (const QByteArray given = qgetenv("TOVALINE_INSTALLED_EXE"); !given.isEmpty()) {
            exe = given.toStdString();
        } else {
            bool ok = false;
            RunHelper("cmake",
                      {"--install", TOVALINE_BUILD_DIR, "--prefix",
                       QString::fromStdString(prefix.path().string())},
                      &ok);
            ASSERT_TRUE(ok) << "cmake --install failed";
            exe = prefix / "bin/tovaline";
            installedHere = true;
        }
        ASSERT_TRUE(fs::exists(exe));
        env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", QString::fromStdString(home.path().string()));
        env.remove("XDG_CONFIG_HOME");
        env.remove("XDG_DATA_HOME");
    }

    // Starts the program; the window id once it shows. A warning box showing
    // first fails the start.
    QString start(QProcess& app) {
        app.setProcessEnvironment(env);
        app.setProcessChannelMode(QProcess::ForwardedChannels);
        app.start(QString::fromStdString(exe.string()), {});
        if (!app.waitForStarted())
            return {};
        const auto until = std::chrono::steady_clock::now() + 15s;
        while (std::chrono::steady_clock::now() < until) {
            EXPECT_TRUE(VisibleWindow("^Warning$").isEmpty()) << "a warning at start-up";
            if (const QString id = VisibleWindow("^Tovaline$"); !id.isEmpty()) {
                EXPECT_TRUE(WaitUntilPanelOpen(id));
                return id;
            }
            if (app.waitForFinished(100)) // it could not start: say so at once
                break;
        }
        return {};
    }

    void closeAndWait(QProcess& app, const ProgramWindow& window) {
        window.clickClose();
        ASSERT_TRUE(app.waitForFinished(10000)) << "the close button did not end the program";
        EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(app.exitCode(), 0);
    }

    // Records about two seconds in the given format into `output`.
    void record(const char* format) {
        std::string config = defaultConfigFile();
        config.replace(config.find("format=\"MP3\""), 12, std::string("format=\"") + format + "\"");
        setElementText(config, "Device", std::to_string(MonitorInput()));
        setElementText(config, "SaveFolder", output.path().string());
        setElementText(config, "Prefix", "take");
        TempFolder::write(home / ".config/tovaline/config.xml", config);

        QProcess app;
        const QString id = start(app);
        ASSERT_FALSE(id.isEmpty()) << "the window never showed";
        ProgramWindow window(id);
        const size_t before = Listing(output.path()).size();
        window.clickRecord();
        const auto clicked = std::chrono::steady_clock::now();
        while (Listing(output.path()).size() == before &&
               std::chrono::steady_clock::now() - clicked < 5s)
            std::this_thread::sleep_for(5ms);
        std::this_thread::sleep_for(2s);
        window.clickStop();
        WaitUntilWritten(output.path());
        closeAndWait(app, window);
    }

    TempFolder prefix;
    TempFolder home;
    TempFolder output;
    fs::path exe;
    bool installedHere = false;
    QProcessEnvironment env;
};

} // namespace

TEST_F(Installed, KeepsTheUsersFilesInXdgFoldersAndRecordsThroughItsOwnEncoders) {
    const fs::path bin = exe.parent_path();
    const std::set<fs::path> binBefore = Listing(bin);
    if (installedHere) { // /usr/bin holds the system's own lame
        EXPECT_EQ(binBefore, std::set<fs::path>{exe}) << "no encoder links beside the program";
    }

    {
        QProcess app;
        const QString id = start(app);
        ASSERT_FALSE(id.isEmpty()) << "the window never showed";
        closeAndWait(app, ProgramWindow(id));
    }
    EXPECT_TRUE(fs::exists(home / ".config/tovaline/config.xml"));
    EXPECT_TRUE(fs::exists(home / ".local/share/tovaline/recorded.xml"));

    // Killed when done: a tone left playing would be heard by later tests.
    QProcess tone;
    ASSERT_TRUE(PlayTone(tone, home / "tone.wav", 30)) << "no tone played";
    std::this_thread::sleep_for(2s); // the null sink settles on the short latency
    record("MP3");
    record("OGG");
    tone.kill();
    tone.waitForFinished();

    const auto list =
        TRecordFiles::CreateFromDataFile((home / ".local/share/tovaline/recorded.xml").string());
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Files().size(), 2u);
    for (const std::string& file : list->Files()) {
        const auto audio = decoded::decode(file);
        ASSERT_TRUE(audio.ok) << file;
        std::cout << "[ figure ] " << fs::path(file).filename() << " " << audio.seconds() << " s\n";
        EXPECT_NEAR(audio.seconds(), 2.0, 0.4) << file;
        EXPECT_NEAR(decoded::toneHz(audio), 1000.0, 20.0) << file;
    }
    EXPECT_EQ(fs::path(list->Files()[0]).extension(), ".mp3");
    EXPECT_EQ(fs::path(list->Files()[1]).extension(), ".ogg");
    EXPECT_EQ(Listing(bin), binBefore) << "nothing written beside the executable";
}
