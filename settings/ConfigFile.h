#pragma once
// config.xml on disk: read once at start, written once at exit.

#include "base/Result.h"
#include "settings/ConfigDocument.h"

#include <filesystem>
#include <string>

// The values of the file; Fault::NotFound when there is no file, and
// Fault::Damaged, with the reason, when it is no document.
Outcome<ConfigValues> readConfigFile(const std::filesystem::path& path);

// The existing file is updated in place and written back in its encoding; a
// new file is UTF-8 with root Config. A file that cannot be read as a
// document is first copied to "<path>.bad" (or a numbered "<path>.N.bad" when
// that exists) and then replaced by a new one;
// when even that copy fails it is left alone. The old file survives any
// failure, which comes back with the reason.
Result saveConfigFile(const std::filesystem::path& path, const TRecorderSettings& settings);
