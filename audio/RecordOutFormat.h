#pragma once
// The four output formats a recording can be written in, with the name
// config.xml and the options page use and the file extension. The ordinal is
// what config.xml stores, so the order is fixed. Header-only and free of Qt
// and audio libraries, so the settings, the output naming and the recorder
// share one vocabulary.

#include <array>
#include <cstddef>
#include <cstdint>

enum TRecordOutFormat : uint8_t { rofWAVE = 0, rofMP3 = 1, rofWMA = 2, rofOGG = 3 };

struct OutFormatEntry {
    TRecordOutFormat format;
    const char* configName; // "WAVE", "MP3", "WMA", "OGG"
    const char* ext;        // ".wav", ".mp3", ".wma", ".ogg"
};

// In TRecordOutFormat order.
inline constexpr std::array<OutFormatEntry, 4> kOutFormats{{
    {rofWAVE, "WAVE", ".wav"},
    {rofMP3, "MP3", ".mp3"},
    {rofWMA, "WMA", ".wma"},
    {rofOGG, "OGG", ".ogg"},
}};

// The entry of the format; nullptr for a value out of range (config.xml may
// hold any byte). Each caller chooses its own fall-back.
constexpr const OutFormatEntry* findOutFormat(TRecordOutFormat format) {
    const auto i = static_cast<size_t>(format);
    return i < kOutFormats.size() ? &kOutFormats[i] : nullptr;
}

// ".wav", ".mp3", ".wma" or ".ogg"; ".wav" for a value out of range.
constexpr const char* OutFormatExt(TRecordOutFormat format) {
    const OutFormatEntry* entry = findOutFormat(format);
    return entry ? entry->ext : kOutFormats[rofWAVE].ext;
}
