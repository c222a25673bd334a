#include "xml/XmlWriter.h"

#include "xml/XmlQuery.h"

#include <string_view>

namespace xml {

namespace {

constexpr std::string_view kEol = "\r\n";

bool isTextNode(const pugi::xml_node& n) {
    return n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata;
}

class Writer {
public:
    explicit Writer(Charset charset) : charset_(charset) {}

    std::string take() { return std::move(out_); }

    void node(const pugi::xml_node& n, int depth) {
        switch (n.type()) {
        case pugi::node_element:
            element(n, depth);
            break;
        case pugi::node_pcdata:
        case pugi::node_cdata: {
            // In an element that also holds elements, the white space around
            // a text is the layout of the file it came from, not content;
            // trimming it keeps the file from growing at every save.
            std::string_view text = trimmed(n.value());
            if (text.empty())
                break;
            indent(depth);
            textNode(n, text);
            out_ += kEol;
            break;
        }
        case pugi::node_comment:
            indent(depth);
            out_ += "<!--";
            raw(n.value());
            out_ += "-->";
            out_ += kEol;
            break;
        case pugi::node_pi:
            indent(depth);
            out_ += "<?";
            raw(n.name());
            if (*n.value()) {
                out_ += ' ';
                raw(n.value());
            }
            out_ += "?>";
            out_ += kEol;
            break;
        case pugi::node_declaration:
            indent(depth);
            out_ += "<?";
            raw(n.name());
            attributes(n);
            out_ += "?>";
            out_ += kEol;
            break;
        case pugi::node_doctype:
            indent(depth);
            out_ += "<!DOCTYPE ";
            raw(n.value());
            out_ += '>';
            out_ += kEol;
            break;
        default:
            break;
        }
    }

private:
    void element(const pugi::xml_node& e, int depth) {
        indent(depth);
        out_ += '<';
        raw(e.name());
        attributes(e);
        if (!e.first_child()) {
            out_ += "/>";
            out_ += kEol;
            return;
        }
        out_ += '>';
        bool textOnly = true;
        for (pugi::xml_node c = e.first_child(); c; c = c.next_sibling())
            textOnly = textOnly && isTextNode(c);
        if (textOnly) {
            for (pugi::xml_node c = e.first_child(); c; c = c.next_sibling())
                textNode(c, c.value());
        } else {
            pugi::xml_node c = e.first_child();
            // A leading text stays on the line of the start tag.
            if (isTextNode(c)) {
                textNode(c, trimmed(c.value()));
                c = c.next_sibling();
            }
            out_ += kEol;
            for (; c; c = c.next_sibling())
                node(c, depth + 1);
            indent(depth);
        }
        out_ += "</";
        raw(e.name());
        out_ += '>';
        out_ += kEol;
    }

    void attributes(const pugi::xml_node& n) {
        for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
            out_ += ' ';
            raw(a.name());
            out_ += "=\"";
            escaped(a.value(), true);
            out_ += '"';
        }
    }

    void textNode(const pugi::xml_node& n, std::string_view text) {
        if (n.type() == pugi::node_cdata) {
            out_ += "<![CDATA[";
            raw(text);
            out_ += "]]>";
        } else {
            escaped(text, false);
        }
    }

    void indent(int depth) {
        // The root and its siblings stand at depth 0.
        out_.append(static_cast<size_t>(depth), '\t');
    }

    // Printable ASCII that needs no reference, in every charset we write.
    static bool isPlainAscii(char ch, bool attribute) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\n' || c == '\t')
            return !attribute;
        return c >= 0x20 && c < 0x80 && c != '&' && c != '<' && c != '>' &&
               !(attribute && c == '"');
    }

    // Names, comments and the like cannot hold character references.
    void raw(std::string_view s) {
        for (size_t pos = 0; pos < s.size();) {
            const char32_t c = nextCodePoint(s, pos);
            if (isRepresentable(c, charset_))
                appendUtf8(out_, c);
            else
                out_ += '?';
        }
    }

    void escaped(std::string_view s, bool attribute) {
        for (size_t pos = 0; pos < s.size();) {
            // Runs of plain ASCII are copied whole: a long text (the Base64 of
            // a large catalogue) is almost nothing else.
            size_t run = pos;
            while (run < s.size() && isPlainAscii(s[run], attribute))
                ++run;
            if (run > pos) {
                out_.append(s.substr(pos, run - pos));
                pos = run;
                continue;
            }
            const char32_t c = nextCodePoint(s, pos);
            switch (c) {
            case '&':
                out_ += "&amp;";
                continue;
            case '<':
                out_ += "&lt;";
                continue;
            case '>':
                out_ += "&gt;";
                continue;
            case '\r':
                out_ += "&#13;";
                continue;
            default:
                break;
            }
            if (attribute) {
                if (c == '"') {
                    out_ += "&quot;";
                    continue;
                }
                if (c == '\n' || c == '\t') {
                    out_ += c == '\n' ? "&#10;" : "&#9;";
                    continue;
                }
            }
            if (isRepresentable(c, charset_)) {
                appendUtf8(out_, c);
            } else {
                out_ += "&#";
                out_ += std::to_string(static_cast<unsigned long>(c));
                out_ += ';';
            }
        }
    }

    Charset charset_;
    std::string out_;
};

} // namespace

std::string writeDocument(const pugi::xml_document& doc, const FileEncoding& encoding) {
    Writer w(encoding.charset);
    for (pugi::xml_node n = doc.first_child(); n; n = n.next_sibling())
        w.node(n, 0);
    return encodeFromUtf8(w.take(), encoding);
}

} // namespace xml
