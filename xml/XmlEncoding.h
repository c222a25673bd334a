#pragma once
// Character encodings of XML files on disk. Documents are parsed and built in
// UTF-8; these functions translate between that and the bytes of the file, so
// a file can be written back in the encoding it was read in.

#include <string>
#include <string_view>

namespace xml {

enum class Charset { Utf8, Utf16LE, Utf16BE, Latin1, Latin9, Windows1252, Ascii };

struct FileEncoding {
    Charset charset = Charset::Utf8;
    // Only kept for UTF-16: a UTF-8 file is always written without a BOM.
    bool byteOrderMark = false;
};

// The 8-bit or UTF-8 charset an encoding name of a declaration stands for
// (letter case ignored); false for names we do not read that way.
bool charsetByName(const std::string& name, Charset& out);

// Decides the encoding from a byte-order mark, the byte pattern of "<?" in
// UTF-16, or the encoding named in the declaration; UTF-8 without any of them.
// Returns false for an encoding named in the declaration that we cannot read.
bool detectEncoding(std::string_view bytes, FileEncoding& out, std::string& error);

// Converts file bytes in the given encoding to UTF-8, dropping a byte-order
// mark. Returns false on malformed UTF-16.
bool decodeToUtf8(std::string_view bytes, const FileEncoding& encoding, std::string& utf8,
                  std::string& error);

// True when the code point can be stored in the charset as it is; the writer
// uses character references for the others.
bool isRepresentable(char32_t codePoint, Charset charset);

// Converts UTF-8 to the file's encoding. Code points that the charset cannot
// hold must already have been replaced by the caller; any left become '?'.
std::string encodeFromUtf8(std::string_view utf8, const FileEncoding& encoding);

// Decodes one UTF-8 sequence at pos and advances pos; malformed bytes (also
// overlong forms, surrogates and values past U+10FFFF) give U+FFFD and
// advance by one.
char32_t nextCodePoint(std::string_view utf8, size_t& pos);

void appendUtf8(std::string& out, char32_t codePoint);

// A character that XML 1.0 allows in a document: tab, line feed, carriage
// return, U+0020 to U+D7FF, U+E000 to U+FFFD and U+10000 to U+10FFFF.
constexpr bool isXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

} // namespace xml
