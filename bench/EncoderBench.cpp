// How fast the FFmpeg encoders run, and what a WMA write costs the capture
// thread. Usage: encoder_bench [seconds of sound, default 60] [folder]
#include "audio/lib/AudioLib.h"
#include "audio/lib/WaveFormat.h"
#include "audio/lib/ffmpeg/CodecFileEncoder.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;
using namespace audiolib;

namespace {

constexpr size_t kBlockFrames = 882; // 20 ms, as the capture delivers

std::vector<int16_t> tone(size_t frames) {
    std::vector<int16_t> out(frames * 2);
    for (size_t i = 0; i < frames; ++i)
        out[2 * i] = out[2 * i + 1] = static_cast<int16_t>(
            16384 * std::sin(2 * std::numbers::pi * 1000 * static_cast<double>(i) / 44100));
    return out;
}

double since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

void benchWav(const char* name, WaveFormat format, const std::vector<int16_t>& pcm, double seconds,
              const std::filesystem::path& dir) {
    int error = 0;
    const auto path = dir / "bench.wav";
    const auto start = Clock::now();
    auto enc = ffmpeg::CodecFileEncoder::create(format, path.string(), error);
    if (!enc) {
        std::printf("%-22s failed to open (%d)\n", name, error);
        return;
    }
    for (size_t at = 0; at < pcm.size() / 2; at += kBlockFrames)
        enc->write(pcm.data() + 2 * at, std::min(kBlockFrames, pcm.size() / 2 - at));
    enc->finish();
    const double t = since(start);
    std::printf("%-22s %7.3f s  %6.0fx real time  %8ju bytes\n", name, t, seconds / t,
                static_cast<uintmax_t>(std::filesystem::file_size(path)));
}

void benchWma(uint32_t rate, uint32_t channels, uint32_t bitrate, const std::vector<int16_t>& pcm,
              double seconds, const std::filesystem::path& dir) {
    const auto path = dir / "bench.wma";
    const auto start = Clock::now();
    const Handle h = wmaEncodeOpenFile(rate, channels, 0, bitrate, path.c_str());
    if (!h) {
        std::printf("wma %u/%u failed to open (%d)\n", rate, channels, errorCode());
        return;
    }
    wmaEncodeSetTag(h, nullptr, nullptr, 0);
    double worst = 0;
    size_t refused = 0;
    const auto blockTime = std::chrono::duration<double>(kBlockFrames / 44100.0);
    auto due = Clock::now();
    for (size_t at = 0; at < pcm.size() / 2; at += kBlockFrames) {
        // Paced at four times real time so the queue is exercised like a
        // capture would, only faster.
        due += std::chrono::duration_cast<Clock::duration>(blockTime / 4);
        std::this_thread::sleep_until(due);
        const auto w = Clock::now();
        const uint32_t frames = static_cast<uint32_t>(std::min(kBlockFrames, pcm.size() / 2 - at));
        refused += wmaEncodeWrite(h, pcm.data() + 2 * at, frames * 4) ? 0 : 1;
        worst = std::max(worst, since(w));
    }
    const auto closing = Clock::now();
    wmaEncodeClose(h);
    const double closeTime = since(closing);
    const double t = since(start);
    std::printf("wma %5u Hz %u ch %3u k  %7.3f s (close %.3f s)  worst write %.1f us  "
                "refused %zu  %8ju bytes\n",
                rate, channels, bitrate / 1000, t, closeTime, worst * 1e6, refused,
                static_cast<uintmax_t>(std::filesystem::file_size(path)));
    (void)seconds;
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60;
    const std::filesystem::path dir = argc > 2 ? argv[2] : std::filesystem::temp_directory_path();
    const auto pcm = tone(static_cast<size_t>(seconds * 44100));
    std::printf("%.0f s of 44100 Hz stereo in %zu-frame blocks\n", seconds, kBlockFrames);

    struct Wav {
        const char* name;
        uint16_t tag, bits;
        uint32_t rate;
        uint16_t channels;
        uint16_t blockAlign;
    };
    for (const Wav& w : {Wav{"pcm16 44100 stereo", kWavePcm, 16, 44100, 2, 4},
                         Wav{"pcm16 22050 mono", kWavePcm, 16, 22050, 1, 2},
                         Wav{"pcm24 44100 stereo", kWavePcm, 24, 44100, 2, 6},
                         Wav{"alaw 8000 mono", kWaveALaw, 8, 8000, 1, 1},
                         Wav{"ima adpcm 44100 st", kWaveImaAdpcm, 4, 44100, 2, 2048},
                         Wav{"ms adpcm 44100 st", kWaveMsAdpcm, 4, 44100, 2, 2048}}) {
        WaveFormat f;
        f.formatTag = w.tag;
        f.bitsPerSample = w.bits;
        f.samplesPerSec = w.rate;
        f.channels = w.channels;
        f.blockAlign = w.blockAlign;
        benchWav(w.name, f, pcm, seconds, dir);
    }
    benchWma(44100, 2, 128000, pcm, seconds, dir);
    benchWma(22050, 1, 32000, pcm, seconds, dir);
    std::filesystem::remove(dir / "bench.wav");
    std::filesystem::remove(dir / "bench.wma");
}
