#pragma once
// Reading and writing whole XML files. A file is read in the encoding its
// byte-order mark or declaration names and remembers it, so it can be written
// back the same way. Writing replaces the file atomically: a failed or
// interrupted write never leaves a truncated file behind.

#include "xml/XmlEncoding.h"

#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace xml {

struct LoadResult {
    bool ok = false;
    std::string error;
    FileEncoding encoding;
};

// Options for every document we read: declarations, comments, processing
// instructions and a document type are kept so a save writes them back; a
// text of white space alone is kept only when it is an element's whole content.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration |
                                   pugi::parse_comments | pugi::parse_pi | pugi::parse_doctype |
                                   pugi::parse_ws_pcdata_single;

// Succeeds only for a well-formed document with a root element.
LoadResult loadDocument(std::string_view bytes, pugi::xml_document& doc);
LoadResult loadFile(const std::filesystem::path& path, pugi::xml_document& doc);

// A new document holding <?xml version="1.0" encoding="UTF-8"?> and an empty
// root element of the given name; returns the root.
pugi::xml_node newDocument(pugi::xml_document& doc, const char* rootName);

// Writes the bytes to a temporary file in the same folder and renames it over
// path. The old file keeps its content when anything fails. A symbolic link
// at path is written through: its target is replaced, the link stays.
bool writeFileAtomic(const std::filesystem::path& path, std::string_view bytes, std::string& error);

// writeFileAtomic for a document's bytes, refused (with the reason in error)
// when they would not parse back: a file we write must always read again.
bool writeDocumentFile(const std::filesystem::path& path, std::string_view bytes,
                       std::string& error);

// Copies a file we cannot use to "<path>.bad", or "<path>.2.bad", ".3.bad"
// and so on when earlier copies exist: a copy is never overwritten. The copy's
// name, or empty with the reason in error.
std::filesystem::path keepDamagedCopy(const std::filesystem::path& path, std::string& error);

bool saveFile(const std::filesystem::path& path, const pugi::xml_document& doc,
              const FileEncoding& encoding, std::string& error);

} // namespace xml
