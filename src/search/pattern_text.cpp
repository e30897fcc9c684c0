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
            case 3:  // ASCII lower plus Ä Ö Ü
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

// Values of characters without a Windows-1252 byte that would otherwise fall
// below 256, and of bytes that are not valid UTF-8.
constexpr char32_t kNoByteBase = 0x110000;
constexpr char32_t kInvalidByteBase = 0x110100;

// The character at utf8[i] and its length in bytes (one for an invalid byte).
size_t next_char(std::string_view utf8, size_t i, char32_t& value) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
        value = b;
        return 1;
    }
    char32_t cp = 0;
    const size_t len = decode_utf8_char(utf8, i, cp);
    if (len == 0) {
        value = kInvalidByteBase + b;
        return 1;
    }
    const int single = cp1252_byte_of(cp);
    value = single >= 0 ? static_cast<char32_t>(single) : cp < 256 ? kNoByteBase + cp : cp;
    return len;
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
const ByteTable& lower_german_table() {
    static const ByteTable t = make_table(3);
    return t;
}

bool to_single_bytes(std::string_view utf8, std::string& out) {
    out.clear();
    for (size_t i = 0; i < utf8.size();) {
        char32_t value = 0;
        i += next_char(utf8, i, value);
        if (value >= 256) return false;
        out.push_back(static_cast<char>(value));
    }
    return true;
}

void to_wide(std::string_view utf8, std::u32string& out) {
    out.clear();
    for (size_t i = 0; i < utf8.size();) {
        char32_t value = 0;
        i += next_char(utf8, i, value);
        out.push_back(value);
    }
}

size_t utf8_offset_of_char(std::string_view utf8, size_t index) {
    size_t i = 0;
    for (size_t chars = 0; i < utf8.size() && chars < index; ++chars) {
        char32_t value = 0;
        i += next_char(utf8, i, value);
    }
    return i;
}

std::string_view utf8_prefix_chars(std::string_view utf8, size_t max_chars) {
    if (!is_valid_utf8(utf8)) return utf8.substr(0, max_chars);
    return utf8.substr(0, utf8_offset_of_char(utf8, max_chars));
}

}  // namespace orbisto::pattern
