#pragma once
// The pure decisions of the recordings panel's player: the size and
// duration texts, where the position bar stands, when playback has ended
// and when a change of the bar is the user's seek. Positions are bytes of
// decoded sound; the bar holds them as 32-bit floats.

#include "audio/TPlayState.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>

// 1536 -> "1.5 KB"; powers of 1024, each test strictly greater-than; at most
// two decimals, no trailing zeros, the locale's decimal separator.
QString FormatFileSize(int64_t size, const QLocale& locale = QLocale::system());
// The size text after an open; none (keep the old text) for a size of 0.
std::optional<QString> FileSizeText(uint64_t size, const QLocale& locale = QLocale::system());
// "hh:mm:ss" of whole seconds (hours may take more digits); none (keep the
// old text) for a duration of 0 or less.
std::optional<QString> FormatDuration(double seconds);

// A change of the bar is the user's only while playing, once the position
// timer has written a place, and when it lies more than 15 units from that
// place; a value of 0 never seeks, as that is where the bar resets itself.
bool IsUserSeek(TPlayState state, float lastTimerValue, float value, float maximum);
// The user let go of the thumb (after a click or a drag): while playing,
// playback goes on from there, the very start included. A drag seeks only
// here, once, so the sound does not stutter while the thumb moves.
std::optional<uint64_t> ReleaseSeekTarget(TPlayState state, float value, float maximum);
// The byte position a bar value seeks to (truncated toward zero).
uint64_t SeekTarget(float value);

// The bar's maximum for a length in bytes: the nearest float at or above
// it, so no position of the recording lies beyond the bar. Past 2^24 bytes a
// float steps by more than one byte (256 at 4 GiB, under 1.5 ms of sound),
// still far finer than a pixel of the bar.
float BarMaximum(int64_t length);

// The position timer's verdict: playback is over when the player knows no
// position, stands beyond the bar, or says it stopped (its decoder reached the
// end and the output played it out). A position of 0 is an output that has
// not started yet, a headset waking up, not an end.
bool PlaybackEnded(int64_t position, float barMaximum, TPlayState state);
