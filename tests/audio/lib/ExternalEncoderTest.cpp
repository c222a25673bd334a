// Encoder programs fed through their standard input.
#include "audio/lib/ExternalEncoder.h"
#include "RecordingFixture.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace audiolib::testing {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool noChildLeft() {
    return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

class EncoderProgram : public VirtualRecording {
protected:
    void SetUp() override {
        VirtualRecording::SetUp();
        // A program folder with blanks in its name, like "Program Files".
        dir = fs::temp_directory_path() / ("tova enc " + std::to_string(getpid()));
        fs::create_directories(dir);
        script("keep", "echo $$ > \"$2\"\ncat > \"$1\"\nsleep 0.2\necho done > \"$1.done\"\n");
        script("quit", "head -c 100 > /dev/null\n");
        script("deaf", "exec sleep 30\n");
    }
    void TearDown() override {
        VirtualRecording::TearDown();
        fs::remove_all(dir);
    }
    void script(const std::string& name, const std::string& body) {
        std::ofstream(dir / name) << "#!/bin/sh\n" << body;
        fs::permissions(dir / name, fs::perms::owner_all);
    }
    // The line as the recording engine writes it: folder unquoted.
    std::string keepLine() const {
        return (dir / "keep").string() + "  \"" + (dir / "out file.wav").string() + "\" \"" +
               (dir / "pid").string() + "\" ";
    }
    pid_t childPid() const {
        pid_t pid = 0;
        EXPECT_TRUE(eventually([&] { return (std::ifstream(dir / "pid") >> pid).good(); }));
        return pid;
    }

    fs::path dir;
};

TEST_F(EncoderProgram, GetsAnEndlessWavHeaderThenThePcm) {
    const Handle h = recordStart(44100, 2, kRecordPause, recordToLog, &callback);
    ASSERT_EQ(encodeStart(h, keepLine().c_str(), kEncodeAutoFree | kUnicode, nullptr, nullptr), h);
    EXPECT_EQ(encodeIsActive(h), kActivePaused);
    channelPlay(h, false);
    device->pushBlocks(20);
    ASSERT_TRUE(channelStop(h));
    // Stop returned only after the program finished its file.
    EXPECT_TRUE(fs::exists(dir / "out file.wav.done"));
    const std::string file = readAll(dir / "out file.wav");
    ASSERT_EQ(file.size(), 44 + callback.samples.size() * 2);
    EXPECT_EQ(file.substr(0, 4), "RIFF");
    EXPECT_EQ(file.substr(4, 4), std::string(4, '\xff'));
    EXPECT_EQ(file.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(file.substr(20, 4), std::string("\x01\x00\x02\x00", 4));
    EXPECT_EQ(file.substr(24, 4), std::string("\x44\xac\x00\x00", 4)); // 44100
    EXPECT_EQ(file.substr(32, 4), std::string("\x04\x00\x10\x00", 4));
    EXPECT_EQ(file.substr(36, 8), std::string("data\xff\xff\xff\xff", 8));
    EXPECT_EQ(std::memcmp(file.data() + 44, callback.samples.data(), callback.samples.size() * 2),
              0);
    EXPECT_TRUE(noChildLeft());
}

TEST_F(EncoderProgram, KilledProgramEndsTheRecordingWithinASecond) {
    const Handle h = startWithEncoder(0);
    ASSERT_EQ(encodeStart(h, keepLine().c_str(), 0, nullptr, nullptr), h);
    channelPlay(h, false);
    device->pushBlocks(5);
    ASSERT_EQ(kill(childPid(), SIGKILL), 0);
    const auto killed = std::chrono::steady_clock::now();
    ASSERT_TRUE(eventually([&] { return channelIsActive(h) == kActiveStopped; }));
    EXPECT_LT(std::chrono::steady_clock::now() - killed, std::chrono::seconds(1));
    EXPECT_EQ(channelEndCause(h), EndCause::EncoderFailed);
    EXPECT_EQ(encodeIsActive(h), 0);
    EXPECT_TRUE(channelStop(h));
    EXPECT_TRUE(noChildLeft());
}

TEST_F(EncoderProgram, ProgramThatExitsEarlyIsNoticed) {
    const Handle h = recordStart(44100, 2, 0, recordToLog, &callback);
    const std::string line = (dir / "quit").string() + " -";
    ASSERT_EQ(encodeStart(h, line.c_str(), 0, nullptr, nullptr), h);
    ASSERT_TRUE(eventually([&] {
        device->pushBlocks(1);
        return channelIsActive(h) == kActiveStopped;
    }));
    EXPECT_EQ(channelEndCause(h), EndCause::EncoderFailed);
    // The callback of the recording engine asks this and stops capture.
    EXPECT_EQ(encodeIsActive(h), 0);
    EXPECT_TRUE(channelStop(h));
}

TEST_F(EncoderProgram, ProgramIgnoringItsInputCannotHangTheStop) {
    ExternalEncoder::setFinishGrace(std::chrono::milliseconds(300));
    const Handle h = recordStart(44100, 2, 0, nullptr, nullptr);
    const std::string line = (dir / "deaf").string();
    ASSERT_EQ(encodeStart(h, line.c_str(), 0, nullptr, nullptr), h);
    // More than the pipe holds: the writer is left waiting for a reader.
    device->pushBlocks(60);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(channelStop(h));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(noChildLeft());
    ExternalEncoder::setFinishGrace(std::chrono::seconds(10));
}

TEST_F(EncoderProgram, MissingProgramStartsNothing) {
    const Handle h = recordStart(44100, 2, kRecordPause, nullptr, nullptr);
    const std::string line =
        (dir / "lame").string() + "  -b 128 - \"" + (dir / "x.mp3").string() + "\"";
    EXPECT_EQ(encodeStart(h, line.c_str(), 0, nullptr, nullptr), 0u);
    EXPECT_EQ(errorCode(), kErrFileOpen);
    EXPECT_TRUE(noChildLeft());
    EXPECT_FALSE(fs::exists(dir / "x.mp3"));
    EXPECT_EQ(encodeIsActive(h), 0);
    EXPECT_EQ(encodeStart(h, nullptr, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(encodeStart(9999, keepLine().c_str(), 0, nullptr, nullptr), 0u);
    EXPECT_EQ(errorCode(), kErrHandle);
    EXPECT_TRUE(noChildLeft());
}

} // namespace
} // namespace audiolib::testing
