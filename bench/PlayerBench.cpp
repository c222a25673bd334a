// The playback engine against FFmpeg's own tools, in one run:
//   - opening a 60-minute MP3 until its duration is known (TBassPlayer::OpenFile)
//     against `ffprobe` reading the same duration;
//   - opening an 8-hour MP3 without an info frame (the window goes on while
//     its length is counted) and the time until the length is known;
//   - the CPU time of playing an MP3 through TBassPlayer against
//     `ffplay -nodisp -autoexit` of the same file.
// Needs the PulseAudio daemon (the default sink is heard), ffmpeg, ffplay, lame.
//
//   player_bench [seconds]   (default 60: length of the MP3 played)

#include "BenchSupport.h"
#include "audio/TBassPlayer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// A long MP3 made quickly: one encoded minute, its frames copied `minutes`
// times; with or without the info frame that states its length.
bool makeLong(const fs::path& dir, const fs::path& out, int minutes, bool infoFrame) {
    const fs::path minute = dir / "minute.mp3";
    if (!run("ffmpeg -v error -y -f lavfi -i 'sine=frequency=440:sample_rate=44100:duration=60' "
             "-ac 2 -c:a libmp3lame -b:a 128k '" +
             minute.string() + "'"))
        return false;
    const fs::path list = dir / "list.txt";
    std::string lines;
    for (int i = 0; i < minutes; ++i)
        lines += "file '" + minute.string() + "'\n";
    std::FILE* f = std::fopen(list.c_str(), "w");
    if (!f)
        return false;
    std::fputs(lines.c_str(), f);
    std::fclose(f);
    return run("ffmpeg -v error -y -f concat -safe 0 -i '" + list.string() + "' -c copy " +
               (infoFrame ? "" : "-write_xing 0 ") + "'" + out.string() + "'");
}

} // namespace

int main(int argc, char** argv) {
    const int secs = argc > 1 ? std::atoi(argv[1]) : 60;
    const fs::path dir = fs::temp_directory_path() / ("tovaline-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path hour = dir / "hour.mp3";
    const fs::path take = dir / "take.mp3";
    const fs::path night = dir / "night.mp3";
    if (!makeLong(dir, hour, 60, true) || !makeLong(dir, night, 480, false) ||
        !run("ffmpeg -v error -y -f lavfi -i 'sine=frequency=1000:sample_rate=44100:duration=" +
             std::to_string(secs) + "' -ac 2 -f wav - | lame --quiet -b 192 - '" + take.string() +
             "'")) {
        std::fprintf(stderr, "making the MP3 files failed\n");
        return 1;
    }

    TBassPlayer player;
    if (!player.Init(nullptr, 55, 53)) {
        std::fprintf(stderr, "no sound server\n");
        return 1;
    }

    std::vector<double> opens, probes;
    double duration = 0;
    for (int i = 0; i < 5; ++i) {
        uint32_t size = 0;
        const auto t0 = Clock::now();
        if (!player.OpenFile(hour.string(), size, duration))
            return 1;
        opens.push_back(bench::wallSeconds(t0) * 1000);
        player.Stop();
        const auto p0 = Clock::now();
        run("ffprobe -v error -show_entries format=duration -of csv=p=0 '" + hour.string() + "'");
        probes.push_back(bench::wallSeconds(p0) * 1000);
    }
    std::printf("open a 60-minute MP3 (%.3f s): %.2f ms (target <= 100), ffprobe %.2f ms, "
                "ratio %.3f\n",
                duration, bench::median(opens), bench::median(probes),
                bench::median(opens) / bench::median(probes));

    {
        uint32_t size = 0;
        const auto t0 = Clock::now();
        if (!player.OpenFile(night.string(), size, duration))
            return 1;
        const double opened = bench::wallSeconds(t0) * 1000;
        while (player.GetChannelLength64() == -1)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::printf("open an 8-hour MP3 without an info frame: %.2f ms (target <= 100), its "
                    "length (%.3f s) known after %.0f ms\n",
                    opened, player.GetDuration(), bench::wallSeconds(t0) * 1000);
        player.Stop();
    }

    // Playing: our process's CPU (decoder thread, the stream's callbacks, the
    // UI thread polling the state every 100 ms) against ffplay's.
    uint32_t size = 0;
    const double ownBefore = bench::cpuSeconds(RUSAGE_SELF);
    const auto w0 = Clock::now();
    player.OpenFile(take.string(), size, duration);
    player.Play();
    while (player.GetPlayState() == psPlaying)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    player.Stop();
    const double ours = bench::cpuSeconds(RUSAGE_SELF) - ownBefore;
    const double oursWall = bench::wallSeconds(w0);
    player.Uninit();

    const double childBefore = bench::cpuSeconds(RUSAGE_CHILDREN);
    const auto f0 = Clock::now();
    const pid_t ffplay = bench::spawn(
        {"ffplay", "-nodisp", "-autoexit", "-loglevel", "quiet", take.string()}, -1, -1);
    if (ffplay < 0)
        return 1;
    waitpid(ffplay, nullptr, 0);
    const double theirs = bench::cpuSeconds(RUSAGE_CHILDREN) - childBefore;
    const double theirsWall = bench::wallSeconds(f0);

    std::printf("play %d s of MP3 (192 kbit/s): TBassPlayer %.3f s CPU over %.1f s, ffplay %.3f "
                "s CPU over %.1f s, ratio %.2f (target <= 1.0)\n",
                secs, ours, oursWall, theirs, theirsWall, ours / theirs);
    fs::remove_all(dir);
    return 0;
}
