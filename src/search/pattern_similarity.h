// The similarity language: the share of the search string's character
// n-grams (of two sizes) that occur in the text, in percent. Works on
// Windows-1252 bytes or on the characters of a text outside Windows-1252
// (see pattern_text.h), so a gram is always n characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orbisto::pattern {

// Texts are normalised up to this many characters; a text whose normalised
// length reaches it is never similar.
inline constexpr size_t kSimilarityMaxLength = 9998;

// Lower case (C locale), blanks for every byte below '0' and for : ; < = > ?
// [ ], and Ä Ö Ü (plus the code page 850 bytes 142 153 154) to ä ö ü; other
// characters stay. At most kSimilarityMaxLength characters of `in` are used.
void similarity_normalise(std::string_view in, std::string& out);
void similarity_normalise(std::u32string_view in, std::u32string& out);

template <class Ch>
struct BasicSimilarityPattern {
    std::basic_string<Ch> normalised;  // the normalised search string
    int second_gram = 2;               // 5 for a normalised string of more than 6 characters
};
using SimilarityPattern = BasicSimilarityPattern<char>;
using WideSimilarityPattern = BasicSimilarityPattern<char32_t>;

void prepare_similarity(SimilarityPattern& p, std::string_view search);
void prepare_similarity(WideSimilarityPattern& p, std::u32string_view search);

// The rate (0-100) of `text`; -1 for a text too long ever to be
// similar. `scratch` holds the normalised text between calls.
double similarity_rate(const SimilarityPattern& p, std::string_view text, std::string& scratch);
double similarity_rate(const WideSimilarityPattern& p, std::u32string_view text,
                       std::u32string& scratch);

}  // namespace orbisto::pattern
