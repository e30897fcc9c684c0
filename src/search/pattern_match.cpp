// The tests that the search engine and the output filter run per text: the
// choice of form for each text and the dispatch by language.
//
// Declared in search/search_pattern.h and search/pattern_forms.h
// (one header for the whole pattern, one file per stage).
#include <algorithm>

#include "platform/codepage.h"
#include "search/pattern_forms.h"
#include "search/search_pattern.h"

namespace orbisto {

namespace {

using namespace pattern;

// Calls fn(form, characters, converted) with the form and the characters to
// match `utf8` with: its Windows-1252 bytes when the search string and the
// text both have them (an ASCII text as it stands), else its characters.
// `converted` tells that positions must be mapped back to UTF-8 offsets.
template <class Fn>
auto with_text(SearchPattern& p, std::string_view utf8, Fn&& fn) {
    if (p.single.present) {
        if (is_ascii(utf8)) return fn(p.single, utf8, false);
        if (to_single_bytes(utf8, p.single_buffer)) {
            return fn(p.single, std::string_view(p.single_buffer), true);
        }
    }
    to_wide(utf8, p.wide_buffer);
    return fn(p.wide, std::u32string_view(p.wide_buffer), true);
}

bool is_lone_star(const SearchPattern& p) {
    return p.typed == "*";
}

template <class Ch>
bool normal(const SearchPattern& p, const BasicPatternForm<Ch>& f,
            std::basic_string_view<Ch> text) {
    if (!p.IgnoreCase) return normal_test(f.text(), f.skip, text, identity_table());
    return normal_test(f.upper(), f.skip, text, upper_german_table());
}

template <class Ch>
bool regular(SearchPattern& p, BasicPatternForm<Ch>& f, std::basic_string_view<Ch> text) {
    ensure_regular(p, f);
    return run_regular(f.regular, text, lower_german_table(), p.status);
}

double rate_of(SearchPattern& p, const PatternForm& f, std::string_view text) {
    return similarity_rate(f.similarity, text, p.similarity_buffer);
}
double rate_of(SearchPattern& p, const WidePatternForm& f, std::u32string_view text) {
    return similarity_rate(f.similarity, text, p.wide_similarity_buffer);
}

template <class Ch>
double similarity(SearchPattern& p, const BasicPatternForm<Ch>& f,
                  std::basic_string_view<Ch> text) {
    const double rate = rate_of(p, f, text);
    p.LastRate = std::max(rate, 0.0);
    if (rate >= 0) p.MaxRate = std::max(p.MaxRate, static_cast<int>(rate));
    return rate;
}

}  // namespace

bool MatchText(SearchPattern& p, std::string_view utf8) {
    if (is_lone_star(p)) return true;
    return with_text(p, utf8, [&p](auto& form, auto text, bool) {
        switch (p.mode) {
            case SearchMode::Similarity:
                if (p.characters >= 4) {
                    const double rate = similarity(p, form, text);
                    return rate >= 0 && rate >= static_cast<double>(p.FuzzyTreffer);
                }
                return normal(p, form, text);
            case SearchMode::Regular:
                return regular(p, form, text);
            default:
                return normal(p, form, text);
        }
    });
}

bool MatchFilter(SearchPattern& p, std::string_view utf8, OutputFilter filter) {
    if (is_lone_star(p)) return true;
    return with_text(p, utf8, [&](auto& form, auto text, bool) {
        return filter == OutputFilter::Regular ? regular(p, form, text) : normal(p, form, text);
    });
}

std::optional<size_t> FindApproximate(SearchPattern& p, std::string_view utf8, int max_errors,
                                      bool find_best) {
    return with_text(p, utf8, [&](auto& form, auto text, bool converted) -> std::optional<size_t> {
        int errors = p.LastErrors;
        const auto pos = find_approx(form.approx, text, max_errors, find_best, errors);
        if (!pos) return std::nullopt;
        p.LastErrors = errors;
        return converted ? utf8_offset_of_char(utf8, *pos) : *pos;
    });
}

double SimilarityRate(SearchPattern& p, std::string_view utf8) {
    return with_text(p, utf8,
                     [&p](auto& form, auto text, bool) { return similarity(p, form, text); });
}

std::optional<size_t> FindWildcard(std::string_view text, std::string_view pattern,
                                   bool ignore_case) {
    const ByteTable& fold = ignore_case ? upper_german_table() : identity_table();
    std::string term;
    std::string bytes;
    if (to_single_bytes(pattern, term)) {
        const bool ascii = is_ascii(text);
        if (ascii || to_single_bytes(text, bytes)) {
            for (char& ch : term) ch = static_cast<char>(fold[static_cast<unsigned char>(ch)]);
            const auto pos = wildcard_find(ascii ? text : std::string_view(bytes), term, fold);
            if (!pos) return std::nullopt;
            return ascii ? *pos : utf8_offset_of_char(text, *pos);
        }
    }
    std::u32string wide_term;
    std::u32string wide_text;
    to_wide(pattern, wide_term);
    to_wide(text, wide_text);
    for (char32_t& ch : wide_term) ch = folded(fold, ch);
    const auto pos = wildcard_find(std::u32string_view(wide_text), wide_term, fold);
    if (!pos) return std::nullopt;
    return utf8_offset_of_char(text, *pos);
}

}  // namespace orbisto
