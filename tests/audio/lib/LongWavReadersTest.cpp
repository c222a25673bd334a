// WAV past 4 GiB, as sparse files so nothing fills the disk: what the writer
// makes is read at the same length by FFmpeg, libsndfile (and sox, for a
// short file), and our
// decoder takes the length from the header without reading the sound.
#include "audio/lib/AudioLib.h"
#include "audio/lib/LittleEndian.h"
#include "audio/lib/WaveFormat.h"
#include "audio/lib/ffmpeg/CodecFileEncoder.h"
#include "audio/lib/ffmpeg/FileDecoder.h"
#include "audio/lib/ffmpeg/WavHeader.h"
#include "tests/audio/lib/support/AudioCheck.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace audiolib::ffmpeg {
namespace {

namespace fs = std::filesystem;

// A 7 h 18 min 23 s recording: 4.6 GB of 44100 Hz stereo.
constexpr uint64_t kLongFrames = 1'160'000'000;

// The number after `key` (or the first line's, for no key) in what a
// program prints. Read up to it, then the program is stopped: sndfile-info
// goes on for long after it, reading every sample for its peak.
uint64_t numberAfter(std::vector<std::string> args, const std::string& key) {
    int fds[2];
    if (::pipe(fds) != 0)
        return 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const bool started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    std::string text;
    uint64_t value = 0;
    char buf[512];
    for (ssize_t n; started && (n = ::read(fds[0], buf, sizeof buf)) > 0;) {
        text.append(buf, static_cast<size_t>(n));
        const size_t at = text.find(key);
        if (at != std::string::npos && text.find('\n', at) != std::string::npos) {
            value = std::strtoull(text.c_str() + at + key.size(), nullptr, 10);
            break;
        }
    }
    ::close(fds[0]);
    if (started) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    return value;
}

struct ReadersSay {
    uint64_t ffprobe = 0, sndfile = 0, sox = 0;
};

// sox reads an RF64 file's whole data chunk (a minute for 4 GiB) before it
// answers, so it is asked about short files only.
ReadersSay frameCounts(const fs::path& file, bool askSox = true) {
    ReadersSay say;
    say.ffprobe = numberAfter({"ffprobe", "-v", "error", "-show_entries", "stream=duration_ts",
                               "-of", "csv=p=0", file.string()},
                              "");
    // Line-buffered, so the length arrives before the peak scan.
    say.sndfile = numberAfter({"stdbuf", "-oL", "sndfile-info", file.string()}, "Frames      :");
    if (askSox)
        say.sox = numberAfter({"soxi", "-s", file.string()}, "");
    return say;
}

uint64_t bytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    uint64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:")
            return value;
    return 0;
}

// One second recorded by the writer, then grown (sparse) to `frames` with
// the header made true as the writer's refresh makes it.
class LongWav : public ::testing::Test {
protected:
    void SetUp() override {
        int error = kOk;
        auto enc = CodecFileEncoder::create(pcmWaveFormat(2, 16, 44100), path_.string(), error);
        ASSERT_TRUE(enc);
        const auto tone = audiotest::stereoTone(1000, 1);
        ASSERT_TRUE(enc->write(tone.data(), tone.size() / 2));
        enc->finish();
    }
    void growTo(uint64_t frames) {
        const int fd = ::open(path_.c_str(), O_RDWR);
        ASSERT_GE(fd, 0);
        std::vector<uint8_t> head(4096);
        head.resize(static_cast<size_t>(::pread(fd, head.data(), head.size(), 0)));
        const size_t data = dataStart(head);
        ASSERT_GT(data, 0u);
        const auto layout = findWavLayout(head.data(), data);
        ASSERT_TRUE(layout);
        const uint64_t bytes = data + frames * 4;
        ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(bytes)), 0);
        EXPECT_TRUE(writeWavSizes(fd, *layout, WavSizes{bytes, frames * 4, frames}));
        ::close(fd);
    }
    static size_t dataStart(const std::vector<uint8_t>& head) {
        for (size_t at = 12; at + 8 <= head.size(); at += 8 + le::get32(&head[at + 4]))
            if (std::memcmp(&head[at], "data", 4) == 0)
                return at + 8;
        return 0;
    }
    TempFolder dir_;
    fs::path path_ = dir_ / "day.wav";
};

TEST_F(LongWav, ShortFileKeepsAPlaceholderAndEveryReaderAgrees) {
    std::ifstream in(path_, std::ios::binary);
    std::vector<uint8_t> head(64);
    in.read(reinterpret_cast<char*>(head.data()), 64);
    EXPECT_EQ(std::memcmp(head.data(), "RIFF", 4), 0);
    EXPECT_EQ(le::get32(&head[4]), fs::file_size(path_) - 8);
    EXPECT_EQ(std::memcmp(&head[12], "JUNK", 4), 0);
    EXPECT_GE(le::get32(&head[16]), 28u);
    EXPECT_EQ(std::memcmp(&head[20 + le::get32(&head[16])], "fmt ", 4), 0);
    const ReadersSay say = frameCounts(path_);
    EXPECT_EQ(say.ffprobe, 44100u);
    EXPECT_EQ(say.sndfile, 44100u);
    EXPECT_EQ(say.sox, 44100u);
}

TEST_F(LongWav, PastFourGigabytesIsRf64ReadWholeByEveryReader) {
    growTo(kLongFrames);
    std::ifstream in(path_, std::ios::binary);
    char id[4];
    in.read(id, 4);
    EXPECT_EQ(std::memcmp(id, "RF64", 4), 0);
    const ReadersSay say = frameCounts(path_, false);
    EXPECT_EQ(say.ffprobe, kLongFrames);
    EXPECT_EQ(say.sndfile, kLongFrames);

    // The length comes from ds64; the sound itself is not read for it.
    const uint64_t before = bytesReadSoFar();
    int error = kOk;
    auto decoder = FileDecoder::open(path_.string(), FileDecoder::Container::Any, error);
    ASSERT_TRUE(decoder);
    EXPECT_LT(bytesReadSoFar() - before, 1u << 20);
    EXPECT_EQ(decoder->lengthFrames(), kLongFrames);
    EXPECT_EQ(decoder->fileSize(), fs::file_size(path_));
    // Playing from past 4 GiB of the file.
    std::vector<int16_t> out(2 * 1000, 1);
    ASSERT_TRUE(decoder->seek(kLongFrames - 44100));
    EXPECT_EQ(decoder->nextFrame(), kLongFrames - 44100);
    EXPECT_EQ(decoder->read(out.data(), 1000), 1000u);
    EXPECT_EQ(out[0], 0);
}

// What earlier versions wrote past 4 GiB: RIFF with both sizes clamped.
TEST_F(LongWav, ClampedFileOfAnEarlierVersionStillPlaysItsFirstFourGigabytes) {
    growTo(kLongFrames);
    const int fd = ::open(path_.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    std::vector<uint8_t> head(4096);
    ASSERT_GT(::pread(fd, head.data(), head.size(), 0), 0);
    uint8_t riff[8] = {'R', 'I', 'F', 'F', 0xFF, 0xFF, 0xFF, 0xFF};
    uint8_t junk[4] = {'J', 'U', 'N', 'K'};
    EXPECT_EQ(::pwrite(fd, riff, 8, 0), 8);
    EXPECT_EQ(::pwrite(fd, junk, 4, 12), 4);
    ::close(fd);

    int error = kOk;
    auto decoder = FileDecoder::open(path_.string(), FileDecoder::Container::Any, error);
    ASSERT_TRUE(decoder);
    EXPECT_GE(decoder->lengthFrames(), 0xFFFFFFFFu / 4);
    std::vector<int16_t> out(2 * 1000);
    ASSERT_TRUE(decoder->seek(1'000'000'000));
    EXPECT_EQ(decoder->read(out.data(), 1000), 1000u);
    // The start is still the recorded tone.
    ASSERT_TRUE(decoder->seek(0));
    EXPECT_EQ(decoder->read(out.data(), 1000), 1000u);
    EXPECT_NE(out[200], 0);
}

} // namespace
} // namespace audiolib::ffmpeg
