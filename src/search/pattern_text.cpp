#include "search/pattern_text.h"

#include "platform/codepage.h"

namespace orbisto::pattern {
namespace {

ByteTable make_table(int kind) {
    ByteTable t{};
    for (int c = 0; c < 256; ++c) {
        int v = c;
        const bool lower = c >= 'a' && c <= 'z';
        const bool upper = c >= 'A' && c <= 'Z';
        switch (kind) {
            case 1:  // UpperGerman
                if (lower) v = c - 32;
                if (c == 228 || c == 246 || c == 252) v = c - 32;
                break;
            case 2:  // ASCII upper
                if (lower) v = c - 32;
                break;
            case 3:  // ASCII lower
                if (upper) v = c + 32;
                break;
            case 4:  // ASCII lower plus Ä Ö Ü
                if (upper) v = c + 32;
                if (c == 196 || c == 214 || c == 220) v = c + 32;
                break;
            default:
                break;
        }
        t[static_cast<size_t>(c)] = static_cast<unsigned char>(v);
    }
    return t;
}

bool is_continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

}  // namespace

const ByteTable& identity_table() {
    static const ByteTable t = make_table(0);
    return t;
}
const ByteTable& upper_german_table() {
    static const ByteTable t = make_table(1);
    return t;
}
const ByteTable& upper_ascii_table() {
    static const ByteTable t = make_table(2);
    return t;
}
const ByteTable& lower_ascii_table() {
    static const ByteTable t = make_table(3);
    return t;
}
const ByteTable& lower_german_table() {
    static const ByteTable t = make_table(4);
    return t;
}

std::string lower_german_utf8(std::string_view s) {
    std::string out(s);
    for (size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c + 32);
        } else if (c == 0xC3 && i + 1 < out.size()) {
            const auto n = static_cast<unsigned char>(out[i + 1]);
            if (n == 0x84 || n == 0x96 || n == 0x9C) out[i + 1] = static_cast<char>(n + 0x20);
            ++i;
        }
    }
    return out;
}

void text_bytes(std::string_view utf8, bool prefer_single, TextBytes& out) {
    out.bytes = utf8;
    out.single_byte = true;
    if (is_ascii(utf8)) return;
    if (prefer_single) {
        if (auto cp = utf8_to_cp1252(utf8)) {
            out.storage = std::move(*cp);
            out.bytes = out.storage;
            return;
        }
    }
    out.single_byte = false;
}

size_t utf8_offset_of_char(std::string_view utf8, size_t index) {
    size_t chars = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (is_continuation(static_cast<unsigned char>(utf8[i]))) continue;
        if (chars == index) return i;
        ++chars;
    }
    return utf8.size();
}

std::string_view utf8_prefix_chars(std::string_view utf8, size_t max_chars) {
    if (!is_valid_utf8(utf8)) return utf8.substr(0, max_chars);
    return utf8.substr(0, utf8_offset_of_char(utf8, max_chars));
}

std::string_view utf8_prefix_bytes(std::string_view utf8, size_t max_bytes) {
    if (utf8.size() <= max_bytes) return utf8;
    size_t end = max_bytes;
    while (end > 0 && is_continuation(static_cast<unsigned char>(utf8[end]))) --end;
    return utf8.substr(0, end);
}

}  // namespace orbisto::pattern
