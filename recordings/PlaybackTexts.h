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
// place; a value of 0 never seeks.
bool IsUserSeek(TPlayState state, float lastTimerValue, float value, float maximum);
// The byte position a bar value seeks to (truncated toward zero).
uint64_t SeekTarget(float value);

// The bar's maximum for a length in bytes: the nearest float at or above
// it, so no position of the recording lies beyond the bar. Past 2^24 bytes a
// float steps by more than one byte (256 at 4 GiB, under 1.5 ms of sound),
// still far finer than a pixel of the bar.
float BarMaximum(int64_t length);

// The position timer's verdict: playback is over when the player knows no
// position, stands at 0 or before, beyond the bar, or says it stopped.
bool PlaybackEnded(int64_t position, float barMaximum, TPlayState state);
