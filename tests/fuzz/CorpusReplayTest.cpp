// Every committed fuzz input, crashes found and fixed among them, through
// its target: no fuzzer or clang needed, only the same promises.
#include "tests/fuzz/FuzzTargets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

void replay(const char* target, void (*run)(const uint8_t*, size_t)) {
    const std::filesystem::path folder = std::filesystem::path(TOVALINE_FUZZ_CORPUS) / target;
    size_t inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        SCOPED_TRACE(entry.path().string());
        run(bytes.data(), bytes.size());
        ++inputs;
    }
    EXPECT_GT(inputs, 0u) << "no corpus for " << target;
}

TEST(FuzzCorpus, EveryInputKeepsItsTargetsPromises) {
    replay("catalogue", fuzz::catalogueReader);
    replay("config", fuzz::configReader);
    replay("xml_encoding", fuzz::xmlEncoding);
    replay("property_stream", fuzz::propertyStream);
}

} // namespace
