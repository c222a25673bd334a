#include "xml/XmlQuery.h"

#include <cctype>

namespace xml {

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (size_t k = 0; k < a.size(); ++k)
        if (lower(static_cast<unsigned char>(a[k])) != lower(static_cast<unsigned char>(b[k])))
            return false;
    return true;
}

pugi::xml_node firstChildNamed(const pugi::xml_node& parent, std::string_view name) {
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && sameName(c.name(), name))
            return c;
    return {};
}

pugi::xml_node firstBelowNamed(const pugi::xml_node& top, std::string_view name) {
    for (pugi::xml_node c = top.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        if (sameName(c.name(), name))
            return c;
        if (pugi::xml_node found = firstBelowNamed(c, name))
            return found;
    }
    return {};
}

pugi::xml_attribute attributeNamed(const pugi::xml_node& element, std::string_view name) {
    for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute())
        if (sameName(a.name(), name))
            return a;
    return {};
}

namespace {
template <typename IsBlank> std::string_view trimmedBy(std::string_view s, IsBlank isBlank) {
    while (!s.empty() && isBlank(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}
} // namespace

std::string_view trimmed(std::string_view s) {
    return trimmedBy(s, [](unsigned char c) { return c < 33; });
}

std::string_view trimmedSpace(std::string_view s) {
    return trimmedBy(s, [](unsigned char c) { return std::isspace(c) != 0; });
}

std::string_view firstTrimmedText(const pugi::xml_node& element) {
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_pcdata && child.type() != pugi::node_cdata)
            continue;
        if (const std::string_view t = trimmed(child.value()); !t.empty())
            return t;
    }
    return {};
}

} // namespace xml
