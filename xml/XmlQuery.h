#pragma once
// Finding things in a document the way our files are read: element and
// attribute names without regard to letter case (ASCII), and texts without
// the blanks around them.

#include <pugixml.hpp>
#include <string_view>

namespace xml {

// The names are equal ignoring ASCII letter case.
bool sameName(std::string_view a, std::string_view b);

// The first child element of that name; empty when there is none.
pugi::xml_node firstChildNamed(const pugi::xml_node& parent, std::string_view name);
// The first element of that name below `top`, in document order (a parent
// before its children); empty when there is none.
pugi::xml_node firstBelowNamed(const pugi::xml_node& top, std::string_view name);
// The element's attribute of that name; empty when there is none.
pugi::xml_attribute attributeNamed(const pugi::xml_node& element, std::string_view name);

// Without the bytes below 33 (blanks and control characters) at both ends.
std::string_view trimmed(std::string_view s);
// Without white space (std::isspace) at both ends.
std::string_view trimmedSpace(std::string_view s);
// The element's first text (plain or CDATA) that is not only blanks, trimmed;
// empty when there is none.
std::string_view firstTrimmedText(const pugi::xml_node& element);

} // namespace xml
