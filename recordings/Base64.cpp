#include "recordings/Base64.h"

#include <array>

namespace recordings {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::int8_t kSkip = -2;
constexpr std::int8_t kBad = -1;
constexpr std::int8_t kPad = 64;

constexpr std::array<std::int8_t, 256> MakeTable() {
    std::array<std::int8_t, 256> t{};
    for (auto& v : t)
        v = kBad;
    for (int k = 0; k < 64; ++k)
        t[static_cast<unsigned char>(kAlphabet[k])] = static_cast<std::int8_t>(k);
    t['='] = kPad;
    t['\t'] = t['\n'] = t['\r'] = t[' '] = kSkip;
    return t;
}

constexpr auto kTable = MakeTable();

} // namespace

std::string encodeBase64(const std::uint8_t* data, std::size_t size) {
    std::string out;
    appendBase64(data, size, out);
    return out;
}

void appendBase64(const std::uint8_t* data, std::size_t size, std::string& out) {
    out.reserve(out.size() + (size + 2) / 3 * 4);
    std::size_t k = 0;
    for (; k + 3 <= size; k += 3) {
        const std::uint32_t v = (data[k] << 16) | (data[k + 1] << 8) | data[k + 2];
        out.push_back(kAlphabet[(v >> 18) & 63]);
        out.push_back(kAlphabet[(v >> 12) & 63]);
        out.push_back(kAlphabet[(v >> 6) & 63]);
        out.push_back(kAlphabet[v & 63]);
    }
    if (size - k == 1) {
        const std::uint32_t v = data[k] << 16;
        out.push_back(kAlphabet[(v >> 18) & 63]);
        out.push_back(kAlphabet[(v >> 12) & 63]);
        out += "==";
    } else if (size - k == 2) {
        const std::uint32_t v = (data[k] << 16) | (data[k + 1] << 8);
        out.push_back(kAlphabet[(v >> 18) & 63]);
        out.push_back(kAlphabet[(v >> 12) & 63]);
        out.push_back(kAlphabet[(v >> 6) & 63]);
        out.push_back('=');
    }
}

bool decodeBase64(std::string_view text, std::vector<std::uint8_t>& out) {
    // Every three bytes take a whole group of four characters, so this is
    // room enough; written through a pointer, a long catalogue decodes
    // without a capacity check per byte.
    out.assign(text.size() / 4 * 3, 0);
    std::uint8_t* put = out.data();
    std::uint32_t quad[4];
    int filled = 0;
    int padding = 0;
    const std::size_t size = text.size();
    for (std::size_t at = 0; at < size; ++at) {
        // Whole groups of four alphabet characters, the bulk of any block,
        // skip the checks below.
        if (filled == 0 && padding == 0) {
            while (at + 4 <= size) {
                const std::int8_t a = kTable[static_cast<unsigned char>(text[at])];
                const std::int8_t b = kTable[static_cast<unsigned char>(text[at + 1])];
                const std::int8_t c = kTable[static_cast<unsigned char>(text[at + 2])];
                const std::int8_t d = kTable[static_cast<unsigned char>(text[at + 3])];
                if ((a | b | c | d) < 0 || a == kPad || b == kPad || c == kPad || d == kPad)
                    break;
                const std::uint32_t bits = (std::uint32_t(a) << 18) | (std::uint32_t(b) << 12) |
                                           (std::uint32_t(c) << 6) | std::uint32_t(d);
                *put++ = static_cast<std::uint8_t>(bits >> 16);
                *put++ = static_cast<std::uint8_t>(bits >> 8);
                *put++ = static_cast<std::uint8_t>(bits);
                at += 4;
            }
            if (at == size)
                break;
        }
        const std::int8_t v = kTable[static_cast<unsigned char>(text[at])];
        if (v == kSkip)
            continue;
        if (v == kBad)
            return false;
        if (padding > 0 && v != kPad)
            return false; // data after padding
        if (v == kPad) {
            // "=" may only fill the last one or two places of a group.
            if (filled < 2)
                return false;
            ++padding;
        }
        quad[filled++] = v == kPad ? 0 : static_cast<std::uint32_t>(v);
        if (filled == 4) {
            const std::uint32_t bits = (quad[0] << 18) | (quad[1] << 12) | (quad[2] << 6) | quad[3];
            *put++ = static_cast<std::uint8_t>(bits >> 16);
            if (padding < 2)
                *put++ = static_cast<std::uint8_t>(bits >> 8);
            if (padding < 1)
                *put++ = static_cast<std::uint8_t>(bits);
            filled = 0;
            if (padding > 0)
                padding = 3; // a group after a padded one is refused above
        }
    }
    out.resize(static_cast<std::size_t>(put - out.data()));
    return filled == 0;
}

} // namespace recordings
