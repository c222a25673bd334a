#pragma once
// What config.xml holds and how the settings are written into it. Reading
// yields the values of the file with the read defaults applied, group by
// group; a group missing from the file stays empty so its settings and
// controls are left alone. Writing updates the document in place, so
// content we do not know keeps its place.

#include "settings/RecorderSettings.h"

#include <QString>
#include <optional>
#include <pugixml.hpp>

struct ConfigWave {
    int32_t Channel = 2;
    int32_t BitPerSam = 16;
    int32_t SampleRate = 44100;
};

struct ConfigMp3 {
    int32_t BitRate = 128;
    bool CRC = false;
    bool VBR = false;
    int32_t VBRQuality = 5;
    int32_t Channel = 2;
};

struct ConfigWma {
    int32_t SampleRate = 44100;
    int32_t Channel = 2;
    int32_t BitRate = 128;
};

struct ConfigOutFormat {
    QString format; // the attribute as written, empty when absent
    std::optional<ConfigWave> wave;
    std::optional<ConfigMp3> mp3;
    std::optional<ConfigWma> wma;
    std::optional<int32_t> oggQuality; // present with the OGG group
};

struct ConfigPath {
    QString mode;
    QString SaveFolder;
    QString SpecialPath;
    int32_t SamenameOP = 1;
    QString Prefix; // empty when the element is missing
    int32_t Postfix = 0;
};

struct ConfigHotKeys {
    QString Start;
    QString Pause;
    QString Stop;
};

struct ConfigValues {
    int32_t Device = -1; // -1 leaves the setting as it is
    QString DeviceName;  // empty: Device decides
    bool SkipSilence = false;
    int32_t Volume = 5;
    std::optional<ConfigOutFormat> outFormat;
    std::optional<ConfigPath> path;
    std::optional<ConfigHotKeys> hotKeys;
};

// Element and attribute names are matched without regard to letter case.
ConfigValues readConfig(const pugi::xml_node& root);

// Writes every setting below root, also those equal to their defaults.
void writeConfig(pugi::xml_node root, const TRecorderSettings& settings);

// Value texts as they stand in the file; nothing for a text that does not
// convert.
std::optional<int32_t> parseConfigInt(std::string_view text);
std::optional<bool> parseConfigBool(std::string_view text);
