#pragma once
// Our layout for the XML files the program writes: each node on a line of its
// own, one TAB per level below the root, an element holding only text on one
// line, an empty element as an empty-element tag, CR LF line ends. Line
// breaks inside a text are written as they are (a bare LF stays bare).

#include "xml/XmlEncoding.h"

#include <pugixml.hpp>
#include <string>

namespace xml {

// The bytes of the document in the given encoding. Characters the encoding
// cannot hold are written as character references in texts and attribute
// values.
std::string writeDocument(const pugi::xml_document& doc, const FileEncoding& encoding = {});

} // namespace xml
