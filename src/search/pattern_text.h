// Byte tables and the encoding layer in front of the pattern matchers.
//
// The four pattern languages are defined over single-byte Windows-1252 text:
// error counts, n-grams, '?' and character classes all count one byte as one
// character, and the umlaut case folding works on the bytes 196/214/220 and
// 228/246/252. Texts in memory are UTF-8, so a text is converted to
// Windows-1252 before matching whenever every character of it has a byte
// there (pure ASCII is used as it stands, without a copy). A text with
// characters outside Windows-1252 is matched as its raw UTF-8 bytes against a
// UTF-8 form of the search string that is prepared alongside; in that form a
// multi-byte character counts as several characters, which is the best a
// byte language can do with it, and umlaut folding is done on the UTF-8
// sequences instead of single bytes.
#pragma once

#include <array>
#include <cstddef>
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
// C-locale lower case: A-Z to a-z only.
const ByteTable& lower_ascii_table();
// Lower case used by the regular language on Windows-1252 bytes: A-Z and
// Ä Ö Ü (the inverse of UpperGerman).
const ByteTable& lower_german_table();

// Lower case of ASCII A-Z plus the UTF-8 forms of Ä, Ö and Ü (C3 84/96/9C to
// C3 A4/B6/BC); byte lengths stay the same.
std::string lower_german_utf8(std::string_view s);

// The bytes a matcher sees for one UTF-8 text: either the text itself (pure
// ASCII, or a text that stays UTF-8) or its Windows-1252 conversion held in
// `storage`.
struct TextBytes {
    std::string_view bytes;
    bool single_byte = true;  // bytes are Windows-1252 (or ASCII)
    std::string storage;
};

// Chooses the form of `utf8` to match. With `prefer_single` false (the search
// string itself has no Windows-1252 form) non-ASCII texts stay UTF-8.
void text_bytes(std::string_view utf8, bool prefer_single, TextBytes& out);

// Byte offset in `utf8` of its character number `index` (the size when index
// is past the end); maps a position found in a converted text back.
size_t utf8_offset_of_char(std::string_view utf8, size_t index);

// The first `max_chars` characters of a UTF-8 text (bytes when it is not
// valid UTF-8), never cutting a character.
std::string_view utf8_prefix_chars(std::string_view utf8, size_t max_chars);
// The longest prefix of at most `max_bytes` bytes that ends on a character
// boundary.
std::string_view utf8_prefix_bytes(std::string_view utf8, size_t max_bytes);

}  // namespace orbisto::pattern
