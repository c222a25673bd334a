// A recorder killed without warning, in every format: the file it leaves
// decodes to within a second of the kill and holds the tone it recorded.
#include "audio/TBassRecorder.h"
#include "audio/WaveFormatBlock.h"
#include "tests/audio/DecodedAudio.h"
#include "tests/audio/ToneInputs.h"
#include "tests/support/ChildProcesses.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

extern char** environ;

namespace {

struct Take {
    const char* name;
    TRecordOutFormat format;
    uint16_t waveTag = 0; // the codec chosen in the dialog, for WAV
    int rate = 44100;
    int channels = 2;
    int wmaKbit = 0;
    std::chrono::milliseconds killAfter;
    bool skipSilence = false; // sound is never held back by the cut
};

const Take kTakes[] = {
    {"pcm", rofWAVE, audiolib::kWavePcm, 44100, 2, 0, 2600ms},
    {"ima", rofWAVE, audiolib::kWaveImaAdpcm, 8000, 1, 0, 1700ms},
    {"msadpcm", rofWAVE, audiolib::kWaveMsAdpcm, 22050, 2, 0, 3100ms},
    {"alaw", rofWAVE, audiolib::kWaveALaw, 11025, 1, 0, 1300ms},
    {"wma", rofWMA, 0, 44100, 2, 128, 2200ms},
    {"wmalow", rofWMA, 0, 22050, 1, 24, 2900ms},
    {"mp3", rofMP3, 0, 44100, 2, 0, 1900ms},
    {"pcmskip", rofWAVE, audiolib::kWavePcm, 44100, 2, 0, 2300ms, true},
};

constexpr const char* kChildTake = "TOVALINE_KILLED_TAKE";
constexpr const char* kChildFile = "TOVALINE_KILLED_FILE";

} // namespace

// Run only as the child of the test below: records until it is killed.
TEST(KilledRecorder, ChildRecordsUntilKilled) {
    const char* index = std::getenv(kChildTake);
    if (index == nullptr)
        GTEST_SKIP() << "run by EveryFormatLeavesAPlayableFile";
    const Take& take = kTakes[std::atoi(index)];
    audiotest::installToneInputs({"Line In"});
    audiolib::setCodecDialogHook([&take](void* form, uint32_t len, const char*) {
        const uint16_t bits = take.waveTag == audiolib::kWavePcm    ? 16
                              : take.waveTag == audiolib::kWaveALaw ? 8
                                                                    : 4;
        return wavefmt::writeCodecBlock(form, len, take.waveTag,
                                        static_cast<uint16_t>(take.channels), bits,
                                        static_cast<uint32_t>(take.rate)) != 0;
    });
    TBassRecorder rec;
    rec.Init(nullptr);
    rec.SetRecordDevice(0, 10);
    rec.SetWaveParameter(2, 16, 44100);
    rec.SetMP3Parameter(128, false, false, 2, 0);
    rec.SetWMAParameter(take.rate, take.channels, take.wmaKbit);
    rec.SetSkipSilence(take.skipSilence);
    ASSERT_EQ(rec.Start(take.format, std::getenv(kChildFile)), 0);
    std::this_thread::sleep_for(60s);
}

TEST(KilledRecorder, EveryFormatLeavesAPlayableFile) {
    char tmpl[] = "/tmp/tova-killed-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const fs::path dir = tmpl;
    for (size_t i = 0; i < std::size(kTakes); ++i) {
        const Take& take = kTakes[i];
        SCOPED_TRACE(take.name);
        const std::string file = (dir / take.name).string() + OutFormatExt(take.format);
        const std::string takeVar = std::string(kChildTake) + "=" + std::to_string(i);
        const std::string fileVar = std::string(kChildFile) + "=" + file;
        std::vector<char*> env;
        for (char** e = environ; *e != nullptr; ++e)
            env.push_back(*e);
        env.push_back(const_cast<char*>(takeVar.c_str()));
        env.push_back(const_cast<char*>(fileVar.c_str()));
        env.push_back(nullptr);
        std::string self = fs::read_symlink("/proc/self/exe").string();
        std::string filter = "--gtest_filter=KilledRecorder.ChildRecordsUntilKilled";
        char* argv[] = {self.data(), filter.data(), nullptr};
        pid_t child = 0;
        ASSERT_EQ(posix_spawn(&child, self.c_str(), nullptr, nullptr, argv, env.data()), 0);

        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!fs::exists(file) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(5ms);
        const auto started = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(take.killAfter);
        const std::vector<pid_t> encoders = ChildrenNamed("lame", Zombies::Skipped, child);
        ::kill(child, SIGKILL);
        const double recorded =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        ::waitpid(child, nullptr, 0);
        // lame outlives the recorder: it finishes the file once its input closes.
        EXPECT_EQ(encoders.size(), take.format == rofMP3 ? 1u : 0u);
        for (pid_t encoder : encoders)
            ASSERT_TRUE(WaitUntil([&] { return ProcessEnded(encoder); }, 10s));

        const decoded::Audio audio = decoded::decode(file);
        ASSERT_TRUE(audio.ok);
        EXPECT_GE(audio.seconds(), recorded - 1.0);
        EXPECT_LE(audio.seconds(), recorded + 0.2);
        EXPECT_NEAR(decoded::toneHz(audio), 1000.0, 30.0);
        std::cout << "[ figure ] " << take.name << ": killed after " << recorded << " s, decodes "
                  << audio.seconds() << " s\n";
    }
    fs::remove_all(dir);
}
