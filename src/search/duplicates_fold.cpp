// The case folding of the duplicate search. Names are UTF-8; every letter with
// a two-byte UTF-8 form whose upper case also has a two-byte form is folded
// to that upper case, so the folded name keeps the byte length of the name.
//
// Declared in search/duplicates.h (with the duplicate search that uses it).
#include <cmath>

#include "search/duplicates.h"
#include "search/search_context.h"

namespace orbisto {

namespace {

// Upper case of a code point in U+0080 .. U+07FF, or the code point itself.
std::uint32_t upper_two_byte(std::uint32_t c) {
    // Latin-1: à .. þ (not ÷), and ÿ.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    if (c == 0xFF) return 0x178;
    // Latin Extended-A: pairs of upper and lower case. ı, İ, ĸ, ŉ and ſ
    // have no partner of their own and stay.
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) {
        return c & ~1u;
    }
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
        return (c & 1u) ? c : c - 1;
    }
    // Greek: α .. ω with the final sigma, and the accented small letters.
    if (c == 0x3C2) return 0x3A3;
    if (c >= 0x3B1 && c <= 0x3CB) return c - 0x20;
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
    if (c == 0x3CC) return 0x38C;
    if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
    // Cyrillic: а .. я and ѐ .. џ.
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    return c;
}

}  // namespace

void fold_duplicate_name_append(std::string_view name, std::string& out) {
    const std::size_t n = name.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto b0 = static_cast<unsigned char>(name[i]);
        if (b0 < 0x80) {
            out.push_back(b0 >= 'a' && b0 <= 'z' ? static_cast<char>(b0 - 0x20)
                                                 : static_cast<char>(b0));
            continue;
        }
        if (b0 >= 0xC2 && b0 <= 0xDF && i + 1 < n) {
            const auto b1 = static_cast<unsigned char>(name[i + 1]);
            if ((b1 & 0xC0) == 0x80) {
                const std::uint32_t c = upper_two_byte(((b0 & 0x1Fu) << 6) | (b1 & 0x3Fu));
                out.push_back(static_cast<char>(0xC0 | (c >> 6)));
                out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
                ++i;
                continue;
            }
        }
        // Lead bytes of longer sequences, their continuation bytes and
        // invalid bytes stay as they are.
        out.push_back(static_cast<char>(b0));
    }
}

std::string fold_duplicate_name(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    fold_duplicate_name_append(name, out);
    return out;
}

bool duplicate_sizes_match(float a, float b) {
    // The difference is taken in 32-bit floats, as the sizes are stored.
    const float d = a - b;
    return std::fabs(d) < 0.001;
}

}  // namespace orbisto
