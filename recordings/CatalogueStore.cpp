#include "recordings/CatalogueStore.h"

#include "recordings/Base64.h"
#include "recordings/PropertyStream.h"
#include "recordings/WholeFile.h"
#include "xml/XmlFile.h"
#include "xml/XmlQuery.h"

#include <pugixml.hpp>

namespace recordings {

namespace {

// True when some list element of the file holds paths, or text that does not
// decode, whether or not the reader accepted where it stands: the reading
// rules decide what is listed, never what is destroyed.
bool holdsListData(std::string_view bytes) {
    pugi::xml_document doc;
    if (!xml::loadDocument(bytes, doc).ok)
        return false;
    return doc.find_node([](const pugi::xml_node& node) {
        if (node.type() != pugi::node_element || !xml::sameName(node.name(), "DefinedProperties"))
            return false;
        const std::string_view text = xml::firstTrimmedText(node);
        if (text.empty())
            return false;
        std::vector<std::uint8_t> stream;
        std::vector<std::string> paths;
        return !decodeBase64(text, stream) ||
               decodeProperties(stream, paths) != StreamError::None || !paths.empty();
    }) != pugi::xml_node();
}

} // namespace

std::unique_ptr<TRecordFiles> openCatalogue(const std::string& path) {
    std::string bytes;
    const ReadResult read = readWholeFile(path, bytes);
    if (read == ReadResult::Missing)
        return std::make_unique<TRecordFiles>();
    CatalogueLoad status = CatalogueLoad::Unreadable;
    std::unique_ptr<TRecordFiles> catalogue;
    if (read == ReadResult::Ok)
        catalogue = TRecordFiles::CreateFromBytes(bytes, &status);
    const bool lost = !catalogue ? !bytes.empty() || read == ReadResult::Failed
                                 : catalogue->Files().empty() && holdsListData(bytes);
    // The file is rewritten at exit; whatever it held that is not listed
    // survives in a copy of its own. A copy that cannot be made changes
    // nothing here: the run goes on with what could be read.
    if (lost) {
        std::string error;
        xml::keepDamagedCopy(path, error);
    }
    return catalogue ? std::move(catalogue) : std::make_unique<TRecordFiles>();
}

} // namespace recordings
