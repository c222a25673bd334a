#pragma once
// Conversions between the encodings a catalogue file may carry its paths in.
// Paths are held as UTF-8 in memory; the file also knows UTF-16 and 8-bit text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace recordings {

// Number of UTF-16 code units the UTF-8 text takes. Malformed bytes count as
// one unit each, as AppendUtf16 turns each into one U+FFFD.
std::size_t utf16Length(std::string_view utf8);

// Appends the UTF-16 little-endian bytes of the UTF-8 text.
void appendUtf16Le(std::string_view utf8, std::string& out);

// UTF-16 little-endian bytes (an even count) to UTF-8; unpaired surrogates
// become U+FFFD so the result is always valid UTF-8.
std::string utf16LeToUtf8(const std::uint8_t* bytes, std::size_t units);

// Windows-1252 bytes to UTF-8: files written on Windows read the same.
std::string cp1252ToUtf8(const std::uint8_t* bytes, std::size_t count);

} // namespace recordings
