// libFuzzer's entry for one target, chosen when it is compiled.
#include "tests/fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TOVALINE_FUZZ_TARGET(data, size);
    return 0;
}
