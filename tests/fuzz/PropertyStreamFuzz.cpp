// The property stream inside recorded.xml: any bytes decode to a list or an
// error; a list encodes to a stream that decodes to the same list.
#include "recordings/PropertyStream.h"
#include "tests/fuzz/FuzzTargets.h"

#include <string>
#include <vector>

void fuzz::propertyStream(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    std::vector<std::string> paths;
    if (recordings::decodeProperties(bytes, paths) != recordings::StreamError::None)
        return;
    const std::vector<uint8_t> stream = recordings::encodeStringsProperty(paths);
    std::vector<std::string> back;
    FUZZ_CHECK(recordings::decodeProperties(stream, back) == recordings::StreamError::None);
    FUZZ_CHECK(back == paths);
    FUZZ_CHECK(recordings::encodeStringsProperty(back) == stream);
}
