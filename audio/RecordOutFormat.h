#pragma once
// The four output formats a recording can be written in. The ordinal is what
// config.xml stores, so the order is fixed.

#include <cstdint>

enum TRecordOutFormat : uint8_t { rofWAVE = 0, rofMP3 = 1, rofWMA = 2, rofOGG = 3 };

// ".wav", ".mp3", ".wma" or ".ogg"; ".wav" for a value out of range.
const char* OutFormatExt(TRecordOutFormat format);
