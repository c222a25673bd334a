#include "xml/XmlEncoding.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace xml {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// 0x80..0x9F of windows-1252. The five bytes that code page leaves undefined
// map to the C1 control of the same value, so any byte survives a round trip.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct Latin9Diff {
    unsigned char byte;
    char32_t codePoint;
};
constexpr std::array<Latin9Diff, 8> kLatin9 = {{{0xA4, 0x20AC},
                                                {0xA6, 0x0160},
                                                {0xA8, 0x0161},
                                                {0xB4, 0x017D},
                                                {0xB8, 0x017E},
                                                {0xBC, 0x0152},
                                                {0xBD, 0x0153},
                                                {0xBE, 0x0178}}};

char32_t byteToCodePoint(unsigned char b, Charset charset) {
    switch (charset) {
    case Charset::Windows1252:
        if (b >= 0x80 && b <= 0x9F)
            return kCp1252High[b - 0x80];
        return b;
    case Charset::Latin9:
        for (const auto& d : kLatin9)
            if (d.byte == b)
                return d.codePoint;
        return b;
    case Charset::Ascii:
        return b < 0x80 ? b : kReplacement;
    default:
        return b;
    }
}

// Returns -1 when the charset has no byte for the code point.
int codePointToByte(char32_t c, Charset charset) {
    switch (charset) {
    case Charset::Ascii:
        return c < 0x80 ? static_cast<int>(c) : -1;
    case Charset::Latin1:
        return c < 0x100 ? static_cast<int>(c) : -1;
    case Charset::Latin9:
        for (const auto& d : kLatin9) {
            if (d.codePoint == c)
                return d.byte;
            if (d.byte == c)
                return -1; // replaced in Latin-9
        }
        return c < 0x100 ? static_cast<int>(c) : -1;
    case Charset::Windows1252:
        if (c < 0x80 || (c >= 0xA0 && c < 0x100))
            return static_cast<int>(c);
        for (size_t i = 0; i < kCp1252High.size(); ++i)
            if (kCp1252High[i] == c)
                return static_cast<int>(0x80 + i);
        return -1;
    default:
        return -1;
    }
}

bool is8Bit(Charset c) {
    return c == Charset::Latin1 || c == Charset::Latin9 || c == Charset::Windows1252 ||
           c == Charset::Ascii;
}

std::string upper(std::string_view s) {
    std::string r(s);
    std::transform(r.begin(), r.end(), r.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    return r;
}

// The value of encoding="..." in a declaration at the very start of an
// ASCII-compatible file; empty when there is none.
std::string declaredEncoding(std::string_view bytes) {
    // "<?xml-stylesheet" or "<?xmlfoo" is a processing instruction, not
    // the declaration.
    if (bytes.substr(0, 5) != "<?xml" || bytes.size() < 6 ||
        !std::isspace(static_cast<unsigned char>(bytes[5])))
        return {};
    size_t end = bytes.find("?>");
    if (end == std::string_view::npos)
        return {};
    // Walk the pseudo-attributes as the parser does: "encoding" inside
    // another name or inside a quoted value names nothing.
    const std::string_view decl = bytes.substr(0, end);
    const auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    size_t pos = 5;
    while (pos < decl.size()) {
        while (pos < decl.size() && isSpace(decl[pos]))
            ++pos;
        const size_t nameStart = pos;
        while (pos < decl.size() && !isSpace(decl[pos]) && decl[pos] != '=')
            ++pos;
        const std::string_view name = decl.substr(nameStart, pos - nameStart);
        while (pos < decl.size() && isSpace(decl[pos]))
            ++pos;
        if (name.empty() || pos >= decl.size() || decl[pos] != '=')
            return {};
        ++pos;
        while (pos < decl.size() && isSpace(decl[pos]))
            ++pos;
        if (pos >= decl.size() || (decl[pos] != '"' && decl[pos] != '\''))
            return {};
        const char quote = decl[pos++];
        const size_t close = decl.find(quote, pos);
        if (close == std::string_view::npos)
            return {};
        if (name == "encoding")
            return std::string(decl.substr(pos, close - pos));
        pos = close + 1;
    }
    return {};
}

unsigned char byteAt(std::string_view s, size_t i) {
    return static_cast<unsigned char>(s[i]);
}

} // namespace

bool charsetByName(const std::string& name, Charset& out) {
    static const struct {
        const char* name;
        Charset charset;
    } kNames[] = {
        {"UTF-8", Charset::Utf8},
        {"UTF8", Charset::Utf8},
        {"ISO-8859-1", Charset::Latin1},
        {"ISO8859-1", Charset::Latin1},
        {"ISO_8859-1", Charset::Latin1},
        {"LATIN1", Charset::Latin1},
        {"LATIN-1", Charset::Latin1},
        {"L1", Charset::Latin1},
        {"CP819", Charset::Latin1},
        {"ISO-8859-15", Charset::Latin9},
        {"ISO8859-15", Charset::Latin9},
        {"ISO_8859-15", Charset::Latin9},
        {"LATIN9", Charset::Latin9},
        {"LATIN-9", Charset::Latin9},
        {"WINDOWS-1252", Charset::Windows1252},
        {"CP1252", Charset::Windows1252},
        {"X-CP1252", Charset::Windows1252},
        {"US-ASCII", Charset::Ascii},
        {"ASCII", Charset::Ascii},
    };
    const std::string key = upper(name);
    for (const auto& n : kNames) {
        if (key == n.name) {
            out = n.charset;
            return true;
        }
    }
    return false;
}

bool detectEncoding(std::string_view bytes, FileEncoding& out, std::string& error) {
    out = FileEncoding{};
    const auto starts = [&](std::initializer_list<unsigned char> prefix) {
        if (bytes.size() < prefix.size())
            return false;
        size_t i = 0;
        for (unsigned char b : prefix)
            if (byteAt(bytes, i++) != b)
                return false;
        return true;
    };
    if (starts({0xFF, 0xFE, 0x00, 0x00}) || starts({0x00, 0x00, 0xFE, 0xFF})) {
        error = "UTF-32 files are not supported";
        return false;
    }
    if (starts({0xEF, 0xBB, 0xBF}))
        return true; // UTF-8; the mark is dropped on writing
    if (starts({0xFF, 0xFE})) {
        out = {Charset::Utf16LE, true};
        return true;
    }
    if (starts({0xFE, 0xFF})) {
        out = {Charset::Utf16BE, true};
        return true;
    }
    if (starts({0x3C, 0x00, 0x3F, 0x00})) {
        out = {Charset::Utf16LE, false};
        return true;
    }
    if (starts({0x00, 0x3C, 0x00, 0x3F})) {
        out = {Charset::Utf16BE, false};
        return true;
    }
    const std::string name = declaredEncoding(bytes);
    if (name.empty())
        return true;
    if (!charsetByName(name, out.charset)) {
        error = "unsupported encoding \"" + name + "\"";
        return false;
    }
    return true;
}

bool decodeToUtf8(std::string_view bytes, const FileEncoding& encoding, std::string& utf8,
                  std::string& error) {
    utf8.clear();
    const Charset cs = encoding.charset;
    if (cs == Charset::Utf8) {
        if (bytes.size() >= 3 && byteAt(bytes, 0) == 0xEF && byteAt(bytes, 1) == 0xBB &&
            byteAt(bytes, 2) == 0xBF)
            bytes.remove_prefix(3);
        utf8.assign(bytes);
        return true;
    }
    if (is8Bit(cs)) {
        utf8.reserve(bytes.size() + bytes.size() / 8);
        for (char ch : bytes)
            appendUtf8(utf8, byteToCodePoint(static_cast<unsigned char>(ch), cs));
        return true;
    }
    if (bytes.size() % 2 != 0) {
        error = "UTF-16 file with an odd number of bytes";
        return false;
    }
    const bool le = cs == Charset::Utf16LE;
    const auto unit = [&](size_t i) -> char32_t {
        unsigned a = byteAt(bytes, i), b = byteAt(bytes, i + 1);
        return le ? (b << 8 | a) : (a << 8 | b);
    };
    size_t i = 0;
    if (bytes.size() >= 2 && unit(0) == 0xFEFF)
        i = 2;
    utf8.reserve(bytes.size() / 2);
    for (; i < bytes.size(); i += 2) {
        char32_t u = unit(i);
        if (u >= 0xD800 && u < 0xDC00) {
            if (i + 3 >= bytes.size() || unit(i + 2) < 0xDC00 || unit(i + 2) >= 0xE000) {
                error = "unpaired surrogate in UTF-16 file";
                return false;
            }
            u = 0x10000 + ((u - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (u >= 0xDC00 && u < 0xE000) {
            error = "unpaired surrogate in UTF-16 file";
            return false;
        }
        appendUtf8(utf8, u);
    }
    return true;
}

bool isRepresentable(char32_t codePoint, Charset charset) {
    if (charset == Charset::Utf8 || charset == Charset::Utf16LE || charset == Charset::Utf16BE)
        return true;
    return codePointToByte(codePoint, charset) >= 0;
}

std::string encodeFromUtf8(std::string_view utf8, const FileEncoding& encoding) {
    const Charset cs = encoding.charset;
    // A text that itself begins with U+FEFF would lose it to the reader,
    // which takes the first one for a byte-order mark: it gets a real one.
    if (cs == Charset::Utf8)
        return utf8.substr(0, 3) == "\xEF\xBB\xBF" ? "\xEF\xBB\xBF" + std::string(utf8)
                                                   : std::string(utf8);
    std::string out;
    if (is8Bit(cs)) {
        out.reserve(utf8.size());
        for (size_t pos = 0; pos < utf8.size();) {
            int b = codePointToByte(nextCodePoint(utf8, pos), cs);
            out.push_back(b < 0 ? '?' : static_cast<char>(b));
        }
        return out;
    }
    const bool le = cs == Charset::Utf16LE;
    const auto put = [&](char32_t u) {
        const char hi = static_cast<char>((u >> 8) & 0xFF), lo = static_cast<char>(u & 0xFF);
        out.push_back(le ? lo : hi);
        out.push_back(le ? hi : lo);
    };
    out.reserve(utf8.size() * 2 + 2);
    if (encoding.byteOrderMark)
        put(0xFEFF);
    for (size_t pos = 0; pos < utf8.size();) {
        char32_t c = nextCodePoint(utf8, pos);
        if (c >= 0x10000) {
            c -= 0x10000;
            put(0xD800 + (c >> 10));
            put(0xDC00 + (c & 0x3FF));
        } else {
            put(c);
        }
    }
    return out;
}

char32_t nextCodePoint(std::string_view s, size_t& pos) {
    const unsigned char b0 = byteAt(s, pos);
    int extra = 0;
    char32_t c = 0;
    // The smallest code point each length may carry: longer forms are
    // malformed, and would let one character pass as another.
    char32_t min = 0;
    if (b0 < 0x80) {
        ++pos;
        return b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        c = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        c = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        c = b0 & 0x07;
        min = 0x10000;
    } else {
        ++pos;
        return kReplacement;
    }
    if (pos + extra >= s.size()) {
        ++pos;
        return kReplacement;
    }
    for (int k = 1; k <= extra; ++k) {
        const unsigned char b = byteAt(s, pos + k);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return kReplacement;
        }
        c = (c << 6) | (b & 0x3F);
    }
    // Surrogates have no UTF-16 form of their own to be written back as.
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos;
        return kReplacement;
    }
    pos += extra + 1;
    return c;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

} // namespace xml
