// The normal search language: a plain substring search through a
// Boyer-Moore-Horspool skip table, or boolean terms with the wildcards '*'
// and '?', evaluated strictly left to right. Works on Windows-1252 bytes or
// on the characters of a text outside Windows-1252 (see pattern_text.h);
// the caller chooses the case folding applied to the text side.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "search/pattern_text.h"

namespace orbisto::pattern {

// Marks the entry of the pattern's last character in the skip table.
inline constexpr int32_t kSkipSentinel = INT32_MAX;
// A term is held in a 40-byte buffer: at most 39 characters take part.
inline constexpr size_t kMaxTermLength = 39;

// The shifts are indexed by a character's low eight bits: for bytes that is
// the byte; characters that share an entry keep the smallest shift, and the
// last character is compared in full before the rest.
template <class Ch>
struct BasicSkipTable {
    std::array<int32_t, 256> shift{};
    // Shift after a mismatch once the last character matched: the distance
    // from the rightmost earlier occurrence of the last character to the end
    // (m if none).
    int32_t guard = 0;
    std::basic_string<Ch> needle;
};
using SkipTable = BasicSkipTable<char>;
using WideSkipTable = BasicSkipTable<char32_t>;

void build_skip_table(SkipTable& table, std::string_view needle);
void build_skip_table(WideSkipTable& table, std::u32string_view needle);

// True when the table's needle occurs in `text`, each text character passed
// through `fold` first. A text shorter than the needle never matches.
bool skip_search(const SkipTable& table, std::string_view text, const ByteTable& fold);
bool skip_search(const WideSkipTable& table, std::u32string_view text, const ByteTable& fold);

// The wildcard term test. Returns where the occurrence of the term's last
// '*'-separated segment begins (0 when the term equals the whole text,
// ignoring the case of A-Z); nullopt when the term is not found. An empty term
// is never found.
std::optional<size_t> wildcard_find(std::string_view text, std::string_view term,
                                    const ByteTable& fold);
std::optional<size_t> wildcard_find(std::u32string_view text, std::u32string_view term,
                                    const ByteTable& fold);

bool has_wildcard(std::string_view s);
bool has_wildcard(std::u32string_view s);

// The full normal-language test of the active string `s` (whose skip table
// is `table`) against one text.
bool normal_test(std::string_view s, const SkipTable& table, std::string_view text,
                 const ByteTable& fold);
bool normal_test(std::u32string_view s, const WideSkipTable& table, std::u32string_view text,
                 const ByteTable& fold);

}  // namespace orbisto::pattern
