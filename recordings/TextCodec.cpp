#include "recordings/TextCodec.h"

#include "xml/XmlEncoding.h"

#include <algorithm>

namespace recordings {

std::size_t utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < utf8.size();)
        units += xml::nextCodePoint(utf8, i) >= 0x10000 ? 2 : 1;
    return units;
}

void appendUtf16Le(std::string_view utf8, std::string& out) {
    out += xml::encodeFromUtf8(utf8, {xml::Charset::Utf16LE, false});
}

std::string utf16LeToUtf8(const std::uint8_t* bytes, std::size_t units) {
    // Unlike a whole XML file, a stored path with a broken surrogate is still
    // worth reading: the rest of it may name the file well enough.
    constexpr char32_t kReplacement = 0xFFFD;
    std::string out;
    out.reserve(units);
    auto unitAt = [bytes](std::size_t k) {
        return static_cast<char16_t>(bytes[2 * k] | (bytes[2 * k + 1] << 8));
    };
    for (std::size_t k = 0; k < units; ++k) {
        const char16_t u = unitAt(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
            const char16_t low = unitAt(k + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                xml::appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (low - 0xDC00));
                ++k;
                continue;
            }
        }
        xml::appendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? kReplacement : char32_t(u));
    }
    return out;
}

std::string cp1252ToUtf8(const std::uint8_t* bytes, std::size_t count) {
    // ASCII reads the same in both, and most stored paths are nothing else:
    // copied whole, a long catalogue opens without a call per byte.
    if (std::none_of(bytes, bytes + count, [](std::uint8_t b) { return b >= 0x80; }))
        return std::string(reinterpret_cast<const char*>(bytes), count);
    // Every byte has a meaning in windows-1252, so this cannot fail.
    std::string out;
    std::string error;
    xml::decodeToUtf8(std::string_view(reinterpret_cast<const char*>(bytes), count),
                      {xml::Charset::Windows1252, false}, out, error);
    return out;
}

} // namespace recordings
