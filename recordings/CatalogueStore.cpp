#include "recordings/CatalogueStore.h"

#include "recordings/Base64.h"
#include "recordings/CatalogueMerge.h"
#include "recordings/FileLock.h"
#include "recordings/PropertyStream.h"
#include "recordings/WholeFile.h"
#include "xml/XmlFile.h"
#include "xml/XmlQuery.h"

#include <pugixml.hpp>

#include <chrono>

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

// The list the file holds, or none when it is missing, cannot be read or is
// damaged. A damaged file is copied aside first: it is about to be
// rewritten, and whatever it held that is not listed survives in a copy of
// its own. A copy that cannot be made changes nothing here: the run goes on
// with what could be read.
std::unique_ptr<TRecordFiles> readStored(const std::string& path) {
    std::string bytes;
    const ReadResult read = readWholeFile(path, bytes);
    if (read == ReadResult::Missing)
        return nullptr;
    std::unique_ptr<TRecordFiles> catalogue;
    if (read == ReadResult::Ok)
        catalogue = TRecordFiles::CreateFromBytes(bytes);
    const bool lost = !catalogue ? !bytes.empty() || read == ReadResult::Failed
                                 : catalogue->Files().empty() && holdsListData(bytes);
    if (lost) {
        std::string error;
        xml::keepDamagedCopy(path, error);
        return nullptr;
    }
    return catalogue;
}

// Long enough for any other copy's read, merge and write; a copy that holds
// the lock longer is stuck, and must not keep this one from saving its list.
constexpr std::chrono::milliseconds kLockWait{2000};

} // namespace

std::unique_ptr<TRecordFiles> openCatalogue(const std::string& path) {
    auto catalogue = readStored(path);
    return catalogue ? std::move(catalogue) : std::make_unique<TRecordFiles>();
}

CatalogueStore::CatalogueStore(std::string path) : FPath(std::move(path)) {}

std::unique_ptr<TRecordFiles> CatalogueStore::open() {
    auto catalogue = openCatalogue(FPath);
    FSeen = catalogue->Files();
    return catalogue;
}

Result CatalogueStore::save(TRecordFiles& list) {
    const FileLock lock(FPath + ".lock", kLockWait);
    // A file that is gone or unreadable tells nothing of other copies: this
    // copy's list is written as it stands.
    const std::unique_ptr<TRecordFiles> stored = readStored(FPath);
    TRecordFiles merged;
    merged.Files() = mergeCatalogue(FSeen, list.Files(), stored ? stored->Files() : FSeen);
    const std::string error = TRecordFiles::SaveDataFile(FPath, &merged);
    if (!error.empty())
        return Result::failure(Fault::Io, error);
    FSeen = merged.Files();
    list.Files() = std::move(merged.Files());
    return Result::success();
}

} // namespace recordings
