#pragma once
// Recording to MP3 through the audio layer for a while, and what it cost.

#include "BenchSupport.h"
#include "audio/lib/AudioLib.h"

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

namespace bench {

// Makes a 1 kHz tone of `seconds` at `volume` in `file` and plays it into the
// null sink "rec" until stopped; waits until the sink runs. The pid, or -1
// when sox fails.
inline pid_t playTone(const std::string& file, int seconds, double volume) {
    const std::string make = "sox -n -r 44100 -c 2 -b 16 '" + file + "' synth " +
                             std::to_string(seconds) + " sine 1000 vol " + std::to_string(volume);
    if (std::system(make.c_str()) != 0)
        return -1;
    // Low latency so that the null sink delivers in small blocks from the start.
    const pid_t player = spawn({"paplay", "--device=rec", "--latency-msec=20", file}, -1, -1);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    return player;
}

struct LayerRun {
    double cpu = -1; // this process and its lame child, seconds; < 0: failed
    double own = 0;  // this process alone
    double captured = 0;
    uint64_t lost = 0;
};

// Records the input named `input` for `secs` into `out` (lame -b 128 -m s).
// Our own share is ~0 outside the recording: the thread sleeps.
inline LayerRun recordThroughLayer(int secs, const std::string& input, const std::string& out) {
    using namespace audiolib;
    LayerRun run;
    const double ownBefore = cpuSeconds(RUSAGE_SELF);
    const double before = ownBefore + cpuSeconds(RUSAGE_CHILDREN);
    if (!recordInit(-1))
        return run;
    for (int n = 0; const char* name = recordGetInputName(n); ++n)
        recordSetInput(n, std::string(name) == input ? kInputOn : kInputOff, 1.0f);
    static std::atomic<uint64_t> bytes;
    bytes = 0;
    auto count = [](Handle, const void*, uint32_t length, void*) {
        bytes += length;
        return true;
    };
    const Handle h = recordStart(44100, 2, kRecordPause, count, nullptr);
    const std::string line = programFolder() + "lame " + " -b 128 -m s " + " - \"" + out + "\"";
    if (h == 0 || encodeStart(h, line.c_str(), kEncodeAutoFree, nullptr, nullptr) != h) {
        recordFree();
        return run;
    }
    channelPlay(h, false);
    std::this_thread::sleep_for(std::chrono::seconds(secs));
    run.lost = channelLostBlocks(h);
    channelStop(h);
    recordFree();
    run.captured = bytes / 176400.0;
    run.own = cpuSeconds(RUSAGE_SELF) - ownBefore;
    run.cpu = cpuSeconds(RUSAGE_SELF) + cpuSeconds(RUSAGE_CHILDREN) - before;
    return run;
}

} // namespace bench
