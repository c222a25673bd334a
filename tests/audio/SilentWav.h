#pragma once
// A 44.1 kHz 16-bit stereo WAV of silence of any length that costs no disk
// space: the header is written and the data is a hole in a sparse file.

#include <cstdint>
#include <filesystem>
#include <fstream>

namespace silentwav {

inline void putLe(std::ofstream& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// The fmt chunk of 44.1 kHz 16-bit stereo PCM.
inline void putFormat(std::ofstream& out) {
    out.write("fmt ", 4);
    putLe(out, 16, 4);
    putLe(out, 1, 2);
    putLe(out, 2, 2);
    putLe(out, 44100, 4);
    putLe(out, 44100 * 4, 4);
    putLe(out, 4, 2);
    putLe(out, 16, 2);
}

inline std::filesystem::path make(const std::filesystem::path& path, uint64_t frames) {
    const uint64_t data = frames * 4;
    {
        std::ofstream out(path, std::ios::binary);
        out.write("RIFF", 4);
        putLe(out, static_cast<uint32_t>(36 + data), 4);
        out.write("WAVE", 4);
        putFormat(out);
        out.write("data", 4);
        putLe(out, static_cast<uint32_t>(data), 4);
    }
    std::filesystem::resize_file(path, 44 + data);
    return path;
}

} // namespace silentwav

namespace silentwav {

// The same past 4 GiB, as RF64: the sizes in a ds64 chunk.
inline std::filesystem::path makeRf64(const std::filesystem::path& path, uint64_t frames) {
    const uint64_t data = frames * 4;
    const auto put64 = [](std::ofstream& out, uint64_t v) {
        putLe(out, static_cast<uint32_t>(v), 4);
        putLe(out, static_cast<uint32_t>(v >> 32), 4);
    };
    {
        std::ofstream out(path, std::ios::binary);
        out.write("RF64", 4);
        putLe(out, 0xFFFFFFFF, 4);
        out.write("WAVEds64", 8);
        putLe(out, 28, 4);
        put64(out, 72 + data); // the file less 8
        put64(out, data);
        put64(out, frames);
        putLe(out, 0, 4);
        putFormat(out);
        out.write("data", 4);
        putLe(out, 0xFFFFFFFF, 4);
    }
    std::filesystem::resize_file(path, 80 + data);
    return path;
}

} // namespace silentwav
