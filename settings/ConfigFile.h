#pragma once
// config.xml on disk: read once at start, written once at exit.

#include "settings/ConfigDocument.h"

#include <filesystem>
#include <string>

enum class ConfigFileState { Loaded, Missing, Unreadable };

struct ConfigFileRead {
    ConfigFileState state = ConfigFileState::Missing;
    ConfigValues values; // only meaningful when Loaded
    std::string error;
};

ConfigFileRead readConfigFile(const std::filesystem::path& path);

// The existing file is updated in place and written back in its encoding; a
// new file is UTF-8 with root Config. A file that cannot be read as a
// document is first copied to "<path>.bad" (or a numbered "<path>.N.bad" when
// that exists) and then replaced by a new one;
// when even that copy fails it is left alone. The old file survives any
// failure. Returns false with the reason in error.
bool saveConfigFile(const std::filesystem::path& path, const TRecorderSettings& settings,
                    std::string& error);
