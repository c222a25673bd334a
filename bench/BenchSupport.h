#pragma once
// Small helpers shared by the audio benchmarks.

#include <chrono>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/time.h>

namespace bench {

inline double seconds(const timeval& t) {
    return t.tv_sec + t.tv_usec / 1e6;
}

// CPU seconds (user + system) of this process, or of its reaped children.
inline double cpuSeconds(int who) {
    rusage u{};
    getrusage(who, &u);
    return seconds(u.ru_utime) + seconds(u.ru_stime);
}

inline std::string programFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/";
}

inline double wallSeconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

} // namespace bench
