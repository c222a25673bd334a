#pragma once
// What the remote control says and reads, without Qt: the state words, the
// one status line, and the durations a timed recording accepts.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class RemoteState { Idle, Recording, Paused };

// "idle", "recording" or "paused".
std::string RemoteStateWord(RemoteState state);
// RemoteStateWord, then for a recording its elapsed time as HH:MM:SS (hours
// at least two digits, growing past 99): "idle", "recording 00:01:05".
std::string RemoteStatusLine(RemoteState state, std::uint32_t elapsedSeconds);

// The status icon's menu entry that acts as the record button.
std::string RecordActionText(RemoteState state);

// Seconds of "90s", "45m", "1h30m", "2h5m10s" (each unit at most once, in
// that order) or "01:30:00" (hours:minutes:seconds, both of the latter below
// 60). Nothing for any other text, for zero, and past 596 hours.
std::optional<std::uint32_t> ParseRecordDuration(std::string_view text);
