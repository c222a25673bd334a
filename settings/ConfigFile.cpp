#include "settings/ConfigFile.h"

#include "xml/XmlFile.h"

namespace {

bool fileExists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

} // namespace

std::filesystem::path badConfigPath(const std::filesystem::path& path) {
    std::filesystem::path bad = path;
    bad += ".bad";
    return bad;
}

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
            std::error_code ec;
            std::filesystem::copy_file(path, badConfigPath(path),
                                       std::filesystem::copy_options::overwrite_existing, ec);
            if (ec) {
                error = "cannot keep the unreadable " + path.string() + " as " +
                        badConfigPath(path).string() + ": " + ec.message();
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
