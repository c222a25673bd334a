// config.xml: load, write the settings in, reload: the second write gives
// the same bytes as the first, and what is written always reads again.
#include "settings/ConfigDocument.h"
#include "tests/fuzz/FuzzTargets.h"
#include "xml/XmlFile.h"
#include "xml/XmlWriter.h"

#include <string_view>

namespace {

// Settings as a file read them: the values it holds go back in.
TRecorderSettings settingsOf(const ConfigValues& v) {
    TRecorderSettings s;
    s.Device = v.Device;
    s.Volume = v.Volume;
    if (v.path) {
        s.SaveFolder = v.path->SaveFolder;
        s.SpecialPath = v.path->SpecialPath;
        s.Prefix = v.path->Prefix;
    }
    return s;
}

} // namespace

void fuzz::configReader(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    pugi::xml_document doc;
    const xml::LoadResult loaded = xml::loadDocument(bytes, doc);
    if (!loaded.ok)
        return;
    const TRecorderSettings settings = settingsOf(readConfig(doc.document_element()));
    writeConfig(doc.document_element(), settings);
    const std::string first = xml::writeDocument(doc, loaded.encoding);

    pugi::xml_document again;
    const xml::LoadResult reloaded = xml::loadDocument(first, again);
    // A document holding characters XML forbids is refused by the file
    // writer; anything else it writes must load.
    if (!reloaded.ok) {
        std::string error;
        FUZZ_CHECK(!xml::writeDocumentFile("/nonexistent/fuzz.xml", first, error));
        FUZZ_CHECK(error.find("refusing") != std::string::npos);
        return;
    }
    readConfig(again.document_element());
    writeConfig(again.document_element(), settings);
    FUZZ_CHECK(xml::writeDocument(again, reloaded.encoding) == first);
}
