// Byte tables and the encoding layer in front of the pattern matchers.
//
// The four pattern languages are defined over single-byte Windows-1252 text:
// error counts, n-grams, '?' and character classes all count one byte as one
// character, and the umlaut case folding works on the bytes 196/214/220 and
// 228/246/252. Texts in memory are UTF-8, so a text is converted to
// Windows-1252 before matching whenever every character of it has a byte
// there (pure ASCII is used as it stands, without a copy).
//
// A text with a character outside Windows-1252 is matched as a sequence of
// characters instead (char32_t, one value per character), so that '?', error
// counts and n-grams still count characters. Its values are chosen so that
// every byte table applies unchanged: a character with a Windows-1252 byte
// has that byte's value (0-255), every other character a value of 256 or
// more (its code point; for the C1 controls, which have none, 0x110000 plus
// the code point; for a byte that is not valid UTF-8, 0x110100 plus the
// byte). No case folding, named class or normalisation touches those values,
// and a pattern names them by containing the same character.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orbisto::pattern {

using ByteTable = std::array<unsigned char, 256>;

// Every byte to itself.
const ByteTable& identity_table();
// UpperGerman on Windows-1252 bytes: a-z to A-Z, ä ö ü to Ä Ö Ü.
const ByteTable& upper_german_table();
// C-locale upper case: a-z to A-Z only.
const ByteTable& upper_ascii_table();
// Lower case used by the regular language on Windows-1252 bytes: A-Z and
// Ä Ö Ü (the inverse of UpperGerman).
const ByteTable& lower_german_table();

// The value of one character of either form: bytes are unsigned.
inline std::uint32_t char_value(char c) {
    return static_cast<unsigned char>(c);
}
inline std::uint32_t char_value(char32_t c) {
    return c;
}

// A character through a byte table; values of 256 and more stay as they are.
inline std::uint32_t folded(const ByteTable& t, char c) {
    return t[static_cast<unsigned char>(c)];
}
inline std::uint32_t folded(const ByteTable& t, char32_t c) {
    return c < 256 ? t[c] : c;
}

// The Windows-1252 bytes of a UTF-8 text into `out`; false (and `out`
// unspecified) when a character has no byte there or the text is not valid
// UTF-8.
bool to_single_bytes(std::string_view utf8, std::string& out);

// The characters of a UTF-8 text as described above.
void to_wide(std::string_view utf8, std::u32string& out);

// Byte offset in `utf8` of its character number `index` (the size when index
// is past the end), counting characters as to_wide does; maps a position
// found in a converted text back.
size_t utf8_offset_of_char(std::string_view utf8, size_t index);

// The first `max_chars` characters of a UTF-8 text (bytes when it is not
// valid UTF-8), never cutting a character.
std::string_view utf8_prefix_chars(std::string_view utf8, size_t max_chars);

}  // namespace orbisto::pattern
