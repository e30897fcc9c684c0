#include "fileinfo/utf16_text.h"

#include "platform/codepage.h"

namespace orbisto {

namespace {

std::uint16_t utf16_unit_at(std::span<const std::uint8_t> bytes, std::size_t i, bool big_endian) {
    const std::uint16_t a = bytes[2 * i], b = bytes[2 * i + 1];
    return big_endian ? static_cast<std::uint16_t>(a << 8 | b)
                      : static_cast<std::uint16_t>(b << 8 | a);
}

}  // namespace

std::size_t utf16_length(std::span<const std::uint8_t> bytes, bool big_endian) {
    const std::size_t units = bytes.size() / 2;
    std::size_t n = 0;
    while (n < units && utf16_unit_at(bytes, n, big_endian) != 0) ++n;
    return n;
}

std::string utf16_to_utf8(std::span<const std::uint8_t> bytes, bool big_endian) {
    const std::size_t units = utf16_length(bytes, big_endian);
    std::string out;
    out.reserve(units);
    for (std::size_t i = 0; i < units; ++i) {
        const std::uint16_t u = utf16_unit_at(bytes, i, big_endian);
        char32_t cp = u;
        if (u >= 0xD800 && u < 0xDC00) {
            const std::uint16_t low = i + 1 < units ? utf16_unit_at(bytes, i + 1, big_endian) : 0;
            if (low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            } else {
                cp = 0xFFFD;
            }
        } else if (u >= 0xDC00 && u < 0xE000) {
            cp = 0xFFFD;
        }
        append_utf8(out, cp);
    }
    return out;
}

}  // namespace orbisto
