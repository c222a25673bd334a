// Writing recorded.xml. The layout comes from the common XML writer; what is
// ours is the list element's text: the Base64 of the property stream in lines
// of 76 characters, each after a bare LF and the element's two TABs.

#include "recordings/Base64.h"
#include "recordings/PropertyStream.h"
#include "recordings/TRecordFiles.h"
#include "xml/XmlFile.h"
#include "xml/XmlWriter.h"

#include <algorithm>

namespace {

// 57 bytes make 76 characters; being a multiple of 3, each line encodes on
// its own exactly as it stands in the Base64 of the whole stream.
constexpr std::size_t kBytesPerLine = 57;
constexpr std::string_view kLineBreak = "\n\t\t";

std::string listText(const std::vector<std::uint8_t>& stream) {
    const std::size_t lines = (stream.size() + kBytesPerLine - 1) / kBytesPerLine;
    std::string text;
    text.reserve((stream.size() + 2) / 3 * 4 + (lines + 1) * kLineBreak.size());
    for (std::size_t at = 0; at < stream.size(); at += kBytesPerLine) {
        text += kLineBreak;
        recordings::appendBase64(stream.data() + at, std::min(kBytesPerLine, stream.size() - at),
                                 text);
    }
    text += kLineBreak;
    return text;
}

} // namespace

std::string TRecordFiles::DataFileBytes(const TRecordFiles* obj) {
    pugi::xml_document doc;
    pugi::xml_node root = xml::newDocument(doc, "Files");
    if (obj) {
        pugi::xml_node property = root.append_child("Files");
        property.append_child(pugi::node_pcdata).set_value("(TStringList)");
        const std::vector<std::uint8_t> stream = recordings::encodeStringsProperty(obj->FFiles);
        if (!stream.empty()) {
            const std::string text = listText(stream);
            property.append_child("DefinedProperties")
                .append_child(pugi::node_pcdata)
                .set_value(text.data(), text.size());
        }
    }
    return xml::writeDocument(doc);
}

std::string TRecordFiles::SaveDataFile(const std::string& filename, const TRecordFiles* obj) {
    std::string error;
    if (!xml::writeDocumentFile(filename, DataFileBytes(obj), error) && error.empty())
        error = "cannot write " + filename;
    return error;
}
