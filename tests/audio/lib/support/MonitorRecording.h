#pragma once
// parec on the null sink's monitor while a test plays into the sink, and a
// measure of how long the loud tone it heard lasted.

#include "tests/support/TempFolder.h"
#include "tests/support/WaitFor.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace audiolib {

// parec on the sink's monitor, raw 44100 Hz stereo into a file, for as long
// as the object lives.
class MonitorRecording {
public:
    explicit MonitorRecording(const std::filesystem::path& file) : file_(file) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        std::string args[] = {
            "parec", "--device=rec.monitor", "--format=s16le", "--rate=44100", "--channels=2",
            "--raw", "--latency-msec=20"};
        char* argv[8] = {};
        for (size_t i = 0; i < 7; ++i) {
            argv[i] = args[i].data();
        }
        if (posix_spawnp(&pid_, "parec", &actions, nullptr, argv, environ) != 0) {
            pid_ = 0;
        }
        posix_spawn_file_actions_destroy(&actions);
        // What plays before parec streams is not heard, and the sink takes a
        // moment to settle on its short latency: wait until it has delivered
        // a quarter of a second.
        if (pid_ > 0)
            WaitUntil([&] { return bytesRecorded() >= 44100 * 4 / 4; }, std::chrono::seconds(5));
    }
    ~MonitorRecording() { stop(); }

    bool running() const { return pid_ > 0; }

    // Waits until the monitor has heard a loud sound end: what plays into the
    // sink comes out of its monitor a little later. True when that came.
    bool waitUntilLoudEnded(std::chrono::milliseconds timeout) const {
        return WaitUntil(
            [&] {
                const std::vector<int16_t> heard = mono(TempFolder::read(file_));
                const auto lastLoud = std::find_if(heard.rbegin(), heard.rend(), isLoud);
                // A tenth of a second of quiet after the last loud frame.
                return lastLoud != heard.rend() && lastLoud - heard.rbegin() >= 4410;
            },
            timeout, std::chrono::milliseconds(20));
    }

    // Stops parec and returns the mono mix of what it recorded.
    std::vector<int16_t> stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
            pid_ = 0;
        }
        return mono(TempFolder::read(file_));
    }

    // Louder than a third of full scale.
    static bool isLoud(int16_t s) { return s > 10000 || s < -10000; }

private:
    std::uintmax_t bytesRecorded() const {
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(file_, ec);
        return ec ? 0 : size;
    }
    static std::vector<int16_t> mono(const std::string& raw) {
        std::vector<int16_t> mixed(raw.size() / 4);
        for (size_t i = 0; i < mixed.size(); ++i) {
            int16_t l = 0;
            int16_t r = 0;
            std::memcpy(&l, raw.data() + 4 * i, 2);
            std::memcpy(&r, raw.data() + 4 * i + 2, 2);
            mixed[i] = static_cast<int16_t>((l + r) / 2);
        }
        return mixed;
    }

    std::filesystem::path file_;
    pid_t pid_ = 0;
};

// Seconds of the recording louder than a third of full scale.
inline double loudSeconds(const std::vector<int16_t>& mono) {
    const auto loud = std::count_if(mono.begin(), mono.end(), MonitorRecording::isLoud);
    // A sine spends 78 % of its time above a third of its 0.9 peak.
    return static_cast<double>(loud) / 0.78 / 44100.0;
}

} // namespace audiolib
