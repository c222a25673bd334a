#pragma once
// Programs the tests start themselves, and the child processes the code
// under test started (encoders), found by their command name.

#include "tests/support/WaitFor.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

// Starts args[0], looked up on the PATH; 0 when it cannot be started.
inline pid_t SpawnProcess(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return 0;
    return pid;
}

// Runs a shell command to its end: its standard output, without the blanks
// and line ends it ends with.
inline std::string ShellOutput(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buf[4096];
        for (size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;)
            out.append(buf, n);
        pclose(pipe);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
        out.pop_back();
    return out;
}

// Runs args[0] to its end: its exit code, or -1 when it did not exit.
inline int RunProcess(std::vector<std::string> args) {
    const pid_t pid = SpawnProcess(std::move(args));
    if (pid == 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A child that ended but was not waited for yet. Counting it tells whether
// the code under test reaps what it started; skipping it asks only whether
// anything still runs.
enum class Zombies { Counted, Skipped };

// The children of parent (this process unless told) whose command name is
// comm.
inline std::vector<pid_t> ChildrenNamed(const std::string& comm, Zombies zombies = Zombies::Counted,
                                        pid_t parent = getpid()) {
    std::vector<pid_t> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        // The command name may hold spaces and parentheses: it ends at the
        // last ')'.
        const size_t open = line.find('('), close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos)
            continue;
        char state = 0;
        long ppid = 0;
        if (std::sscanf(line.c_str() + close + 1, " %c %ld", &state, &ppid) != 2)
            continue;
        if (ppid == parent && line.substr(open + 1, close - open - 1) == comm &&
            (zombies == Zombies::Counted || state != 'Z'))
            found.push_back(static_cast<pid_t>(std::stol(name)));
    }
    return found;
}

// True once the process has ended: gone, or a zombie nobody waited for yet.
inline bool ProcessEnded(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return true;
    const size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
}

// Waits until none of this process's children named comm runs any more;
// whether that came within the time.
inline bool WaitUntilNoneRunning(const std::string& comm, std::chrono::milliseconds timeout) {
    return WaitUntil([&] { return ChildrenNamed(comm, Zombies::Skipped).empty(); }, timeout);
}
