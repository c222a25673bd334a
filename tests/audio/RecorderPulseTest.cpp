// Real recordings through the sound server: a 1 kHz tone is played into the
// null sink "rec" and the recorder records its monitor in every format.
#include "audio/TBassRecorder.h"
#include "tests/audio/DecodedAudio.h"
#include "tests/support/ChildProcesses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class RecorderPulse : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char tmpl[] = "/tmp/tova-pulse-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        ASSERT_EQ(RunProcess({"sox", "-n", "-r", "44100", "-c", "2", dir + "/tone.wav", "synth",
                              "120", "sine", "1000", "vol", "0.5"}),
                  0);
        // A short latency keeps the null sink rendering in small blocks; with its
        // default it renders seconds at a time and a new recording hears
        // nothing until the next block.
        player = SpawnProcess({"paplay", "--latency-msec=20", "--device=rec", dir + "/tone.wav"});
        ASSERT_NE(player, 0);
        // The sink takes about two seconds to settle on the player's latency;
        // a recording paused and resumed before then loses its second part.
        std::this_thread::sleep_for(2500ms);
    }
    static void TearDownTestSuite() {
        if (player != 0) {
            kill(player, SIGTERM);
            waitpid(player, nullptr, 0);
        }
        fs::remove_all(dir);
    }
    void SetUp() override {
        ASSERT_TRUE(rec.Init(nullptr)) << rec.GetLastErrorMessage();
        std::vector<std::string> names;
        rec.LoadDeviceName(names);
        auto it = std::find(names.begin(), names.end(), "Monitor of RecSink");
        ASSERT_NE(it, names.end()) << "no monitor of the null sink \"rec\"";
        rec.SetRecordDevice(static_cast<int32_t>(it - names.begin()), 10);
        audiolib::setCodecDialogHook([](void*, uint32_t, const char*) { return true; });
    }
    void TearDown() override {
        rec.Uninit();
        audiolib::setCodecDialogHook(nullptr);
    }

    static std::string dir;
    static pid_t player;
    TBassRecorder rec;
};
std::string RecorderPulse::dir;
pid_t RecorderPulse::player = 0;

} // namespace

TEST_F(RecorderPulse, EveryFormatStartedPausedResumedAndStopped) {
    rec.SetWaveParameter(2, 16, 44100);
    rec.SetMP3Parameter(192, false, false, 3, 0);
    rec.SetOGGParameter(5);
    struct Case {
        TRecordOutFormat format;
        int32_t wmaRate, wmaChannels;
    };
    for (Case c : {Case{rofWAVE, 0, 0}, Case{rofMP3, 0, 0}, Case{rofOGG, 0, 0},
                   Case{rofWMA, 44100, 2}, Case{rofWMA, 22050, 1}}) {
        std::string label = std::string(OutFormatExt(c.format)) + std::to_string(c.wmaRate);
        SCOPED_TRACE(label);
        if (c.format == rofWMA)
            rec.SetWMAParameter(c.wmaRate, c.wmaChannels, 64);
        ASSERT_EQ(rec.Start(c.format, dir + "/take" + std::to_string(c.wmaRate)), 0);
        std::this_thread::sleep_for(800ms);
        rec.Pause();
        std::this_thread::sleep_for(800ms);
        rec.Resume();
        std::this_thread::sleep_for(800ms);
        EXPECT_FALSE(rec.RecordingEndedByItself()) << rec.RecordingEndReason();
        std::string file = rec.OutFile();
        static_cast<void>(rec.Stop());
        auto audio = decoded::decode(file);
        ASSERT_TRUE(audio.ok) << file;
        // 2.4 s of wall time, 0.8 s of it paused.
        EXPECT_NEAR(audio.seconds(), 1.6, 0.25);
        EXPECT_NEAR(decoded::toneHz(audio), 1000.0, 15.0);
        EXPECT_GT(decoded::rms(audio), 3000.0);
    }
}

TEST_F(RecorderPulse, AKilledEncoderIsReportedWithinASecond) {
    rec.SetOGGParameter(3);
    ASSERT_EQ(rec.Start(rofOGG, dir + "/killed"), 0);
    std::this_thread::sleep_for(500ms);
    auto enc = ChildrenNamed("oggenc2", Zombies::Skipped);
    ASSERT_EQ(enc.size(), 1u);
    kill(enc[0], SIGKILL);
    auto t0 = std::chrono::steady_clock::now();
    while (!rec.RecordingEndedByItself() && std::chrono::steady_clock::now() - t0 < 1s)
        std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(rec.RecordingEndedByItself());
    EXPECT_NE(rec.RecordingEndReason().find("oggenc2"), std::string::npos);
    static_cast<void>(rec.Stop());
}
