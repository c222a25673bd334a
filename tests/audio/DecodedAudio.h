#pragma once
// Decodes a recorded file with the ffmpeg command-line tool into 44100 Hz
// mono samples and measures it: length, level and the tone's frequency.

#include "tests/audio/lib/support/AudioCheck.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace decoded {

struct Audio {
    std::vector<int16_t> samples; // 44100 Hz mono
    bool ok = false;
    double seconds() const { return static_cast<double>(samples.size()) / 44100.0; }
};

// The path in single quotes for the shell, whatever it holds.
inline std::string shellQuoted(const std::string& path) {
    std::string quoted = "'";
    for (char c : path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline Audio decode(const std::string& path) {
    Audio a;
    std::string cmd = "ffmpeg -nostdin -v error -i " + shellQuoted("file:" + path) +
                      " -f s16le -ac 1 -ar 44100 - 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (p == nullptr)
        return a;
    int16_t buf[4096];
    size_t n;
    while ((n = fread(buf, sizeof(int16_t), 4096, p)) > 0)
        a.samples.insert(a.samples.end(), buf, buf + n);
    a.ok = pclose(p) == 0 && !a.samples.empty();
    return a;
}

// Root mean square of the middle half, 0..32768.
inline double rms(const Audio& a) {
    size_t from = a.samples.size() / 4, to = a.samples.size() * 3 / 4;
    if (to <= from)
        return 0;
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += static_cast<double>(a.samples[i]) * a.samples[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

// The tone's frequency over the middle, by FFT: counting zero crossings
// misreads a lossy take whose noise crosses zero beside the tone.
inline double toneHz(const Audio& a) {
    return audiotest::loudestFrequency(std::vector<float>(a.samples.begin(), a.samples.end()),
                                       44100);
}

} // namespace decoded
