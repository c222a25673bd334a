// Process-wide state of the audio layer: init bookkeeping, handles, errors.
#include "audio/lib/AudioLib.h"
#include "audio/lib/Backend.h"
#include "audio/lib/Channel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

namespace audiolib {
namespace {

// Just enough of a sound system to watch connect / destroy.
class CountingBackend : public Backend {
public:
    CountingBackend(bool reachable, std::atomic<int>& alive)
        : reachable_(reachable), alive_(alive) {
        ++alive_;
    }
    ~CountingBackend() override { --alive_; }
    bool connect(std::string& reason) override {
        reason = "unreachable";
        return reachable_;
    }
    std::vector<std::string> inputNames() override { return {"Line", "Mic"}; }
    std::unique_ptr<CaptureStream> openCapture(int, StreamFormat, CaptureSink&) override {
        return nullptr;
    }
    std::unique_ptr<PlaybackStream> openPlayback(StreamFormat, PlaybackSource&) override {
        return nullptr;
    }

private:
    bool reachable_;
    std::atomic<int>& alive_;
};

class Dummy : public Channel {
public:
    int isActive() const override { return kActivePlaying; }
};

class ProcessState : public ::testing::Test {
protected:
    void TearDown() override {
        recordFree();
        free();
        // A backend that never connected is still installed and points at
        // this fixture's counter.
        installBackend(nullptr);
    }
    std::atomic<int> alive{0};
};

TEST_F(ProcessState, VersionCarriesTheInterfaceInItsHighHalf) {
    EXPECT_EQ(version() >> 16, kInterfaceVersion);
}

TEST_F(ProcessState, InitAndRecordInitShareOneConnection) {
    installBackend(std::make_unique<CountingBackend>(true, alive));
    ASSERT_TRUE(init(-1, 44100, 0, nullptr));
    EXPECT_FALSE(init(-1, 44100, 0, nullptr));
    EXPECT_EQ(errorCode(), kErrAlready);
    ASSERT_TRUE(recordInit(-1));
    EXPECT_EQ(errorCode(), kOk);
    EXPECT_EQ(alive.load(), 1);
    EXPECT_STREQ(recordGetInputName(0), "Line");
    EXPECT_STREQ(recordGetInputName(1), "Mic");
    EXPECT_EQ(recordGetInputName(2), nullptr);
    // Still needed by the recording side.
    EXPECT_TRUE(free());
    EXPECT_NE(activeBackend(), nullptr);
    EXPECT_TRUE(recordFree());
    EXPECT_EQ(activeBackend(), nullptr);
    EXPECT_EQ(alive.load(), 0);
    EXPECT_FALSE(recordFree());
    EXPECT_EQ(errorCode(), kErrInit);
}

TEST_F(ProcessState, UnreachableServerFailsWithDriverError) {
    installBackend(std::make_unique<CountingBackend>(false, alive));
    EXPECT_FALSE(recordInit(-1));
    EXPECT_EQ(errorCode(), kErrDriver);
    EXPECT_EQ(alive.load(), 0);
    EXPECT_EQ(recordGetInputName(0), nullptr);
    EXPECT_EQ(errorCode(), kErrInit);
    EXPECT_FALSE(recordSetInput(0, kInputOn, 1.0f));
}

TEST_F(ProcessState, BadDevicesAreRefused) {
    installBackend(std::make_unique<CountingBackend>(true, alive));
    EXPECT_FALSE(recordInit(5));
    EXPECT_EQ(errorCode(), kErrDevice);
    EXPECT_FALSE(init(7, 44100, 0, nullptr));
    EXPECT_EQ(errorCode(), kErrDevice);
}

TEST_F(ProcessState, InputSwitchesAndLevels) {
    installBackend(std::make_unique<CountingBackend>(true, alive));
    ASSERT_TRUE(recordInit(-1));
    EXPECT_FALSE(recordSetInput(2, kInputOn, -1.0f));
    EXPECT_EQ(errorCode(), kErrDevice);
    EXPECT_FALSE(recordSetInput(0, kInputOn | kInputOff, -1.0f));
    EXPECT_TRUE(recordSetInput(1, kInputOn, -1.0f));
    EXPECT_TRUE(recordSetInput(1, 0, 0.5f));
    EXPECT_TRUE(recordSetInput(1, 0, -1.0f));
    EXPECT_TRUE(recordSetInput(0, kInputOff, -1.0f));
}

TEST_F(ProcessState, ErrorCodesArePerThread) {
    EXPECT_FALSE(channelPlay(0, false));
    EXPECT_EQ(errorCode(), kErrHandle);
    int other = -5;
    std::thread([&] { other = errorCode(); }).join();
    EXPECT_EQ(other, kOk);
}

TEST_F(ProcessState, HandlesAreNeverZeroNorSharedWhileAlive) {
    std::set<Handle> seen;
    std::vector<Handle> handles;
    for (int i = 0; i < 100; ++i) {
        const Handle h = registerChannel(std::make_shared<Dummy>());
        EXPECT_NE(h, 0u);
        EXPECT_TRUE(seen.insert(h).second);
        handles.push_back(h);
    }
    EXPECT_EQ(channelIsActive(handles[7]), kActivePlaying);
    unregisterChannel(handles[7]);
    EXPECT_EQ(findChannel(handles[7]), nullptr);
    EXPECT_EQ(channelIsActive(handles[7]), kActiveStopped);
    EXPECT_EQ(errorCode(), kErrHandle);
    // Default operations of a channel that has no such notion.
    EXPECT_FALSE(channelSetPosition(handles[8], 0, kPosByte));
    EXPECT_EQ(errorCode(), kErrNotAvail);
    EXPECT_DOUBLE_EQ(channelBytes2Seconds(handles[8], 176400), 1.0);
    for (Handle h : handles)
        unregisterChannel(h);
}

TEST_F(ProcessState, RegistryIsSafeFromManyThreads) {
    std::vector<std::thread> threads;
    std::vector<std::vector<Handle>> made(4);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&made, t] {
            for (int i = 0; i < 500; ++i)
                made[static_cast<size_t>(t)].push_back(registerChannel(std::make_shared<Dummy>()));
        });
    for (auto& th : threads)
        th.join();
    std::set<Handle> all;
    for (auto& list : made)
        for (Handle h : list) {
            EXPECT_TRUE(all.insert(h).second);
            unregisterChannel(h);
        }
    EXPECT_EQ(all.size(), 2000u);
}

TEST_F(ProcessState, FreeReleasesPlaybackChannels) {
    installBackend(std::make_unique<CountingBackend>(true, alive));
    ASSERT_TRUE(init(-1, 44100, 0, nullptr));
    const Handle h = registerChannel(std::make_shared<Dummy>());
    ASSERT_TRUE(free());
    EXPECT_EQ(findChannel(h), nullptr);
    EXPECT_EQ(alive.load(), 0);
}

} // namespace
} // namespace audiolib
