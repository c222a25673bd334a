#pragma once
// What the encoder tests need to judge a file: a test tone, a decoder that
// knows nothing of our encoders, the loudest frequency, the WAV header.

#include "audio/lib/WaveFormat.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace audiotest {

// Interleaved 44100 Hz stereo 16-bit: a sine at `hz`, at half of full scale.
std::vector<int16_t> stereoTone(double hz, double seconds);

struct Decoded {
    std::string codec; // FFmpeg's decoder name
    int rate = 0;
    int channels = 0;
    std::vector<float> mono; // every channel averaged
    std::string title;       // the container's "title" tag

    double seconds() const { return rate ? static_cast<double>(mono.size()) / rate : 0; }
};
// Empty when the file cannot be decoded.
std::optional<Decoded> decodeFile(const std::filesystem::path& file);

// The strongest frequency of the middle of the samples, in Hz.
double loudestFrequency(const std::vector<float>& samples, int rate);
// The strongest frequency of the 65536 samples from `offset`, in Hz; 0 when
// there are fewer.
double loudestFrequency(const std::vector<int16_t>& samples, size_t offset, int rate = 44100);

struct WavHeader {
    audiolib::WaveFormat format;
    uint32_t riffSize = 0; // as the header says
    uint32_t dataSize = 0;
    uint64_t fileSize = 0;
    uint64_t dataOffset = 0;
};
// Reads the RIFF chunks; empty when they are not a WAV file's.
std::optional<WavHeader> readWavHeader(const std::filesystem::path& file);

} // namespace audiotest
