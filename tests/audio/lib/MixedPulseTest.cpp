// The mixed input on the real sound server: two null sinks of the test's
// own, one's monitor the default source (the "microphone"), the other the
// default output, each playing its tone. Needs the PulseAudio daemon, sox.
#include "RecordingFixture.h"
#include "tests/support/ChildProcesses.h"

#include "audio/lib/MixedInput.h"

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <numbers>

namespace audiolib::testing {
namespace {

namespace fs = std::filesystem;

constexpr double kAmplitude = 0.3 * 32767;

// Level of `hz` in the left channel over 100 ms from `frame` (whole cycles
// of both test tones, so each is blind to the other).
double level(const std::vector<int16_t>& s, size_t frame, double hz) {
    double re = 0;
    double im = 0;
    for (size_t i = 0; i < 4410; ++i) {
        const double w = 2 * std::numbers::pi * hz * static_cast<double>(i) / 44100.0;
        re += s[2 * (frame + i)] * std::cos(w);
        im += s[2 * (frame + i)] * std::sin(w);
    }
    return 2 * std::hypot(re, im) / 4410.0;
}

class MixedPulse : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tova mix " + std::to_string(getpid()));
        fs::create_directories(dir);
        for (const char* sink : {"tova_mic", "tova_out"}) {
            modules.push_back(
                ShellOutput(std::string("pactl load-module module-null-sink sink_name=") + sink +
                            " sink_properties=device.description=" + sink));
            ASSERT_FALSE(modules.back().empty());
            // An idle null sink delivers its monitor late at first.
            keepers.push_back(SpawnProcess({"pacat", "--playback", "--raw", "--latency-msec=20",
                                            std::string("--device=") + sink, "/dev/zero"}));
        }
        ShellOutput("pactl set-default-source tova_mic.monitor");
        ShellOutput("pactl set-default-sink tova_out");
    }
    void TearDown() override {
        recordFree();
        for (pid_t pid : keepers)
            if (pid > 0) {
                kill(pid, SIGTERM);
                waitpid(pid, nullptr, 0);
            }
        ShellOutput("pactl set-default-sink rec");
        ShellOutput("pactl set-default-source rec.monitor");
        for (const std::string& module : modules)
            ShellOutput("pactl unload-module " + module);
        fs::remove_all(dir);
    }

    std::string tone(const char* name, double hz, double padSeconds) {
        const std::string file = (dir / name).string();
        const std::string make = "sox -n -r 44100 -c 2 -b 16 '" + file + "' synth 3 sine " +
                                 std::to_string(hz) + " vol 0.3 pad " + std::to_string(padSeconds) +
                                 " 0";
        EXPECT_EQ(std::system(make.c_str()), 0);
        return file;
    }

    // Waits (bounded) until the encoder holds `frames`.
    bool reach(size_t frames) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (encoder->frames() < frames && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return encoder->frames() >= frames;
    }

    // Starts recording the mixed input into a fresh encoder, and waits until
    // the recording runs.
    Handle startMixed() {
        encoder = std::make_shared<EncoderLog>();
        int mixed = -1;
        for (int n = 0; const char* id = recordGetInputId(n); ++n)
            if (std::string(id) == kMixedInputId)
                mixed = n;
        EXPECT_GE(mixed, 0);
        EXPECT_EQ(recordGetInputName(mixed + 1), nullptr) << "listed last";
        EXPECT_TRUE(recordSetInput(mixed, kInputOn, 1.0f));
        const Handle h = recordStart(44100, 2, kRecordPause, nullptr, nullptr);
        EXPECT_NE(h, 0u);
        EXPECT_EQ(attachEncoder(h, std::make_unique<KeepingEncoder>(encoder)), h);
        EXPECT_TRUE(channelPlay(h, false));
        EXPECT_TRUE(reach(22050));
        return h;
    }

    // Plays each file into its sink, all at once, to their ends; then half a
    // second more is recorded.
    void play(const std::vector<std::pair<std::string, std::string>>& sinkAndFile) {
        std::vector<pid_t> players;
        for (const auto& [sink, file] : sinkAndFile)
            players.push_back(
                SpawnProcess({"paplay", "--device=" + sink, "--latency-msec=20", file}));
        for (pid_t pid : players) {
            EXPECT_GT(pid, 0);
            waitpid(pid, nullptr, 0);
        }
        EXPECT_TRUE(reach(encoder->frames() + 22050));
    }

    // The loudest level of `hz` in any 100 ms of the recording.
    double loudest(double hz) {
        double most = 0;
        for (size_t f = 0; f + 4410 <= encoder->frames(); f += 4410)
            most = std::max(most, level(encoder->samples, f, hz));
        return most;
    }

    fs::path dir;
    std::vector<std::string> modules;
    std::vector<pid_t> keepers;
    std::shared_ptr<EncoderLog> encoder = std::make_shared<EncoderLog>();
};

TEST_F(MixedPulse, TheFileHoldsEachSideAloneAndBothTogetherAtTheirLevels) {
    const std::string mic = tone("mic.wav", 440, 0);
    const std::string out = tone("out.wav", 880, 1.5);
    ASSERT_TRUE(recordInit(-1));
    const Handle h = startMixed();
    play({{"tova_mic", mic}, {"tova_out", out}});
    EXPECT_EQ(channelLostFrames(h), 0u);
    ASSERT_TRUE(channelStop(h));

    // Each tone within 1 dB of what was played, alone and with the other.
    const double low = kAmplitude * 0.891;
    const double high = kAmplitude * 1.122;
    const double quiet = kAmplitude * 0.03;
    int micAlone = 0;
    int both = 0;
    int outAlone = 0;
    for (size_t f = 0; f + 4410 <= encoder->frames(); f += 4410) {
        const double a = level(encoder->samples, f, 440);
        const double b = level(encoder->samples, f, 880);
        EXPECT_LT(a, high) << "at " << f;
        EXPECT_LT(b, high) << "at " << f;
        micAlone += a > low && b < quiet;
        both += a > low && b > low;
        outAlone += a < quiet && b > low;
    }
    EXPECT_GE(micAlone, 7);
    EXPECT_GE(both, 7);
    EXPECT_GE(outAlone, 7);
}

TEST_F(MixedPulse, AClickPlayedIntoBothAtOnceLandsWithin5Ms) {
    // One stream into both sinks at once: the server's combining sink keeps
    // its two outputs in step.
    modules.push_back(ShellOutput("pactl load-module module-combine-sink sink_name=tova_both "
                                  "slaves=tova_mic,tova_out"));
    ASSERT_FALSE(modules.back().empty());
    const std::string click = (dir / "click.wav").string();
    ASSERT_EQ(std::system(("sox -n -r 44100 -c 2 -b 16 '" + click +
                           "' synth 0.0002 square 2500 vol 0.4 pad 0.5 0.5")
                              .c_str()),
              0);
    ASSERT_TRUE(recordInit(-1));
    const Handle h = startMixed();
    play({{"tova_both", click}});
    ASSERT_TRUE(channelStop(h));
    size_t first = 0;
    size_t last = 0;
    for (size_t f = 0; f < encoder->frames(); ++f)
        if (std::abs(encoder->samples[2 * f]) > 0.25 * 32767) {
            first = first ? first : f;
            last = f;
        }
    ASSERT_GT(first, 0u) << "the click was recorded";
    // The click is 9 frames long; 5 ms are 220.
    EXPECT_LT(last - first, 9u + 220u) << "one click, not two";
}

TEST_F(MixedPulse, ANewDefaultIsFollowedByTheNextRecordingNotTheRunningOne) {
    const std::string mic = tone("mic.wav", 440, 0);
    ASSERT_TRUE(recordInit(-1));
    Handle h = startMixed();
    ShellOutput("pactl set-default-source rec.monitor");
    play({{"tova_mic", mic}});
    ASSERT_TRUE(channelStop(h));
    EXPECT_GT(loudest(440), kAmplitude * 0.891) << "the running recording keeps its source";

    h = startMixed();
    play({{"tova_mic", mic}});
    ASSERT_TRUE(channelStop(h));
    EXPECT_LT(loudest(440), kAmplitude * 0.03) << "the next one records the new default";
}

} // namespace
} // namespace audiolib::testing
