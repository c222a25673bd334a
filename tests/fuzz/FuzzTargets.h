#pragma once
// The readers that take files from disk, each as a function from bytes to a
// verdict. libFuzzer drives them in the fuzz build (FuzzEntry.cpp); the
// normal suite replays the committed corpus through the same functions.
// A broken promise aborts: a crash is what both report.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

void catalogueReader(const uint8_t* data, size_t size);
void configReader(const uint8_t* data, size_t size);
void xmlEncoding(const uint8_t* data, size_t size);
void propertyStream(const uint8_t* data, size_t size);

} // namespace fuzz

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: %s does not hold\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
