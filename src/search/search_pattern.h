// The prepared search string and the tests of the four search pattern
// languages: normal (boolean terms with wildcards), approximate (error
// tolerant), similarity (n-gram rate) and regular expressions.
//
// Encoding: the languages count characters (error counts, n-grams, '?',
// character classes), while texts in memory are UTF-8. So the search string
// is prepared twice: once as Windows-1252 bytes (when all its characters
// exist there) and once as characters (pattern_text.h). A text is matched as
// Windows-1252 bytes when the search string has that form and every
// character of the text has a byte there (pure ASCII is used in place, with
// no copy, since a search tests a million names); any other text is matched
// as characters against the character form. Both forms give the same
// results on the same text. Positions returned are byte offsets into the
// UTF-8 text passed in.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "search/pattern_approx.h"
#include "search/pattern_normal.h"
#include "search/pattern_regular.h"
#include "search/pattern_similarity.h"
#include "search/pattern_text.h"
#include "settings/settings.h"

namespace orbisto {

// The search string buffer: at most 127 characters and a NUL.
inline constexpr size_t kSearchTextSize = 128;

// The search string compiled for one form: Windows-1252 bytes (char) or
// characters (char32_t).
template <class Ch>
struct BasicPatternForm {
    bool present = false;
    std::basic_string<Ch> SearchText;       // at most 127 characters
    std::basic_string<Ch> SearchTextUpper;  // SearchText through UpperGerman
    bool HasWildcard = false;               // of the active string
    pattern::BasicSkipTable<Ch> skip;
    pattern::ApproxPattern approx;
    pattern::BasicSimilarityPattern<Ch> similarity;
    pattern::BasicRegularProgram<std::conditional_t<sizeof(Ch) == 1, uint8_t, uint32_t>> regular;
    bool regular_ready = false;

    std::basic_string_view<Ch> text() const { return SearchText; }
    std::basic_string_view<Ch> upper() const { return SearchTextUpper; }
};
using PatternForm = BasicPatternForm<char>;
using WidePatternForm = BasicPatternForm<char32_t>;

struct SearchPattern {
    // Set by the caller before preparing.
    SearchMode mode = SearchMode::Normal;
    bool IgnoreCase = true;
    int FuzzyTreffer = 100;   // similarity threshold in percent
    int FuzzyToleranz = 100;  // kept with the settings; no test depends on it
    // Receives the regular-expression compile messages (the status line).
    pattern::StatusReport status;
    // The first message of compiling the regular pattern of the last
    // prepared string; empty when it compiled without one.
    std::string regular_problem;

    // Filled by preparing.
    std::string typed;      // the prepared search string, UTF-8
    size_t characters = 0;  // its length in characters
    PatternForm single;     // Windows-1252 form (absent when not representable)
    WidePatternForm wide;   // character form

    // Results of the last tests.
    int LastErrors = 0;     // error count of the last approximate match
    int MaxRate = 0;        // best similarity rate of this run (integer percent)
    double LastRate = 0.0;  // similarity rate of the last text

    // Work buffers reused between texts.
    std::string single_buffer;
    std::u32string wide_buffer;
    std::string similarity_buffer;
    std::u32string wide_similarity_buffer;
};

// A search string that cannot be used: the message box text and title.
struct PatternError {
    std::string text;
    std::string title;
};

// The search string as the languages see it: cut to 127 characters, a
// leading '*' dropped (a lone "*" becomes "?") and one trailing '*' dropped.
// Empty when nothing is left to search for ("**", for example).
std::string TrimSearchString(std::string_view utf8);

// Prepares `utf8` (cut to 127 characters) for a search run with the mode,
// case option and threshold already set in `p`: a leading '*' is dropped (a
// lone "*" becomes "?"), one trailing '*' is dropped, the upper-case copy and
// the skip table are built, the approximate pattern is compiled, and in the
// regular mode the byte code. Returns the error to show when the mode is
// approximate and the pattern does not compile; nothing runs then.
std::optional<PatternError> PrepareSearchString(SearchPattern& p, std::string_view utf8,
                                                bool english);

// Prepares the output filter string the same way, but keeps a trailing '*';
// `p.IgnoreCase` holds the output page's case option.
void PrepareFilterString(SearchPattern& p, std::string_view utf8);

// Resets the per-run similarity maximum.
inline void ResetSearchRun(SearchPattern& p) {
    p.MaxRate = 0;
}

// The search engine's test of one text (modes other than approximate).
bool MatchText(SearchPattern& p, std::string_view utf8);

// The output filter's test: OutputFilter::Regular the regular language, else the normal one.
bool MatchFilter(SearchPattern& p, std::string_view utf8, OutputFilter filter);

// Approximate search with at most `max_errors` errors; sets p.LastErrors.
// Returns the byte offset of the character at which the match ends.
std::optional<size_t> FindApproximate(SearchPattern& p, std::string_view utf8, int max_errors,
                                      bool find_best);

// Similarity rate of one text in percent; updates p.MaxRate and p.LastRate.
// Returns -1 for a text too long to be compared.
double SimilarityRate(SearchPattern& p, std::string_view utf8);

// The wildcard term test as a general search: the byte offset in `text` at
// which the occurrence of the pattern's last '*'-separated segment begins.
std::optional<size_t> FindWildcard(std::string_view text, std::string_view pattern,
                                   bool ignore_case);

}  // namespace orbisto
