// Text encodings shared with Windows peers: Windows-1252, the DOS code page 850,
// UTF-8 detection and the German upper-case folding used wherever names are
// compared without case. Texts in memory are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orbisto {

// Windows-1252 bytes to UTF-8. Every byte maps (the five unassigned bytes
// become the C1 controls U+0081 etc.), so the conversion is lossless.
std::string cp1252_to_utf8(std::string_view in);

// Appends a code point to a UTF-8 text.
void append_utf8(std::string& out, char32_t cp);

// UTF-8 to Windows-1252; nullopt when a character has no Windows-1252 byte
// or the input is not valid UTF-8.
std::optional<std::string> utf8_to_cp1252(std::string_view in);

// True when every character of the UTF-8 text has a Windows-1252 byte.
bool fits_cp1252(std::string_view utf8);

bool is_valid_utf8(std::string_view in);

// Decodes the UTF-8 character at s[i] into cp; returns its length in bytes,
// 0 when the bytes there are not valid UTF-8.
size_t decode_utf8_char(std::string_view s, size_t i, char32_t& cp);
// The Windows-1252 byte of a code point, -1 when it has none.
int cp1252_byte_of(char32_t cp);

// The length of the longest prefix of s of at most max_bytes bytes that does
// not end inside a UTF-8 character.
size_t utf8_prefix_length(std::string_view s, size_t max_bytes);
// s cut to at most max_bytes bytes without splitting a character.
std::string cut_utf8(std::string_view s, size_t max_bytes);
// The longest prefix of a UTF-8 text that a stored text field of max_bytes
// bytes (without its NUL) holds. A text whose every character has a
// Windows-1252 byte is stored in Windows-1252, so it is counted in
// characters; any other text is stored as UTF-8 and counted in bytes.
size_t stored_prefix_length(std::string_view utf8, size_t max_bytes);
std::string cut_stored(std::string_view utf8, size_t max_bytes);
bool is_ascii(std::string_view in);

// The reading rule for texts of unknown origin: valid UTF-8 is taken as it
// is, anything else is Windows-1252.
std::string text_to_utf8(std::string_view in);

// One byte of DOS code page 850 to its Windows-1252 byte; characters with no
// Windows-1252 form (box drawing, shades) get the nearest ASCII look-alike.
unsigned char oem850_to_cp1252(unsigned char c);
std::string oem850_to_cp1252(std::string_view in);

// Upper case of ASCII a-z plus the UTF-8 forms of ä, ö and ü. Byte lengths
// stay the same, so byte offsets found in the folded copy hold in the original.
void upper_german_inplace(std::string& s);
std::string upper_german(std::string_view s);
unsigned char upper_german_ascii(unsigned char c);
// Upper case of ASCII a-z only; every other byte stays as it is.
std::string upper_ascii(std::string_view s);

// The value of a hex digit (either case); -1 for any other character.
inline int hex_digit_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace orbisto
