// recorded.xml: any bytes give a catalogue or none; a catalogue written out
// reads back as the same list, byte for byte the same when written again.
#include "recordings/TRecordFiles.h"
#include "tests/fuzz/FuzzTargets.h"

#include <string_view>

void fuzz::catalogueReader(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto catalogue = TRecordFiles::CreateFromBytes(bytes);
    if (!catalogue)
        return;
    const std::string written = TRecordFiles::DataFileBytes(catalogue.get());
    const auto back = TRecordFiles::CreateFromBytes(written);
    FUZZ_CHECK(back != nullptr);
    FUZZ_CHECK(back->Files() == catalogue->Files());
    FUZZ_CHECK(TRecordFiles::DataFileBytes(back.get()) == written);
}
