#pragma once
// Room left for a recording on its file system, and what to do about it.
// No Qt: the window feeds readings in, the recorder asks when its writes
// fail.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace diskspace {

// Bytes an ordinary user may still write on the file system holding
// `folder`; nothing when it cannot be asked.
std::optional<uint64_t> freeBytes(const std::string& folder);

// Below this a file system counts as full: the next writes fail, or have.
constexpr uint64_t kFullBytes = 512 * 1024;
// Stopped this long before the last byte, so a recording's end (the encoder's
// last frames, the WAV header) still fits.
constexpr double kReserveSeconds = 3.0;
// Warned once less than this much recording time fits.
constexpr double kWarnSeconds = 10 * 60;
// The rate of writing is taken over the readings of this long.
constexpr double kRateWindowSeconds = 30;

inline bool noRoomLeft(const std::string& folder) {
    const std::optional<uint64_t> free = freeBytes(folder);
    return free && *free < kFullBytes;
}

// What ends a recording that ran out of room, in words for the user.
std::string fullMessage();
// The low-space notice: about `minutes` more minutes fit (0: less than one).
std::string lowMessage(int minutes);

enum class Advice { None, Low, Full };

struct Reading {
    Advice advice = Advice::None;
    int minutesLeft = 0; // for Low, rounded; 0 is less than half a minute
};

// Readings of one recording's file system, oldest first. Low comes once per
// recording; Full whenever the room is gone.
class Watch {
public:
    // `seconds`: recording time (pauses left out) when the free bytes were read.
    Reading observe(double seconds, uint64_t freeBytes);
    // Bytes written per second over the last readings; 0 until known.
    double rate() const;
    // A new recording.
    void reset();

private:
    struct Sample {
        double seconds;
        uint64_t freeBytes;
    };
    std::deque<Sample> samples_;
    bool warned_ = false;
};

} // namespace diskspace
