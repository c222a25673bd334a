#include "settings/ConfigFile.h"

#include "xml/XmlFile.h"

namespace {

bool fileExists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

} // namespace

ConfigFileRead readConfigFile(const std::filesystem::path& path) {
    ConfigFileRead r;
    if (!fileExists(path))
        return r;
    pugi::xml_document doc;
    const xml::LoadResult loaded = xml::loadFile(path, doc);
    if (!loaded.ok) {
        r.state = ConfigFileState::Unreadable;
        r.error = loaded.error;
        return r;
    }
    r.state = ConfigFileState::Loaded;
    r.values = readConfig(doc.document_element());
    return r;
}

bool saveConfigFile(const std::filesystem::path& path, const TRecorderSettings& settings,
                    std::string& error) {
    pugi::xml_document doc;
    xml::FileEncoding encoding;
    if (fileExists(path)) {
        const xml::LoadResult loaded = xml::loadFile(path, doc);
        if (loaded.ok) {
            encoding = loaded.encoding;
        } else {
            std::string why;
            if (xml::keepDamagedCopy(path, why).empty()) {
                error = "cannot keep a copy of the unreadable " + path.string() + ": " + why;
                return false;
            }
            doc.reset();
        }
    }
    if (!doc.document_element())
        xml::newDocument(doc, "Config");
    writeConfig(doc.document_element(), settings);
    return xml::saveFile(path, doc, encoding, error);
}
