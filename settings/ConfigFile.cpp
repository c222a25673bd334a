#include "settings/ConfigFile.h"

#include "xml/XmlFile.h"

namespace {

bool fileExists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

} // namespace

Outcome<ConfigValues> readConfigFile(const std::filesystem::path& path) {
    if (!fileExists(path))
        return Result::failure(Fault::NotFound, "there is no " + path.string());
    pugi::xml_document doc;
    const xml::LoadResult loaded = xml::loadFile(path, doc);
    if (!loaded.ok)
        return Result::failure(Fault::Damaged, loaded.error);
    return readConfig(doc.document_element());
}

Result saveConfigFile(const std::filesystem::path& path, const TRecorderSettings& settings) {
    pugi::xml_document doc;
    xml::FileEncoding encoding;
    if (fileExists(path)) {
        const xml::LoadResult loaded = xml::loadFile(path, doc);
        if (loaded.ok) {
            encoding = loaded.encoding;
        } else {
            std::string why;
            if (xml::keepDamagedCopy(path, why).empty())
                return Result::failure(Fault::Io, "cannot keep a copy of the unreadable " +
                                                      path.string() + ": " + why);
            doc.reset();
        }
    }
    if (!doc.document_element())
        xml::newDocument(doc, "Config");
    writeConfig(doc.document_element(), settings);
    std::string error;
    if (!xml::saveFile(path, doc, encoding, error))
        return Result::failure(Fault::Io, error);
    return Result::success();
}
