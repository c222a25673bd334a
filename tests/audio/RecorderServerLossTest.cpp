// The sound server dying in the middle of a recording, on a private
// PulseAudio the test may kill: the recording ends within a second with
// words for the user, the file keeps what was recorded, and once the server
// is back the same recorder records again.
#include "audio/TBassRecorder.h"
#include "tests/audio/DecodedAudio.h"
#include "tests/support/PrivateSoundServer.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(RecorderServerLoss, EndsWithinASecondKeepsTheFileAndRecordsOnceTheServerIsBack) {
    TempFolder dir;
    PrivateSoundServer server{dir};
    ASSERT_TRUE(server.start());
    audiolib::setCodecDialogHook([](void*, uint32_t, const char*) { return true; });
    TBassRecorder rec;
    rec.Init(nullptr);
    const auto record = [&](const std::string& name) {
        std::vector<std::string> inputs;
        rec.LoadDeviceName(inputs);
        const auto monitor = std::find(inputs.begin(), inputs.end(), "Monitor of RecSink");
        EXPECT_NE(monitor, inputs.end());
        rec.SetRecordDevice(static_cast<int32_t>(monitor - inputs.begin()), 10);
        rec.SetWaveParameter(2, 16, 44100);
        return rec.Start(rofWAVE, (dir / name).string());
    };

    // An idle null sink hands its monitor out late: something plays into it.
    const auto keepSinkBusy = [] {
        std::system("pacat --playback --latency-msec=20 --raw </dev/zero >/dev/null 2>&1 &");
        std::this_thread::sleep_for(300ms);
    };
    keepSinkBusy();
    ASSERT_EQ(record("first.wav"), 0);
    // The monitor of a new server starts delivering only after a second or so.
    std::this_thread::sleep_for(3s);
    server.stop();
    const auto killed = Clock::now();
    while (!rec.RecordingEndedByItself() && Clock::now() - killed < 2s)
        std::this_thread::sleep_for(10ms);
    EXPECT_LT(Clock::now() - killed, 1s);
    EXPECT_NE(rec.RecordingEndReason().find("sound server went away"), std::string::npos)
        << rec.RecordingEndReason();
    static_cast<void>(rec.Stop());
    const decoded::Audio first = decoded::decode((dir / "first.wav").string());
    ASSERT_TRUE(first.ok);
    EXPECT_GT(first.seconds(), 1.0);

    ASSERT_TRUE(server.start());
    keepSinkBusy();
    EXPECT_GT(rec.GetAudioDeviceCount(), 0);
    ASSERT_EQ(record("second.wav"), 0) << "no restart of the program needed";
    std::this_thread::sleep_for(3s);
    EXPECT_FALSE(rec.RecordingEndedByItself());
    static_cast<void>(rec.Stop());
    EXPECT_TRUE(decoded::decode((dir / "second.wav").string()).ok);
    rec.Uninit();
    audiolib::setCodecDialogHook(nullptr);
}

// The input was chosen by its number in the list of the server that died; the
// server back lists another source first. Recording must not fall to it.
TEST(RecorderServerLoss, RecordsTheChosenInputAfterTheServerCameBackInAnotherOrder) {
    TempFolder dir;
    PrivateSoundServer server{dir};
    ASSERT_TRUE(server.start());
    TBassRecorder rec;
    rec.Init(nullptr);
    std::vector<std::string> inputs;
    rec.LoadDeviceName(inputs);
    const auto monitor = std::find(inputs.begin(), inputs.end(), "Monitor of RecSink");
    ASSERT_NE(monitor, inputs.end());
    rec.SetRecordDevice(static_cast<int32_t>(monitor - inputs.begin()), 10);
    rec.SetWaveParameter(2, 16, 44100);

    server.stop();
    ASSERT_TRUE(server.start());
    ASSERT_EQ(std::system("pactl load-module module-null-sink sink_name=first >/dev/null && "
                          "pactl set-default-source first.monitor"),
              0);
    ASSERT_EQ(rec.Start(rofWAVE, (dir / "take.wav").string()), 0);
    const auto output = [](const char* command) {
        std::string text;
        if (FILE* p = popen(command, "r")) {
            char buffer[256];
            while (fgets(buffer, sizeof buffer, p))
                text += buffer;
            pclose(p);
        }
        return text;
    };
    const std::string recordedFrom = output("pactl list short source-outputs | awk '{print $2}'");
    static_cast<void>(rec.Stop());
    rec.Uninit();
    EXPECT_EQ(recordedFrom,
              output("pactl list short sources | awk '$2==\"rec.monitor\"{print $1}'"));
    EXPECT_FALSE(recordedFrom.empty());
}
