#pragma once
// Whole-file reads that tell a missing file from one that cannot be read.

#include <string>
#include <string_view>

namespace recordings {

enum class ReadResult { Ok, Missing, Failed };

ReadResult readWholeFile(const std::string& path, std::string& bytes);

} // namespace recordings
