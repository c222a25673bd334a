#pragma once
// Standard-alphabet Base64 with '=' padding, no line breaks of its own.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace recordings {

std::string encodeBase64(const std::uint8_t* data, std::size_t size);
// The same, appended to out.
void appendBase64(const std::uint8_t* data, std::size_t size, std::string& out);

// Decodes text in which TAB, LF, CR and space may stand anywhere; they are
// skipped, so a block on one line or indented differently reads the same.
// False, with out left unspecified, for a length that is not a multiple of 4,
// a character outside the alphabet or padding anywhere but at the end.
bool decodeBase64(std::string_view text, std::vector<std::uint8_t>& out);

} // namespace recordings
