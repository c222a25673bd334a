#include "app/remote/RemoteTexts.h"

#include <array>
#include <cstdio>
#include <limits>

namespace {

// A timer counts in milliseconds of an int: 596 hours and some.
constexpr std::uint64_t kMaxSeconds = std::numeric_limits<int>::max() / 1000;

// Reads the decimal digits at the start of text; nothing when there are
// none or their value is out of range.
std::optional<std::uint64_t> TakeNumber(std::string_view& text) {
    std::uint64_t value = 0;
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        value = value * 10 + static_cast<std::uint64_t>(text[digits] - '0');
        if (value > kMaxSeconds)
            return std::nullopt;
        ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    text.remove_prefix(digits);
    return value;
}

std::optional<std::uint64_t> ParseClock(std::string_view text) {
    std::array<std::uint64_t, 3> parts{};
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            if (text.empty() || text.front() != ':')
                return std::nullopt;
            text.remove_prefix(1);
        }
        const std::string_view before = text;
        const auto part = TakeNumber(text);
        if (!part || (i > 0 && (before.size() - text.size() != 2 || *part >= 60)))
            return std::nullopt;
        parts[i] = *part;
    }
    if (!text.empty())
        return std::nullopt;
    return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

std::optional<std::uint64_t> ParseUnits(std::string_view text) {
    constexpr std::array<std::pair<char, std::uint64_t>, 3> kUnits{
        {{'h', 3600}, {'m', 60}, {'s', 1}}};
    std::uint64_t total = 0;
    size_t nextUnit = 0;
    while (!text.empty()) {
        const auto count = TakeNumber(text);
        if (!count || text.empty())
            return std::nullopt;
        const char unit = text.front();
        text.remove_prefix(1);
        while (nextUnit < kUnits.size() && kUnits[nextUnit].first != unit)
            ++nextUnit;
        if (nextUnit == kUnits.size())
            return std::nullopt; // unknown, repeated or out of order
        total += *count * kUnits[nextUnit].second;
        if (total > kMaxSeconds)
            return std::nullopt;
        ++nextUnit;
    }
    return total;
}

} // namespace

std::string RemoteStateWord(RemoteState state) {
    switch (state) {
    case RemoteState::Recording:
        return "recording";
    case RemoteState::Paused:
        return "paused";
    case RemoteState::Idle:
        break;
    }
    return "idle";
}

std::string RemoteStatusLine(RemoteState state, std::uint32_t elapsedSeconds) {
    if (state == RemoteState::Idle)
        return RemoteStateWord(state);
    char time[32];
    std::snprintf(time, sizeof time, "%02u:%02u:%02u", elapsedSeconds / 3600,
                  (elapsedSeconds / 60) % 60, elapsedSeconds % 60);
    return RemoteStateWord(state) + " " + time;
}

std::string RecordActionText(RemoteState state) {
    switch (state) {
    case RemoteState::Recording:
        return "Pause";
    case RemoteState::Paused:
        return "Resume";
    case RemoteState::Idle:
        break;
    }
    return "Record";
}

std::optional<std::uint32_t> ParseRecordDuration(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    const auto seconds =
        text.find(':') != std::string_view::npos ? ParseClock(text) : ParseUnits(text);
    if (!seconds || *seconds == 0 || *seconds > kMaxSeconds)
        return std::nullopt;
    return static_cast<std::uint32_t>(*seconds);
}
