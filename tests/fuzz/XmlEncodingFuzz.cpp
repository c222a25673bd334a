// The XML layer's encoding detection and conversion: whatever it decodes
// converts to a UTF-8 text that, written back in the same encoding and
// decoded again, is unchanged wherever the encoding can hold it.
#include "tests/fuzz/FuzzTargets.h"
#include "xml/XmlEncoding.h"

#include <string>
#include <string_view>

void fuzz::xmlEncoding(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    xml::FileEncoding encoding;
    std::string error;
    if (!xml::detectEncoding(bytes, encoding, error))
        return;
    std::string utf8;
    if (!xml::decodeToUtf8(bytes, encoding, utf8, error))
        return;
    // Only what the charset holds survives the way back as it is.
    std::string representable;
    for (size_t pos = 0; pos < utf8.size();) {
        const char32_t c = xml::nextCodePoint(utf8, pos);
        xml::appendUtf8(representable, xml::isRepresentable(c, encoding.charset) ? c : U'?');
    }
    const std::string encoded = xml::encodeFromUtf8(representable, encoding);
    std::string back;
    FUZZ_CHECK(xml::decodeToUtf8(encoded, encoding, back, error));
    FUZZ_CHECK(back == representable);
}
