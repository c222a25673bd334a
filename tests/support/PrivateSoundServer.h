#pragma once
// A PulseAudio daemon of the test's own with a null sink "rec", reached
// through PULSE_SERVER, so a test can take the server away and bring it back
// without touching the shared one.

#include "tests/support/TempFolder.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

class PrivateSoundServer {
public:
    explicit PrivateSoundServer(const TempFolder& dir) : dir_(dir) {
        std::filesystem::create_directories(dir_ / "run");
        setenv("PULSE_SERVER", ("unix:" + (dir_ / "sock").string()).c_str(), 1);
    }
    ~PrivateSoundServer() {
        stop();
        unsetenv("PULSE_SERVER");
    }

    bool start() {
        std::vector<std::string> args = {
            "pulseaudio",
            "-n",
            "--daemonize=no",
            "--exit-idle-time=-1",
            "--disallow-exit",
            "--load=module-native-protocol-unix auth-anonymous=1 socket=" +
                (dir_ / "sock").string(),
            "--load=module-null-sink sink_name=rec sink_properties=device.description=RecSink"};
        std::vector<std::string> env = {"XDG_RUNTIME_DIR=" + (dir_ / "run").string(),
                                        "HOME=" + dir_.path().string(), "PATH=/usr/bin:/bin"};
        std::vector<char*> argv, envp;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int r =
            posix_spawnp(&pid_, "pulseaudio", &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (r != 0)
            return false;
        for (const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
             std::chrono::steady_clock::now() < until;) {
            if (std::system("pactl info >/dev/null 2>&1") == 0)
                return std::system("pactl set-default-sink rec >/dev/null 2>&1") == 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    void stop() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = 0;
        }
    }

private:
    const TempFolder& dir_;
    pid_t pid_ = 0;
};
