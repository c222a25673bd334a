#include "recordings/PropertyStream.h"

#include "recordings/TextCodec.h"

#include <string_view>

namespace recordings {
namespace {

constexpr std::string_view kPropertyName = "Strings";
constexpr std::uint8_t kListStart = 0x01;
constexpr std::uint8_t kListEnd = 0x00;

void putLength32(std::uint32_t n, std::vector<std::uint8_t>& out) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(n >> shift));
}

bool equalsIgnoringAsciiCase(const std::uint8_t* bytes, std::size_t n, std::string_view name) {
    if (n != name.size())
        return false;
    for (std::size_t k = 0; k < n; ++k) {
        auto lower = [](unsigned c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (lower(bytes[k]) != lower(static_cast<unsigned char>(name[k])))
            return false;
    }
    return true;
}

// Bounds-checked reader: every take says whether the bytes were there, so a
// length field that points past the end is caught before any byte is read.
class Reader {
public:
    explicit Reader(const std::vector<std::uint8_t>& bytes) : FBytes(bytes) {}

    bool AtEnd() const { return FPos == FBytes.size(); }
    std::size_t Left() const { return FBytes.size() - FPos; }

    bool Byte(std::uint8_t& b) {
        if (Left() < 1)
            return false;
        b = FBytes[FPos++];
        return true;
    }
    bool Length32(std::uint32_t& n) {
        if (Left() < 4)
            return false;
        n = 0;
        for (int k = 3; k >= 0; --k)
            n = (n << 8) | FBytes[FPos + k];
        FPos += 4;
        return true;
    }
    // Points at the next count bytes, or fails when fewer are left.
    bool Take(std::size_t count, const std::uint8_t*& at) {
        if (Left() < count)
            return false;
        at = FBytes.data() + FPos;
        FPos += count;
        return true;
    }

private:
    const std::vector<std::uint8_t>& FBytes;
    std::size_t FPos = 0;
};

StreamError readValue(Reader& in, std::uint8_t type, std::string& value) {
    const std::uint8_t* text = nullptr;
    switch (type) {
    case vtString: {
        std::uint8_t n = 0;
        if (!in.Byte(n) || !in.Take(n, text))
            return StreamError::Truncated;
        value = cp1252ToUtf8(text, n);
        return StreamError::None;
    }
    case vtLString:
    case vtUtf8String: {
        std::uint32_t n = 0;
        if (!in.Length32(n) || !in.Take(n, text))
            return StreamError::Truncated;
        if (type == vtUtf8String)
            value.assign(reinterpret_cast<const char*>(text), n);
        else
            value = cp1252ToUtf8(text, n);
        return StreamError::None;
    }
    case vtWString: {
        std::uint32_t n = 0;
        // Checked in 64 bits: 2 * n overflows 32 bits for a 4 GB length field.
        if (!in.Length32(n) || static_cast<std::uint64_t>(n) * 2 > in.Left() ||
            !in.Take(std::size_t{n} * 2, text))
            return StreamError::Truncated;
        value = utf16LeToUtf8(text, n);
        return StreamError::None;
    }
    default:
        return StreamError::BadValueType;
    }
}

} // namespace

ValueType chooseValueType(const std::string& utf8) {
    const std::size_t u = utf8.size();
    bool ascii = true;
    for (const char c : utf8)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    // ASCII has as many UTF-16 units as bytes, so only the empty string
    // meets U >= 2W among them; the count is needed for the others only.
    if (ascii)
        return u == 0 ? vtWString : u > 255 ? vtLString : vtString;
    return u >= 2 * utf16Length(utf8) ? vtWString : vtUtf8String;
}

std::vector<std::uint8_t> encodeStringsProperty(const std::vector<std::string>& paths) {
    std::vector<std::uint8_t> out;
    if (paths.empty())
        return out;
    std::size_t estimate = 1 + kPropertyName.size() + 2;
    for (const auto& p : paths)
        estimate += 5 + 2 * p.size();
    out.reserve(estimate);

    out.push_back(static_cast<std::uint8_t>(kPropertyName.size()));
    out.insert(out.end(), kPropertyName.begin(), kPropertyName.end());
    out.push_back(kListStart);
    std::string utf16;
    for (const auto& p : paths) {
        const ValueType type = chooseValueType(p);
        out.push_back(type);
        switch (type) {
        case vtString:
            out.push_back(static_cast<std::uint8_t>(p.size()));
            out.insert(out.end(), p.begin(), p.end());
            break;
        case vtLString:
        case vtUtf8String:
            putLength32(static_cast<std::uint32_t>(p.size()), out);
            out.insert(out.end(), p.begin(), p.end());
            break;
        case vtWString:
            utf16.clear();
            appendUtf16Le(p, utf16);
            putLength32(static_cast<std::uint32_t>(utf16.size() / 2), out);
            out.insert(out.end(), utf16.begin(), utf16.end());
            break;
        }
    }
    out.push_back(kListEnd);
    return out;
}

StreamError decodeProperties(const std::vector<std::uint8_t>& bytes,
                             std::vector<std::string>& paths) {
    Reader in(bytes);
    while (!in.AtEnd()) {
        std::uint8_t nameLength = 0;
        const std::uint8_t* name = nullptr;
        if (!in.Byte(nameLength) || !in.Take(nameLength, name))
            return StreamError::Truncated;
        if (!equalsIgnoringAsciiCase(name, nameLength, kPropertyName))
            return StreamError::BadPropertyName;
        std::uint8_t b = 0;
        if (!in.Byte(b))
            return StreamError::Truncated;
        if (b != kListStart)
            return StreamError::NoListStart;
        paths.clear();
        for (;;) {
            if (!in.Byte(b))
                return StreamError::Truncated;
            if (b == kListEnd)
                break;
            std::string value;
            if (const StreamError e = readValue(in, b, value); e != StreamError::None)
                return e;
            paths.push_back(std::move(value));
        }
    }
    return StreamError::None;
}

} // namespace recordings
