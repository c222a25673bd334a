#pragma once
// Decoding an encoded file with the command-line tools and finding its
// loudest frequency, to check what a real recording holds.

#include <complex>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace audiolib::testing {

// Runs a command and returns its standard output.
inline std::string runOutput(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        out.append(buf, n);
    pclose(pipe);
    return out;
}

// Seconds of audio that ffmpeg decodes from the file.
inline double decodedSeconds(const std::string& file) {
    const std::string out =
        runOutput("ffmpeg -v error -i '" + file + "' -f s16le -ac 1 -ar 44100 - | wc -c");
    return std::stod(out.empty() ? "0" : out) / 2.0 / 44100.0;
}

// The file's samples, mono at 44100 Hz.
inline std::vector<int16_t> decodeMono(const std::string& file) {
    const std::string raw =
        runOutput("ffmpeg -v error -i '" + file + "' -f s16le -ac 1 -ar 44100 -");
    std::vector<int16_t> samples(raw.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(static_cast<uint8_t>(raw[2 * i]) |
                                          (static_cast<uint8_t>(raw[2 * i + 1]) << 8));
    return samples;
}

// The loudest frequency of 65536 samples from `offset`, Hann-windowed,
// refined between bins by the parabola through the peak's neighbours.
inline double loudestFrequency(const std::vector<int16_t>& samples, size_t offset) {
    constexpr size_t n = 65536;
    if (samples.size() < offset + n)
        return 0.0;
    std::vector<std::complex<double>> a(n);
    for (size_t i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * M_PI * static_cast<double>(i) / (n - 1));
        a[i] = w * samples[offset + i];
    }
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> step = std::polar(1.0, -2.0 * M_PI / static_cast<double>(len));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> w = 1.0;
            for (size_t k = 0; k < len / 2; ++k, w *= step) {
                const auto u = a[i + k];
                const auto v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
    size_t peak = 1;
    for (size_t k = 1; k < n / 2 - 1; ++k)
        if (std::abs(a[k]) > std::abs(a[peak]))
            peak = k;
    const double l = std::abs(a[peak - 1]), c = std::abs(a[peak]), r = std::abs(a[peak + 1]);
    const double shift = 0.5 * (l - r) / (l - 2 * c + r);
    return (static_cast<double>(peak) + shift) * 44100.0 / n;
}

} // namespace audiolib::testing
