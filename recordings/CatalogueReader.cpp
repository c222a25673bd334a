// Reading recorded.xml: which files are accepted, and how the list is found
// in them.

#include "recordings/Base64.h"
#include "recordings/PropertyStream.h"
#include "recordings/TRecordFiles.h"
#include "recordings/WholeFile.h"

#include "xml/XmlFile.h"
#include "xml/XmlQuery.h"

#include <pugixml.hpp>

namespace {

// Fills the list from the root; anything short of a list element leaves it
// empty, which is still a catalogue.
CatalogueLoad Fill(const pugi::xml_node& root, std::vector<std::string>& files) {
    const pugi::xml_node property = xml::firstChildNamed(root, "Files");
    if (!property)
        return CatalogueLoad::Loaded;
    const std::string_view className = xml::firstTrimmedText(property);
    if (className.size() < 2 || className.front() != '(' ||
        className.substr(1, className.size() - 2) != "TStringList")
        return CatalogueLoad::Loaded;
    const pugi::xml_node list = xml::firstChildNamed(property, "DefinedProperties");
    if (!list)
        return CatalogueLoad::Loaded;

    std::vector<std::uint8_t> stream;
    if (!recordings::decodeBase64(xml::firstTrimmedText(list), stream))
        return CatalogueLoad::BadBase64;
    std::vector<std::string> paths;
    if (recordings::decodeProperties(stream, paths) != recordings::StreamError::None)
        return CatalogueLoad::BadStream;
    files = std::move(paths);
    return CatalogueLoad::Loaded;
}

} // namespace

std::unique_ptr<TRecordFiles> TRecordFiles::CreateFromBytes(std::string_view bytes,
                                                            CatalogueLoad* status) {
    CatalogueLoad outcome = CatalogueLoad::NoRoot;
    std::unique_ptr<TRecordFiles> result;
    pugi::xml_document doc;
    // The common loader decides the encoding from a byte-order mark or the
    // declaration, and fails for anything without a root element.
    const bool parsed = xml::loadDocument(bytes, doc).ok;
    const pugi::xml_node root = doc.document_element();
    if (parsed && root) {
        auto catalogue = std::make_unique<TRecordFiles>();
        outcome = Fill(root, catalogue->FFiles);
        if (outcome == CatalogueLoad::Loaded)
            result = std::move(catalogue);
    }
    if (status)
        *status = outcome;
    return result;
}

std::unique_ptr<TRecordFiles> TRecordFiles::CreateFromDataFile(const std::string& filename,
                                                               CatalogueLoad* status) {
    std::string bytes;
    switch (recordings::readWholeFile(filename, bytes)) {
    case recordings::ReadResult::Missing:
        if (status)
            *status = CatalogueLoad::Missing;
        return nullptr;
    case recordings::ReadResult::Failed:
        if (status)
            *status = CatalogueLoad::Unreadable;
        return nullptr;
    case recordings::ReadResult::Ok:
        break;
    }
    return CreateFromBytes(bytes, status);
}
