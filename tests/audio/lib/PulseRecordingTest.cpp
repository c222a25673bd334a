// Recording from the sound server through the layer into real encoders.
// Needs the PulseAudio daemon with the null sink "rec", lame, oggenc, sox
// and ffmpeg.
#include "audio/lib/AudioLib.h"
#include "tests/audio/DecodedAudio.h"
#include "tests/audio/lib/support/AudioCheck.h"
#include "tests/support/ChildProcesses.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace audiolib::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using audiotest::loudestFrequency;

// Runs a command and returns its standard output.
std::string runOutput(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        out.append(buf, n);
    pclose(pipe);
    return out;
}

std::string programFolder() {
    return fs::read_symlink("/proc/self/exe").parent_path().string() + "/";
}

std::atomic<uint64_t> capturedBytes{0};

bool countBytes(Handle, const void*, uint32_t length, void*) {
    capturedBytes += length;
    return true;
}

class PulseRecording : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = fs::temp_directory_path() / ("tova pulse " + std::to_string(getpid()));
        fs::create_directories(dir);
        const std::string tone = (dir / "tone.wav").string();
        ASSERT_EQ(
            std::system(
                ("sox -n -r 44100 -c 2 -b 16 '" + tone + "' synth 120 sine 1000 vol 0.5").c_str()),
            0);
        // Low latency: an idle null sink renders in blocks of two seconds,
        // and its monitor would then start delivering that late.
        player = SpawnProcess({"paplay", "--device=rec", "--latency-msec=20", tone});
        ASSERT_NE(player, 0);
        std::this_thread::sleep_for(2500ms);
    }
    static void TearDownTestSuite() {
        if (player > 0) {
            kill(player, SIGTERM);
            waitpid(player, nullptr, 0);
        }
        fs::remove_all(dir);
    }
    void SetUp() override {
        ASSERT_TRUE(recordInit(-1)) << errorCode();
        int monitor = -1;
        for (int n = 0; const char* name = recordGetInputName(n); ++n) {
            recordSetInput(n, kInputOff, -1.0f);
            if (std::string(name) == "Monitor of RecSink")
                monitor = n;
        }
        ASSERT_GE(monitor, 0) << "no input named Monitor of RecSink";
        ASSERT_TRUE(recordSetInput(monitor, kInputOn, -1.0f));
        ASSERT_TRUE(recordSetInput(monitor, 0, 1.0f));
        capturedBytes = 0;
    }
    void TearDown() override { recordFree(); }

    // Records into `line`'s encoder: `run` of audio, and as much paused in
    // the middle when `pausedToo`. Returns the seconds that were captured.
    double record(const std::string& line, std::chrono::milliseconds run, bool pausedToo) {
        const Handle h = recordStart(44100, 2, kRecordPause, countBytes, nullptr);
        EXPECT_NE(h, 0u);
        EXPECT_EQ(encodeStart(h, line.c_str(), kEncodeAutoFree | kUnicode, nullptr, nullptr), h)
            << errorCode();
        EXPECT_TRUE(channelPlay(h, false));
        if (pausedToo) {
            std::this_thread::sleep_for(run / 2);
            EXPECT_TRUE(channelPause(h));
            std::this_thread::sleep_for(run);
            EXPECT_TRUE(channelPlay(h, false));
            std::this_thread::sleep_for(run / 2);
        } else {
            std::this_thread::sleep_for(run);
        }
        EXPECT_EQ(channelIsActive(h), kActivePlaying);
        EXPECT_EQ(channelLostBlocks(h), 0u);
        EXPECT_TRUE(channelStop(h));
        return static_cast<double>(capturedBytes.load()) / 176400.0;
    }

    void expectTone(const std::string& file, double captured, double padding) {
        ASSERT_TRUE(fs::exists(file));
        const decoded::Audio audio = decoded::decode(file);
        EXPECT_NEAR(audio.seconds(), captured, padding) << file;
        const std::vector<int16_t>& samples = audio.samples;
        EXPECT_NEAR(loudestFrequency(samples, samples.size() / 2 - 32768), 1000.0, 5.0) << file;
    }

    std::string lameLine(const std::string& options, const std::string& file) const {
        return programFolder() + "lame " + options + " - \"" + file + "\"";
    }

    static inline fs::path dir;
    static inline pid_t player = 0;
};

TEST_F(PulseRecording, Mp3ConstantAndVariableBitrate) {
    const std::string cbr = (dir / "cbr take.mp3").string();
    const double capturedCbr = record(lameLine(" -b 128 -m s ", cbr), 3s, false);
    EXPECT_NEAR(capturedCbr, 3.0, 0.3);
    // lame pads the start and the last frame: up to about two frames.
    expectTone(cbr, capturedCbr, 0.08);

    capturedBytes = 0;
    const std::string vbr = (dir / "vbr take.mp3").string();
    const double capturedVbr = record(lameLine(" -V4 -m j ", vbr), 3s, false);
    expectTone(vbr, capturedVbr, 0.08);
}

TEST_F(PulseRecording, OggVorbis) {
    const std::string ogg = (dir / "take.ogg").string();
    const double captured =
        record(programFolder() + "oggenc2 " + " -q 5 " + " -o \"" + ogg + "\" - ", 3s, false);
    expectTone(ogg, captured, 0.03);
}

TEST_F(PulseRecording, PausedTimeIsAbsentFromTheFile) {
    const std::string mp3 = (dir / "paused.mp3").string();
    const double captured = record(lameLine(" -b 128 -m s ", mp3), 2s, true);
    // Two seconds recorded around two seconds of pause.
    EXPECT_NEAR(captured, 2.0, 0.3);
    expectTone(mp3, captured, 0.08);
}

TEST_F(PulseRecording, KilledEncoderEndsTheRecording) {
    const std::string mp3 = (dir / "killed.mp3").string();
    const Handle h = recordStart(44100, 2, 0, countBytes, nullptr);
    ASSERT_EQ(encodeStart(h, lameLine(" -b 128 ", mp3).c_str(), 0, nullptr, nullptr), h);
    std::this_thread::sleep_for(300ms);
    const std::vector<pid_t> lame = ChildrenNamed("lame");
    ASSERT_EQ(lame.size(), 1u);
    ASSERT_EQ(kill(lame[0], SIGKILL), 0);
    const auto killed = std::chrono::steady_clock::now();
    while (channelIsActive(h) != kActiveStopped && std::chrono::steady_clock::now() - killed < 2s)
        std::this_thread::sleep_for(5ms);
    EXPECT_LT(std::chrono::steady_clock::now() - killed, 1s);
    EXPECT_EQ(channelEndCause(h), EndCause::EncoderFailed);
    EXPECT_EQ(encodeIsActive(h), 0);
    EXPECT_TRUE(channelStop(h));
    EXPECT_TRUE(ChildrenNamed("lame").empty());
}

TEST(PulseServer, RemovedSourceEndsTheRecording) {
    const std::string module = runOutput("pactl load-module module-null-sink sink_name=gone "
                                         "sink_properties=device.description=Gone");
    ASSERT_FALSE(module.empty());
    ASSERT_TRUE(recordInit(-1));
    int gone = -1;
    for (int n = 0; const char* name = recordGetInputName(n); ++n)
        if (std::string(name) == "Monitor of Gone")
            gone = n;
    ASSERT_GE(gone, 0);
    recordSetInput(gone, kInputOn, 1.0f);
    const Handle h = recordStart(44100, 2, 0, nullptr, nullptr);
    ASSERT_NE(h, 0u);
    std::this_thread::sleep_for(200ms);
    ASSERT_EQ(std::system(("pactl unload-module " + module).c_str()), 0);
    for (int i = 0; i < 200 && channelIsActive(h) != kActiveStopped; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(channelIsActive(h), kActiveStopped);
    EXPECT_EQ(channelEndCause(h), EndCause::InputLost);
    EXPECT_TRUE(channelStop(h));
    recordFree();
}

// Without a server, or with one that never answers, recordInit gives up
// within two seconds.
TEST(PulseServer, MissingOrMuteServerFailsQuickly) {
    const std::string mute = ::testing::TempDir() + "mute-" + std::to_string(getpid());
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", mute.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(listen(listener, 4), 0);

    const char* old = std::getenv("PULSE_SERVER");
    const std::string saved = old ? old : "";
    for (const std::string& server :
         std::vector<std::string>{"unix:/nonexistent/socket", "unix:" + mute}) {
        setenv("PULSE_SERVER", server.c_str(), 1);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(recordInit(-1)) << server;
        EXPECT_EQ(errorCode(), kErrDriver);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << server;
        EXPECT_EQ(recordStart(44100, 2, 0, nullptr, nullptr), 0u);
    }
    if (old)
        setenv("PULSE_SERVER", saved.c_str(), 1);
    else
        unsetenv("PULSE_SERVER");
    close(listener);
    unlink(mute.c_str());
    // And the real server is still reachable afterwards.
    EXPECT_TRUE(recordInit(-1));
    recordFree();
}

} // namespace
} // namespace audiolib::testing
