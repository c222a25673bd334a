#pragma once
// Sound files for the playback tests, made by the command-line encoders into
// a temp folder. Every file holds the same signal: silence for the first
// second, then a 1 kHz sine at 0.9 of full scale, three seconds in all; the
// onset marks where in the file a sample comes from.

#include "tests/support/TempFolder.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace soundfiles {

constexpr uint32_t kRate = 44100;
constexpr double kSeconds = 3.0;
constexpr double kOnsetSeconds = 1.0;
constexpr double kToneHz = 1000.0;

inline bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

inline std::string quoted(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

// A PCM WAV of the signal with `channels` channels.
inline std::filesystem::path makeWav(const TempFolder& dir, const std::string& name,
                                     int channels = 2) {
    std::string exprs = "if(gte(t\\,1)\\,0.9*sin(2*PI*1000*t)\\,0)";
    for (int c = 1; c < channels; ++c) {
        exprs += "|if(gte(t\\,1)\\,0.9*sin(2*PI*1000*t)\\,0)";
    }
    const std::filesystem::path out = dir / name;
    run("ffmpeg -v error -y -f lavfi -i \"aevalsrc=exprs=" + exprs +
        ":s=44100:d=3\" -c:a pcm_s16le " + quoted(out));
    return out;
}

enum class Kind { Wav, ImaAdpcm, Mp3, Ogg, Wma };

inline const char* nameOf(Kind kind) {
    switch (kind) {
    case Kind::Wav:
        return "wav";
    case Kind::ImaAdpcm:
        return "adpcm";
    case Kind::Mp3:
        return "mp3";
    case Kind::Ogg:
        return "ogg";
    case Kind::Wma:
        return "wma";
    }
    return "?";
}

// The signal in the given format; an empty path when the encoder failed.
inline std::filesystem::path make(const TempFolder& dir, Kind kind) {
    const std::filesystem::path wav = makeWav(dir, "source.wav");
    std::filesystem::path out;
    bool ok = false;
    switch (kind) {
    case Kind::Wav:
        return wav;
    case Kind::ImaAdpcm:
        out = dir / "adpcm.wav";
        ok = run("ffmpeg -v error -y -i " + quoted(wav) + " -c:a adpcm_ima_wav " + quoted(out));
        break;
    case Kind::Mp3:
        out = dir / "take.mp3";
        ok = run("lame --quiet -b 192 " + quoted(wav) + " " + quoted(out));
        break;
    case Kind::Ogg:
        out = dir / "take.ogg";
        ok = run("oggenc -Q -q 6 " + quoted(wav) + " -o " + quoted(out));
        break;
    case Kind::Wma:
        out = dir / "take.WMA";
        ok = run("ffmpeg -v error -y -i " + quoted(wav) + " -c:a wmav2 -b:a 160k " + quoted(out));
        break;
    }
    return ok ? out : std::filesystem::path{};
}

// Frames a decoder may legitimately differ from the source by: none for
// PCM, Ogg and MP3 (gapless), one ADPCM block, one WMA frame.
inline uint64_t lengthSlack(Kind kind) {
    switch (kind) {
    case Kind::ImaAdpcm:
        return 1024;
    case Kind::Wma:
        return 2048;
    default:
        return 0;
    }
}

// Where the tone starts in the decoded sound. The WMA decoder drops its
// first frame (the encoder's priming), so everything comes 2048 frames early.
inline double onsetSeconds(Kind kind) {
    return kind == Kind::Wma ? kOnsetSeconds - 2048.0 / kRate : kOnsetSeconds;
}

// Index of the first frame louder than a third of full scale in a run of
// interleaved samples, or -1.
inline long onsetFrame(const std::vector<int16_t>& samples, int channels) {
    for (size_t i = 0; i < samples.size(); ++i) {
        if (samples[i] > 10000 || samples[i] < -10000) {
            return static_cast<long>(i / static_cast<size_t>(channels));
        }
    }
    return -1;
}

} // namespace soundfiles
