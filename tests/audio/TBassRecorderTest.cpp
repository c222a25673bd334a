// The recording engine on a test sound system whose inputs are sine tones:
// its failures, its device handling and real files in every format.
#include "audio/TBassRecorder.h"
#include "audio/WaveFormatBlock.h"
#include "audio/lib/ProcessState.h"
#include "tests/audio/DecodedAudio.h"
#include "tests/audio/ToneInputs.h"
#include "tests/support/ChildProcesses.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string probe(const std::string& path, const std::string& entry) {
    std::string cmd = "ffprobe -v error -select_streams a:0 -show_entries stream=" + entry +
                      " -of default=nw=1:nk=1 '" + path + "' 2>/dev/null";
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p) != nullptr)
            out += buf;
        pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

class Recorder : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/tova-rec-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        install({"Line In", "Microphone", "Monitor of Speakers"});
        // Accepts the preselected format, as a user pressing OK would.
        audiolib::setCodecDialogHook([](void*, uint32_t, const char*) { return true; });
    }
    void TearDown() override {
        rec.reset();
        audiolib::recordFree();
        audiolib::free();
        audiolib::setCodecDialogHook(nullptr);
        fs::remove_all(dir);
    }
    void install(const std::vector<std::string>& inputs) {
        tones = audiotest::installToneInputs(inputs);
        rec = std::make_unique<TBassRecorder>();
        ASSERT_TRUE(rec->Init(nullptr));
    }
    // Records active, paused for as long, and active again; returns the file.
    std::string recordWithPause(TRecordOutFormat format, const std::string& name,
                                std::chrono::milliseconds part) {
        EXPECT_EQ(rec->Start(format, dir + "/" + name), 0) << rec->GetLastErrorMessage();
        std::this_thread::sleep_for(part);
        rec->Pause();
        std::this_thread::sleep_for(part);
        rec->Resume();
        std::this_thread::sleep_for(part);
        std::string file = rec->OutFile();
        const Result stopped = rec->Stop();
        EXPECT_TRUE(stopped.ok()) << stopped.message();
        return file;
    }

    std::string dir;
    std::unique_ptr<TBassRecorder> rec;
    audiolib::VirtualBackend* tones = nullptr; // owned by the audio layer
};

} // namespace

TEST_F(Recorder, NewRecorderHasNoErrorAndIgnoresCallsWithoutRecording) {
    TBassRecorder fresh;
    EXPECT_EQ(fresh.GetLastErrorMessage(), "");
    EXPECT_EQ(fresh.ErrCode(), 0);
    fresh.Pause();
    fresh.Resume();
    static_cast<void>(fresh.Stop());
    static_cast<void>(fresh.Stop());
    EXPECT_EQ(fresh.RecChannel(), 0u);
    EXPECT_FALSE(fresh.RecordingEndedByItself());
    EXPECT_EQ(fresh.RecordingEndReason(), "");
    EXPECT_EQ(fresh.ErrCode(), 0);
}

TEST_F(Recorder, InitRefusedByAnOpenOutputStillRecords) {
    rec.reset();
    audiolib::recordFree();
    audiolib::free();
    tones = audiotest::installToneInputs({"Line In"});
    ASSERT_TRUE(audiolib::init(-1, 44100, 0, nullptr)) << "the player opens the output first";
    rec = std::make_unique<TBassRecorder>();
    EXPECT_FALSE(rec->Init(nullptr));
    EXPECT_EQ(rec->ErrCode(), -2);
    EXPECT_EQ(rec->GetLastErrorMessage(), "Initialize abnormalities.");

    rec->SetRecordDevice(0, 10);
    rec->SetWaveParameter(2, 16, 44100);
    ASSERT_EQ(rec->Start(rofWAVE, dir + "/take"), 0);
    std::this_thread::sleep_for(400ms);
    static_cast<void>(rec->Stop());
    auto audio = decoded::decode(dir + "/take.wav");
    ASSERT_TRUE(audio.ok);
    EXPECT_GT(audio.seconds(), 0.2);
}

TEST_F(Recorder, WaveParameterFillsAPcmBlockOfTheLargestCodecSize) {
    const uint32_t largest = audiolib::encodeGetCodecFormat(0, nullptr, 0, nullptr, 0);
    struct Case {
        int8_t ch, bits;
        int32_t rate;
        uint16_t align;
        uint32_t avg;
    };
    for (Case c : {Case{2, 16, 44100, 4, 176400}, Case{1, 8, 8000, 1, 8000},
                   Case{2, 24, 22050, 6, 132300}}) {
        SCOPED_TRACE(c.rate);
        rec->SetWaveParameter(c.ch, c.bits, c.rate);
        const auto& block = rec->AcmWaveFormat();
        EXPECT_GE(block.size(), std::max<size_t>(largest, audiolib::kWaveFormatHeadSize));
        const auto h = audiolib::readWaveFormat(block.data(), block.size());
        ASSERT_TRUE(h);
        EXPECT_EQ(h->formatTag, 1);
        EXPECT_EQ(h->channels, static_cast<uint16_t>(c.ch));
        EXPECT_EQ(h->samplesPerSec, static_cast<uint32_t>(c.rate));
        EXPECT_EQ(h->bitsPerSample, static_cast<uint16_t>(c.bits));
        EXPECT_EQ(h->blockAlign, c.align);
        EXPECT_EQ(h->avgBytesPerSec, c.avg);
        EXPECT_EQ(h->extra.size(), 0u);
    }
}

TEST_F(Recorder, OptionStringsAreRebuiltNotAppended) {
    rec->SetOGGParameter(5);
    rec->SetOGGParameter(7);
    EXPECT_EQ(rec->OggCommandLine(), " -q 7");
    rec->SetMP3Parameter(128, true, false, 2, 5);
    EXPECT_EQ(rec->LameCommandLine(), " -b 128 -m s ");
    rec->SetMP3Parameter(128, false, true, 0, 4);
    EXPECT_EQ(rec->LameCommandLine(), " -V4");
}

TEST_F(Recorder, InputsAreListedSwitchedAndLevelled) {
    EXPECT_EQ(rec->GetAudioDeviceCount(), 3);
    std::vector<std::string> names{"kept"};
    rec->LoadDeviceName(names);
    EXPECT_EQ(names,
              (std::vector<std::string>{"kept", "Line In", "Microphone", "Monitor of Speakers"}));

    for (int i = 0; i < 3; ++i)
        audiolib::recordSetInput(i, audiolib::kInputOn, 1.0f);
    rec->SetRecordDevice(1, 5);
    EXPECT_FALSE(audiolib::inputState(0)->on);
    EXPECT_TRUE(audiolib::inputState(1)->on);
    EXPECT_FALSE(audiolib::inputState(2)->on);
    EXPECT_FLOAT_EQ(audiolib::inputState(1)->level, 0.5f);
    EXPECT_FLOAT_EQ(audiolib::inputState(0)->level, 1.0f) << "switching off keeps the level";

    rec->SetRecordDevice(3, 5);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(audiolib::inputState(i)->on) << i;
    rec->SetRecordDevice(-1, 5);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(audiolib::inputState(i)->on) << i;

    rec->Uninit();
    install({});
    EXPECT_EQ(rec->GetAudioDeviceCount(), 0);
    std::vector<std::string> none;
    rec->LoadDeviceName(none);
    EXPECT_TRUE(none.empty());
    rec->SetRecordDevice(0, 10); // nothing to switch; must not fail
}

TEST_F(Recorder, WmaBitratesInKbitForOfferedCombinationsOnly) {
    std::vector<int32_t> list{1};
    rec->GetWMAbitrates(list, 44100, 2);
    ASSERT_GT(list.size(), 1u);
    EXPECT_EQ(list.front(), 1);
    for (size_t i = 1; i < list.size(); ++i) {
        EXPECT_GE(list[i], 24);
        EXPECT_LE(list[i], 512);
    }
    std::vector<int32_t> untouched{7, 8};
    rec->GetWMAbitrates(untouched, 12345, 2);
    rec->GetWMAbitrates(untouched, 44100, 6);
    EXPECT_EQ(untouched, (std::vector<int32_t>{7, 8}));
}

TEST_F(Recorder, StartFailuresLeaveNothingRunning) {
    const std::string empty = dir + "/no-encoders";
    fs::create_directory(empty);
    struct Case {
        const char* what;
        TRecordOutFormat format;
        std::string file;
        std::function<void()> setup;
    };
    std::vector<Case> cases{
        {"WAV without a format block", rofWAVE, dir + "/a", [] {}},
        {"lame missing", rofMP3, dir + "/b",
         [&] {
             rec->SetEncoderFolder(empty);
             rec->SetMP3Parameter(128, false, false, 2, 0);
         }},
        {"lame missing beside a program named like a prefix of its folder", rofMP3, dir + "/b2",
         [&] {
             // "<dir>/My" would be the longest existing prefix of "<dir>/My Apps/lame".
             std::ofstream(dir + "/My") << "#!/bin/sh\ntouch \"" << dir << "/prefix-ran\"\n";
             fs::permissions(dir + "/My", fs::perms::owner_all);
             fs::create_directory(dir + "/My Apps");
             rec->SetEncoderFolder(dir + "/My Apps");
             rec->SetMP3Parameter(128, false, false, 2, 0);
         }},
        {"oggenc2 missing", rofOGG, dir + "/c",
         [&] {
             rec->SetEncoderFolder(empty);
             rec->SetOGGParameter(5);
         }},
        {"codec dialog cancelled", rofWAVE, dir + "/d",
         [&] {
             rec->SetWaveParameter(2, 16, 44100);
             audiolib::setCodecDialogHook([](void*, uint32_t, const char*) { return false; });
         }},
        {"WMA combination not offered", rofWMA, dir + "/e",
         [&] { rec->SetWMAParameter(44100, 2, 7); }},
        {"WAV file not writable", rofWAVE, dir + "/missing/f",
         [&] {
             rec->SetWaveParameter(2, 16, 44100);
             audiolib::setCodecDialogHook([](void*, uint32_t, const char*) { return true; });
         }},
        {"WMA file not writable", rofWMA, dir + "/missing/g",
         [&] { rec->SetWMAParameter(44100, 2, 128); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.setup();
        EXPECT_EQ(rec->Start(c.format, c.file), -1000);
        EXPECT_EQ(rec->RecChannel(), 0u);
        EXPECT_EQ(rec->GetLastErrorMessage(), "Recording failed!");
        EXPECT_FALSE(fs::exists(c.file + OutFormatExt(c.format)));
        EXPECT_TRUE(ChildrenNamed("lame", Zombies::Skipped).empty());
        EXPECT_TRUE(ChildrenNamed("oggenc2", Zombies::Skipped).empty());
    }
    ASSERT_TRUE(WaitUntilNoneRunning("My", 5s)); // a wrongly started prefix has had its say
    EXPECT_FALSE(fs::exists(dir + "/prefix-ran"));
    // Nothing was left holding the capture: a good start works afterwards.
    rec->SetEncoderFolder(TBassRecorder().EncoderFolder());
    rec->SetWaveParameter(2, 16, 44100);
    EXPECT_EQ(rec->Start(rofWAVE, dir + "/ok"), 0);
    static_cast<void>(rec->Stop());
}

TEST_F(Recorder, EveryFormatRecordsTheChosenInputWithoutThePause) {
    rec->SetRecordDevice(1, 10); // input 1 is a 2000 Hz tone
    rec->SetWaveParameter(2, 16, 44100);
    rec->SetMP3Parameter(128, false, false, 2, 0);
    rec->SetOGGParameter(5);
    struct Case {
        TRecordOutFormat format;
        int32_t wmaRate, wmaChannels;
    };
    for (Case c : {Case{rofWAVE, 0, 0}, Case{rofMP3, 0, 0}, Case{rofOGG, 0, 0},
                   Case{rofWMA, 44100, 2}, Case{rofWMA, 22050, 1}}) {
        SCOPED_TRACE(std::string(OutFormatExt(c.format)) + " " + std::to_string(c.wmaRate));
        if (c.format == rofWMA)
            rec->SetWMAParameter(c.wmaRate, c.wmaChannels, 64);
        std::string file = recordWithPause(c.format, "take" + std::to_string(c.wmaRate), 500ms);
        EXPECT_EQ(file, dir + "/take" + std::to_string(c.wmaRate) + OutFormatExt(c.format));
        auto audio = decoded::decode(file);
        ASSERT_TRUE(audio.ok);
        EXPECT_NEAR(audio.seconds(), 1.0, 0.2) << "the paused half is not in the file";
        EXPECT_NEAR(decoded::toneHz(audio), 2000.0, 30.0);
        EXPECT_GT(decoded::rms(audio), 4000.0);
        if (c.format == rofWMA) {
            EXPECT_EQ(probe(file, "sample_rate"), std::to_string(c.wmaRate));
            EXPECT_EQ(probe(file, "channels"), std::to_string(c.wmaChannels));
        }
    }
}

TEST_F(Recorder, TheFileLandsExactlyWhereTheListSaysWhateverThePath) {
    const std::string folder = dir + "/My \"Takes\" l'été -x 録音";
    fs::create_directories(folder);
    rec->SetWaveParameter(2, 16, 44100);
    rec->SetMP3Parameter(128, false, false, 2, 0);
    rec->SetOGGParameter(5);
    for (TRecordOutFormat format : {rofMP3, rofOGG, rofWAVE}) {
        SCOPED_TRACE(OutFormatExt(format));
        // A name that a re-split command line would turn into options or
        // into another file.
        const std::string path = folder + "/-o \" -V9 'x\" é" + OutFormatExt(format);
        ASSERT_EQ(rec->Start(format, path), 0);
        std::this_thread::sleep_for(300ms);
        EXPECT_EQ(rec->OutFile(), path);
        static_cast<void>(rec->Stop());
        auto audio = decoded::decode(path);
        ASSERT_TRUE(audio.ok);
        EXPECT_GT(audio.seconds(), 0.1);
    }
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 3u) << "nothing was written anywhere else";
}

TEST_F(Recorder, LevelScalesTheCapturedSound) {
    rec->SetWaveParameter(1, 16, 44100);
    rec->SetRecordDevice(0, 10);
    std::string full = recordWithPause(rofWAVE, "full", 200ms);
    rec->SetRecordDevice(0, 5);
    std::string half = recordWithPause(rofWAVE, "half", 200ms);
    rec->SetRecordDevice(0, 0);
    std::string silent = recordWithPause(rofWAVE, "silent", 200ms);
    double a = decoded::rms(decoded::decode(full));
    ASSERT_GT(a, 1000.0);
    EXPECT_NEAR(decoded::rms(decoded::decode(half)) / a, 0.5, 0.05);
    EXPECT_LT(decoded::rms(decoded::decode(silent)), 1.0);
}

TEST_F(Recorder, TheCodecDialogGetsTheBlockAndItsChoiceIsRecorded) {
    rec->SetWaveParameter(1, 8, 8000);
    std::vector<uint8_t> seen;
    audiolib::setCodecDialogHook([&seen](void* form, uint32_t len, const char*) {
        auto* p = static_cast<uint8_t*>(form);
        seen.assign(p, p + len);
        return wavefmt::writeCodecBlock(form, len, audiolib::kWaveALaw, 1, 8, 8000) != 0;
    });
    std::string file = recordWithPause(rofWAVE, "alaw", 300ms);
    const auto pre = audiolib::readWaveFormat(seen.data(), seen.size());
    ASSERT_TRUE(pre);
    EXPECT_EQ(pre->formatTag, 1);
    EXPECT_EQ(pre->samplesPerSec, 8000u);
    EXPECT_EQ(pre->channels, 1);
    EXPECT_EQ(probe(file, "codec_name"), "pcm_alaw");
    EXPECT_EQ(probe(file, "sample_rate"), "8000");
    const auto kept =
        audiolib::readWaveFormat(rec->AcmWaveFormat().data(), rec->AcmWaveFormat().size());
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->formatTag, audiolib::kWaveALaw) << "the choice stays for the next recording";
}

TEST_F(Recorder, ASecondStopAfterWmaLeavesTheFileAlone) {
    rec->SetRecordDevice(0, 10);
    rec->SetWMAParameter(44100, 2, 128);
    ASSERT_EQ(rec->Start(rofWMA, dir + "/w.wma"), 0);
    std::this_thread::sleep_for(500ms);
    static_cast<void>(rec->Stop());
    auto size = fs::file_size(dir + "/w.wma");
    auto first = decoded::decode(dir + "/w.wma");
    static_cast<void>(rec->Stop());
    EXPECT_NE(audiolib::errorCode(), audiolib::kErrHandle) << "the encoder was closed twice";
    rec->Pause();
    rec->Resume();
    EXPECT_EQ(fs::file_size(dir + "/w.wma"), size);
    auto second = decoded::decode(dir + "/w.wma");
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(second.samples.size(), first.samples.size());
}

TEST_F(Recorder, AStalledWmaWriterLosesBlocksNotTheRecording) {
    // Inputs forty times faster than real time, and a file that is a pipe
    // nobody reads yet: the writer hangs in the disk's place.
    rec.reset();
    audiolib::recordFree();
    audiolib::free();
    audiolib::VirtualConfig fast;
    fast.speed = 40;
    fast.blockFrames = 441;
    fast.inputs = {{"Line In", 1000.0, 12000}};
    audiolib::installBackend(std::make_unique<audiolib::VirtualBackend>(fast));
    rec = std::make_unique<TBassRecorder>();
    ASSERT_TRUE(rec->Init(nullptr));
    const std::string pipe = dir + "/stall.wma";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);

    rec->SetRecordDevice(0, 10);
    rec->SetWMAParameter(44100, 2, 320);
    ASSERT_EQ(rec->Start(rofWMA, pipe), 0) << rec->GetLastErrorMessage();
    const auto started = std::chrono::steady_clock::now();
    while (rec->LostSeconds() < 3.0 && std::chrono::steady_clock::now() - started < 10s)
        std::this_thread::sleep_for(20ms);
    EXPECT_GE(rec->LostSeconds(), 3.0) << "the blocks that found no room are counted";
    EXPECT_FALSE(rec->RecordingEndedByItself()) << rec->RecordingEndReason();

    // The disk comes back: what the ring held reaches the file.
    fcntl(reader, F_SETFL, 0);
    std::string written;
    std::thread drain([&] {
        char buf[65536];
        ssize_t n;
        while ((n = read(reader, buf, sizeof buf)) > 0)
            written.append(buf, static_cast<size_t>(n));
    });
    std::this_thread::sleep_for(100ms);
    const Result stopped = rec->Stop();
    drain.join();
    close(reader);
    EXPECT_TRUE(stopped.ok()) << stopped.message();
    const std::string copy = dir + "/copy.wma";
    std::ofstream(copy, std::ios::binary) << written;
    const auto d = decoded::decode(copy);
    ASSERT_TRUE(d.ok);
    EXPECT_GE(d.seconds(), 6.0) << "the pipe's and the ring's worth at least";
}

TEST_F(Recorder, ARecordingThatEndsByItselfIsNoticedWithinASecond) {
    rec->SetRecordDevice(0, 10);
    rec->SetMP3Parameter(128, false, false, 2, 0);
    // An encoder dying while the recording is paused counts as much.
    for (bool paused : {false, true}) {
        SCOPED_TRACE(paused ? "paused" : "running");
        ASSERT_EQ(rec->Start(rofMP3, dir + "/k.mp3"), 0);
        std::this_thread::sleep_for(300ms);
        if (paused)
            rec->Pause();
        EXPECT_FALSE(rec->RecordingEndedByItself());
        EXPECT_EQ(rec->RecordingEndReason(), "");
        auto lame = ChildrenNamed("lame", Zombies::Skipped);
        ASSERT_EQ(lame.size(), 1u);
        kill(lame[0], SIGKILL);
        auto killed = std::chrono::steady_clock::now();
        while (!rec->RecordingEndedByItself() && std::chrono::steady_clock::now() - killed < 1s)
            std::this_thread::sleep_for(20ms);
        EXPECT_TRUE(rec->RecordingEndedByItself());
        EXPECT_NE(rec->RecordingEndReason().find("lame"), std::string::npos)
            << rec->RecordingEndReason();
        static_cast<void>(rec->Stop());
        EXPECT_EQ(rec->RecChannel(), 0u);
        EXPECT_FALSE(rec->RecordingEndedByItself());
    }

    // The input vanishing ends it too, with its own reason; also while paused.
    rec->SetWaveParameter(2, 16, 44100);
    ASSERT_EQ(rec->Start(rofWAVE, dir + "/lost"), 0);
    std::this_thread::sleep_for(200ms);
    rec->Pause();
    ASSERT_GE(tones->openCaptures(), 1);
    tones->loseInput();
    auto lost = std::chrono::steady_clock::now();
    while (!rec->RecordingEndedByItself() && std::chrono::steady_clock::now() - lost < 1s)
        std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(rec->RecordingEndedByItself());
    EXPECT_NE(rec->RecordingEndReason().find("input"), std::string::npos)
        << rec->RecordingEndReason();
    static_cast<void>(rec->Stop());
}

TEST_F(Recorder, AFullDiskEndsTheRecordingInPlainWords) {
    const std::string full = dir + "/full";
    fs::create_directory(full);
    if (std::system(("mount -t tmpfs -o size=64k tmpfs '" + full + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "mounting a small file system needs root";
    rec->SetRecordDevice(0, 10);
    rec->SetWaveParameter(2, 16, 44100);
    rec->SetWMAParameter(44100, 2, 128);
    rec->SetMP3Parameter(320, false, false, 2, 0);
    rec->SetOGGParameter(10);
    // The encoders behind a pipe only quit; the disk is still named as the cause.
    for (TRecordOutFormat format : {rofWAVE, rofWMA, rofMP3, rofOGG}) {
        SCOPED_TRACE(OutFormatExt(format));
        ASSERT_EQ(rec->Start(format, full + "/take"), 0);
        const auto started = std::chrono::steady_clock::now();
        while (!rec->RecordingEndedByItself() && std::chrono::steady_clock::now() - started < 10s)
            std::this_thread::sleep_for(20ms);
        EXPECT_EQ(rec->RecordingEndReason(), "The recording stopped: the disk is full. What was "
                                             "recorded until then is kept in the file.");
        static_cast<void>(rec->Stop());
        EXPECT_TRUE(decoded::decode(rec->OutFile()).ok) << "what fitted stays playable";
        fs::remove(rec->OutFile());
    }
    EXPECT_EQ(std::system(("umount '" + full + "'").c_str()), 0);
}
