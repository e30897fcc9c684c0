// The similarity language: the share of the search string's character
// n-grams (of two sizes) that occur in the text, in percent.
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
// bytes stay. `utf8` selects the form for raw UTF-8 bytes, where the umlauts
// are two-byte sequences and the single-byte umlaut mapping would damage
// lead bytes. At most kSimilarityMaxLength bytes of `in` are used.
void similarity_normalise(std::string_view in, bool utf8, std::string& out);

struct SimilarityPattern {
    std::string normalised;  // the normalised search string
    int second_gram = 2;     // 5 for a normalised string of more than 6 characters
};

void prepare_similarity(SimilarityPattern& p, std::string_view search, bool utf8);

// The rate (0-100) of `text`; -1 for a text too long ever to be
// similar. `scratch` holds the normalised text between calls.
double similarity_rate(const SimilarityPattern& p, std::string_view text, bool utf8,
                       std::string& scratch);

}  // namespace orbisto::pattern
