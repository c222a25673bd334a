// The window plays a recording through the real sound server: heard on the
// null sink's monitor, ended by the position timer on the real event loop.

#include "app/TfrmMain.h"
#include "audio/TBassPlayer.h"
#include "recordings/TRecordFiles.h"
#include "tests/audio/lib/SoundFiles.h"
#include "tests/audio/lib/support/MonitorRecording.h"
#include "tests/support/WindowFixture.h"
#include "ui/TImage.h"
#include "ui/TListBox.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <optional>

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

// A silent stream into the sink from the start: an idle null sink hands its
// monitor out late for its first seconds.
class KeepSinkAwake {
public:
    KeepSinkAwake() {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/zero", O_RDONLY, 0);
        std::string args[] = {"pacat", "--playback", "--device=rec", "--latency-msec=20", "--raw"};
        char* argv[] = {args[0].data(), args[1].data(), args[2].data(),
                        args[3].data(), args[4].data(), nullptr};
        if (posix_spawnp(&pid_, "pacat", &actions, nullptr, argv, environ) != 0)
            pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~KeepSinkAwake() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

private:
    pid_t pid_ = 0;
};

class PlaybackPulse : public WindowFixture {};

} // namespace

TEST_F(PlaybackPulse, ADoubleClickIsHeardToTheEndWithTheSpectrumMoving) {
    KeepSinkAwake awake;
    const auto file = soundfiles::make(dir, soundfiles::Kind::Mp3);
    ASSERT_FALSE(file.empty());
    installConfig();
    auto w = makeWindow();
    RecordFiles->Files() = {file.string()};
    w->listFiles->clear();
    w->FillFileList();
    w->listFiles->setCurrentRow(0);
    const QImage idle = w->imgSound->bitmap();

    audiolib::MonitorRecording monitor(dir / "monitor.raw");
    ASSERT_TRUE(monitor.running());
    const auto started = Clock::now();
    w->listFilesDblClick(w->listFiles);
    ASSERT_EQ(w->FPlayState, psPlaying);
    bool spectrumShown = false;
    std::optional<Clock::time_point> playerEnded;
    while (w->FPlayState == psPlaying && Clock::now() - started < 8s) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(5ms);
        spectrumShown = spectrumShown || w->imgSound->bitmap() != idle;
        if (!playerEnded && w->FPlayState == psPlaying && w->FPlayer->GetPlayState() == psStop)
            playerEnded = Clock::now();
    }
    const auto stopped = Clock::now();
    const double seconds = std::chrono::duration<double>(stopped - started).count();
    std::this_thread::sleep_for(300ms);
    const double loud = audiolib::loudSeconds(monitor.stop());

    EXPECT_EQ(w->FPlayState, psStop);
    EXPECT_GT(seconds, 2.9) << "not before the end";
    // The sink's latency is the server's business; the window sees the end
    // at its next position update.
    if (playerEnded) {
        EXPECT_LT(stopped - *playerEnded, 600ms);
    }
    EXPECT_NEAR(loud, 2.0, 0.15) << "the tone was heard whole";
    EXPECT_TRUE(spectrumShown);
    EXPECT_EQ(w->imgSound->bitmap(), idle);
    EXPECT_TRUE(fakes.messages->shown.empty());
}
