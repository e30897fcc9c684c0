#include "platform/codepage.h"

#include <array>
#include <cstdint>

namespace orbisto {
namespace {

// Unicode code points of Windows-1252 0x80..0x9F.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Unicode code points of code page 850 0x80..0xFF.
constexpr std::array<char16_t, 128> kCp850 = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557,
    0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB,
    0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9,
    0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0};

// Decodes one UTF-8 sequence at s[i]; returns its length, 0 when malformed
// (overlong forms, surrogates and values past U+10FFFF are malformed).
size_t decode_utf8(std::string_view s, size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    size_t len;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (s.size() - i < len) return 0;
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

int unicode_to_cp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (size_t k = 0; k < kCp1252High.size(); ++k) {
        if (kCp1252High[k] == cp) return static_cast<int>(0x80 + k);
    }
    return -1;
}

unsigned char best_fit_box(char16_t cp) {
    switch (cp) {
        case 0x2502:
        case 0x2551:
            return '|';
        case 0x2500:
        case 0x2550:
            return '-';
        case 0x2591:
        case 0x2592:
        case 0x2593:
        case 0x2588:
        case 0x2584:
        case 0x2580:
        case 0x25A0:
            return '#';
        case 0x0131:
            return 'i';
        case 0x2017:
            return '_';
        default:
            return '+';  // corners, tees and crosses
    }
}

}  // namespace

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string cp1252_to_utf8(std::string_view in) {
    std::string out;
    out.reserve(in.size() + in.size() / 8);
    for (char ch : in) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else if (c < 0xA0) {
            append_utf8(out, kCp1252High[c - 0x80]);
        } else {
            append_utf8(out, c);
        }
    }
    return out;
}

std::optional<std::string> utf8_to_cp1252(std::string_view in) {
    std::string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size();) {
        char32_t cp;
        const size_t len = decode_utf8(in, i, cp);
        if (len == 0) return std::nullopt;
        const int b = unicode_to_cp1252(cp);
        if (b < 0) return std::nullopt;
        out.push_back(static_cast<char>(b));
        i += len;
    }
    return out;
}

// True when s is valid UTF-8 and every non-ASCII code point passes accept.
template <class Accept>
static bool all_code_points(std::string_view s, Accept accept) {
    for (size_t i = 0; i < s.size();) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t cp;
        const size_t len = decode_utf8(s, i, cp);
        if (len == 0 || !accept(cp)) return false;
        i += len;
    }
    return true;
}

bool fits_cp1252(std::string_view utf8) {
    return all_code_points(utf8, [](char32_t cp) { return unicode_to_cp1252(cp) >= 0; });
}

size_t decode_utf8_char(std::string_view s, size_t i, char32_t& cp) {
    return i < s.size() ? decode_utf8(s, i, cp) : 0;
}

int cp1252_byte_of(char32_t cp) {
    return unicode_to_cp1252(cp);
}

bool is_valid_utf8(std::string_view in) {
    return all_code_points(in, [](char32_t) { return true; });
}

size_t utf8_prefix_length(std::string_view s, size_t max_bytes) {
    if (s.size() <= max_bytes) return s.size();
    size_t n = max_bytes;
    // Step back over continuation bytes to the start of the cut character.
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    return n;
}

std::string cut_utf8(std::string_view s, size_t max_bytes) {
    return std::string(s.substr(0, utf8_prefix_length(s, max_bytes)));
}

size_t stored_prefix_length(std::string_view utf8, size_t max_bytes) {
    if (utf8.size() <= max_bytes) return utf8.size();
    if (!fits_cp1252(utf8)) return utf8_prefix_length(utf8, max_bytes);
    // Valid UTF-8 here: count lead bytes up to max_bytes characters.
    size_t chars = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) continue;
        if (chars == max_bytes) return i;
        ++chars;
    }
    return utf8.size();
}

std::string cut_stored(std::string_view utf8, size_t max_bytes) {
    return std::string(utf8.substr(0, stored_prefix_length(utf8, max_bytes)));
}

bool is_ascii(std::string_view in) {
    for (char ch : in) {
        if (static_cast<unsigned char>(ch) >= 0x80) return false;
    }
    return true;
}

std::string text_to_utf8(std::string_view in) {
    if (is_valid_utf8(in)) return std::string(in);
    return cp1252_to_utf8(in);
}

unsigned char oem850_to_cp1252(unsigned char c) {
    if (c < 0x80) return c;
    const char16_t cp = kCp850[c - 0x80];
    const int b = unicode_to_cp1252(cp);
    return b >= 0 ? static_cast<unsigned char>(b) : best_fit_box(cp);
}

std::string oem850_to_cp1252(std::string_view in) {
    std::string out(in);
    for (char& ch : out) ch = static_cast<char>(oem850_to_cp1252(static_cast<unsigned char>(ch)));
    return out;
}

unsigned char upper_german_ascii(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}

std::string upper_ascii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(upper_german_ascii(static_cast<unsigned char>(c)));
    return out;
}

void upper_german_inplace(std::string& s) {
    const size_t n = s.size();
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 'a' && c <= 'z') {
            s[i] = static_cast<char>(c - 32);
        } else if (c == 0xC3 && i + 1 < n) {
            const auto d = static_cast<unsigned char>(s[i + 1]);
            if (d == 0xA4 || d == 0xB6 || d == 0xBC) {
                s[i + 1] = static_cast<char>(d - 0x20);
                ++i;
            }
        }
    }
}

std::string upper_german(std::string_view s) {
    std::string out(s);
    upper_german_inplace(out);
    return out;
}

}  // namespace orbisto
