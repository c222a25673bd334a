#pragma once
// The binary stream that carries the catalogue's list inside recorded.xml:
// a property name, a list start byte, one typed value per path, an end byte.

#include <cstdint>
#include <string>
#include <vector>

namespace recordings {

// Type bytes of the values in a list.
enum ValueType : std::uint8_t {
    vtString = 0x06,     // 8-bit text, one length byte
    vtLString = 0x0C,    // 8-bit text, 32-bit length
    vtWString = 0x12,    // UTF-16 LE, 32-bit length in code units
    vtUtf8String = 0x14, // UTF-8, 32-bit length in bytes
};

// The type a UTF-8 path is written with. The choice keeps the stream short:
// UTF-16 only pays when UTF-8 would take at least two bytes per unit.
ValueType chooseValueType(const std::string& utf8);

// The "Strings" property holding the paths in order. An empty list gives an
// empty stream, because the file then carries no list element at all.
std::vector<std::uint8_t> encodeStringsProperty(const std::vector<std::string>& paths);

enum class StreamError {
    None,
    BadPropertyName, // not "Strings" in any letter case
    NoListStart,     // the byte after the name is not 0x01
    BadValueType,
    Truncated, // the bytes end inside a name, a length, a text or before 0x00
};

// Reads the properties until the bytes are used up; each "Strings" property
// replaces the list. On an error paths holds what was read so far and must
// not be used.
StreamError decodeProperties(const std::vector<std::uint8_t>& bytes,
                             std::vector<std::string>& paths);

} // namespace recordings
