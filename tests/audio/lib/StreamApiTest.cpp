// Playback streams behind handles: the stream* entry points and the channel*
// functions on a stream, on the virtual backend stepped by the test.
#include "audio/lib/AudioLib.h"
#include "audio/lib/Channel.h"
#include "audio/lib/virtual/VirtualBackend.h"
#include "tests/audio/lib/SoundFiles.h"
#include "tests/audio/lib/support/PullPlayback.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>

namespace audiolib {
namespace {

using soundfiles::Kind;
using soundfiles::kRate;

class StreamApi : public ::testing::Test {
protected:
    void SetUp() override {
        sink = installManualBackend();
        ASSERT_TRUE(init(-1, 44100, 0, nullptr));
    }
    void TearDown() override { free(); }

    uint64_t hear(uint64_t frames) { return hearPlayback(*sink, frames); }

    TempFolder dir;
    VirtualBackend* sink = nullptr;
};

TEST_F(StreamApi, AFileBecomesAHandleWithItsLengthSizeAndPosition) {
    const auto wav = soundfiles::make(dir, Kind::Wav);
    const Handle h = streamCreateFile(false, wav.c_str(), 0, 0, kUnicode);
    ASSERT_NE(h, 0U);
    EXPECT_EQ(errorCode(), kOk);
    EXPECT_EQ(channelGetLength(h, kPosByte), 529200U);
    EXPECT_DOUBLE_EQ(channelBytes2Seconds(h, channelGetLength(h, kPosByte)), 3.0);
    EXPECT_EQ(streamGetFilePosition(h, kFilePosEnd), std::filesystem::file_size(wav));
    EXPECT_EQ(channelIsActive(h), kActiveStopped);

    ASSERT_TRUE(channelPlay(h, true));
    EXPECT_EQ(channelIsActive(h), kActivePlaying);
    ASSERT_EQ(hear(kRate), kRate);
    EXPECT_EQ(channelGetPosition(h, kPosByte), kRate * 4U);
    ASSERT_TRUE(channelPause(h));
    EXPECT_EQ(channelIsActive(h), kActivePaused);
    ASSERT_TRUE(channelPlay(h, false));
    ASSERT_TRUE(channelSetPosition(h, kRate * 6, kPosByte));
    EXPECT_EQ(channelGetPosition(h, kPosByte), kRate * 6U);
    EXPECT_FALSE(channelSetPosition(h, 529200, kPosByte));
    EXPECT_EQ(errorCode(), kErrPosition);

    std::array<float, 513> fft{};
    fft[512] = -7.0f;
    ASSERT_EQ(hear(4096), 4096U);
    EXPECT_EQ(channelGetData(h, fft.data(), kDataFft1024), 512U * sizeof(float));
    EXPECT_EQ(std::max_element(fft.begin(), fft.begin() + 512) - fft.begin(), 23);
    // The last element belongs to the caller.
    EXPECT_EQ(fft[512], -7.0f);
    EXPECT_EQ(channelGetData(h, fft.data(), 0x80000003), ~uint32_t{0});
    EXPECT_EQ(errorCode(), kErrNotAvail);

    ASSERT_EQ(hear(10 * kRate), kRate * 3 / 2 - 4096);
    EXPECT_EQ(channelIsActive(h), kActiveStopped);
    EXPECT_EQ(channelGetPosition(h, kPosByte), 529200U);

    ASSERT_TRUE(channelStop(h));
    ASSERT_TRUE(streamFree(h));
    EXPECT_EQ(channelIsActive(h), kActiveStopped);
    EXPECT_EQ(errorCode(), kErrHandle);
    EXPECT_FALSE(streamFree(h));
    EXPECT_EQ(errorCode(), kErrHandle);
}

TEST_F(StreamApi, TheWmaEntryOpensWmaAndRefusesAnythingElse) {
    const auto mp3 = soundfiles::make(dir, Kind::Mp3);
    const auto wma = soundfiles::make(dir, Kind::Wma);
    const size_t before = channelHandles().size();
    EXPECT_EQ(wmaStreamCreateFile(false, mp3.c_str(), 0, 0, kUnicode), 0U);
    EXPECT_EQ(errorCode(), kErrDecode);
    EXPECT_EQ(channelHandles().size(), before);

    const Handle w = wmaStreamCreateFile(false, wma.c_str(), 0, 0, kUnicode);
    ASSERT_NE(w, 0U);
    EXPECT_NEAR(channelBytes2Seconds(w, channelGetLength(w, kPosByte)), 3.0, 0.05);
    // The general entry reads WMA as well.
    const Handle any = streamCreateFile(false, wma.c_str(), 0, 0, kUnicode);
    ASSERT_NE(any, 0U);
    EXPECT_NE(any, w);
    EXPECT_EQ(channelGetLength(any, kPosByte), channelGetLength(w, kPosByte));
}

TEST_F(StreamApi, FilesThatCannotBePlayedLeaveNoHandle) {
    const size_t before = channelHandles().size();
    EXPECT_EQ(streamCreateFile(false, (dir / "missing.mp3").c_str(), 0, 0, kUnicode), 0U);
    EXPECT_EQ(errorCode(), kErrFileOpen);
    TempFolder::write(dir / "broken.mp3", std::string(5000, 'x'));
    EXPECT_EQ(streamCreateFile(false, (dir / "broken.mp3").c_str(), 0, 0, kUnicode), 0U);
    EXPECT_EQ(errorCode(), kErrDecode);
    EXPECT_EQ(streamCreateFile(false, nullptr, 0, 0, kUnicode), 0U);
    EXPECT_EQ(errorCode(), kErrFileOpen);
    EXPECT_EQ(channelHandles().size(), before);
    // A stream is not a recording, and a recording handle is not a stream.
    EXPECT_FALSE(streamFree(0));
    EXPECT_EQ(streamGetFilePosition(12345, kFilePosEnd), ~uint64_t{0});
    EXPECT_EQ(errorCode(), kErrHandle);
}

TEST_F(StreamApi, FreeReleasesEveryOpenStream) {
    const auto ogg = soundfiles::make(dir, Kind::Ogg);
    const Handle a = streamCreateFile(false, ogg.c_str(), 0, 0, kUnicode);
    const Handle b = streamCreateFile(false, ogg.c_str(), 0, 0, kUnicode);
    ASSERT_NE(a, 0U);
    ASSERT_NE(b, 0U);
    ASSERT_TRUE(channelPlay(a, true));
    ASSERT_GT(hear(1000), 0U);
    ASSERT_TRUE(free());
    EXPECT_FALSE(channelPlay(a, true));
    EXPECT_EQ(errorCode(), kErrHandle);
    EXPECT_FALSE(streamFree(b));
    // Without an output there is nothing to play on.
    EXPECT_EQ(streamCreateFile(false, ogg.c_str(), 0, 0, kUnicode), 0U);
    EXPECT_EQ(errorCode(), kErrInit);
}

} // namespace
} // namespace audiolib
