#include "audio/lib/ffmpeg/WavHeader.h"

#include "audio/lib/LittleEndian.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace audiolib::ffmpeg {
namespace {

constexpr uint64_t kMax32 = 0xFFFFFFFF;
constexpr size_t kPlaceholderAt = 12;
constexpr uint32_t kDs64Bytes = 28; // three 64-bit sizes and an empty table

uint32_t clamp32(uint64_t v) {
    return static_cast<uint32_t>(std::min(v, kMax32));
}

WavPatch tag(uint64_t offset, const char* id, uint32_t value) {
    WavPatch p{offset, std::vector<uint8_t>(8)};
    std::memcpy(p.bytes.data(), id, 4);
    le::put32(p.bytes.data() + 4, value);
    return p;
}

WavPatch field32(uint64_t offset, uint32_t value) {
    WavPatch p{offset, std::vector<uint8_t>(4)};
    le::put32(p.bytes.data(), value);
    return p;
}

void put64(uint8_t* at, uint64_t v) {
    le::put32(at, static_cast<uint32_t>(v));
    le::put32(at + 4, static_cast<uint32_t>(v >> 32));
}

} // namespace

std::optional<WavLayout> findWavLayout(const uint8_t* head, size_t dataStart) {
    if (dataStart < 20 ||
        (std::memcmp(head, "RIFF", 4) != 0 && std::memcmp(head, "RF64", 4) != 0) ||
        std::memcmp(head + 8, "WAVE", 4) != 0)
        return std::nullopt;
    WavLayout layout;
    layout.dataStart = dataStart;
    for (size_t at = kPlaceholderAt; at + 8 <= dataStart;) {
        const uint32_t size = le::get32(head + at + 4);
        if (at == kPlaceholderAt && size >= kDs64Bytes &&
            (std::memcmp(head + at, "JUNK", 4) == 0 || std::memcmp(head + at, "ds64", 4) == 0))
            layout.placeholder = true;
        if (std::memcmp(head + at, "fact", 4) == 0 && size >= 4)
            layout.fact = at + 8;
        if (std::memcmp(head + at, "data", 4) == 0)
            return at + 8 == dataStart ? std::optional(layout) : std::nullopt;
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

bool needsRf64(const WavSizes& sizes) {
    return sizes.fileBytes - std::min<uint64_t>(sizes.fileBytes, 8) > kMax32 ||
           sizes.dataBytes > kMax32;
}

std::vector<WavPatch> wavSizePatches(const WavLayout& layout, const WavSizes& sizes) {
    const uint64_t riff = sizes.fileBytes - std::min<uint64_t>(sizes.fileBytes, 8);
    std::vector<WavPatch> patches;
    if (!layout.placeholder || !needsRf64(sizes)) {
        patches.push_back(tag(0, "RIFF", clamp32(riff)));
        if (layout.placeholder) {
            // Back from ds64 only if the file shrank; keeps its own size.
            WavPatch id{kPlaceholderAt, {'J', 'U', 'N', 'K'}};
            patches.push_back(std::move(id));
        }
        patches.push_back(field32(layout.dataStart - 4, clamp32(sizes.dataBytes)));
        if (layout.fact)
            patches.push_back(field32(*layout.fact, clamp32(sizes.frames)));
        return patches;
    }
    patches.push_back(tag(0, "RF64", static_cast<uint32_t>(kMax32)));
    WavPatch ds64{kPlaceholderAt, {'d', 's', '6', '4'}};
    patches.push_back(std::move(ds64));
    WavPatch body{kPlaceholderAt + 8, std::vector<uint8_t>(kDs64Bytes, 0)};
    put64(body.bytes.data(), riff);
    put64(body.bytes.data() + 8, sizes.dataBytes);
    put64(body.bytes.data() + 16, sizes.frames);
    patches.push_back(std::move(body));
    patches.push_back(field32(layout.dataStart - 4, static_cast<uint32_t>(kMax32)));
    if (layout.fact)
        patches.push_back(field32(*layout.fact, clamp32(sizes.frames)));
    return patches;
}

bool writeWavSizes(int fd, const WavLayout& layout, const WavSizes& sizes) {
    for (const WavPatch& p : wavSizePatches(layout, sizes)) {
        const auto n = static_cast<ssize_t>(p.bytes.size());
        if (::pwrite(fd, p.bytes.data(), p.bytes.size(), static_cast<off_t>(p.offset)) != n)
            return false;
    }
    return true;
}

} // namespace audiolib::ffmpeg
