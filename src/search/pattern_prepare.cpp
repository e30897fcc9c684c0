// Preparing the search string: star trimming, the Windows-1252 and the
// character form, the upper-case copies, skip tables and compiled patterns.
//
// Declared in search/search_pattern.h and search/pattern_forms.h
// (one header for the whole pattern, one file per stage).
#include <algorithm>

#include "platform/codepage.h"
#include "search/pattern_forms.h"
#include "search/search_pattern.h"
#include "settings/lang.h"

namespace orbisto {
namespace {

using namespace pattern;

std::string trimmed(std::string_view utf8, bool drop_trailing_star) {
    std::string s(utf8_prefix_chars(utf8, kSearchTextSize - 1));
    if (!s.empty() && s[0] == '*') {
        if (s.size() > 1) {
            s.erase(0, 1);
        } else {
            s = "?";
        }
    }
    if (drop_trailing_star && !s.empty() && s.back() == '*') s.pop_back();
    return s;
}

template <class Ch>
void fill_form(BasicPatternForm<Ch>& f, std::basic_string_view<Ch> chars, bool ignore_case) {
    f = BasicPatternForm<Ch>{};
    f.present = true;
    f.SearchText.assign(chars.substr(0, kSearchTextSize - 1));
    f.SearchTextUpper = f.SearchText;
    for (Ch& c : f.SearchTextUpper) c = static_cast<Ch>(folded(upper_german_table(), c));
    const std::basic_string_view<Ch> active = ignore_case ? f.upper() : f.text();
    f.HasWildcard = has_wildcard(active);
    build_skip_table(f.skip, active);
    prepare_similarity(f.similarity, active);
    compile_approx(f.approx, f.text(), ignore_case);
}

void build_forms(SearchPattern& p, std::string s) {
    p.typed = std::move(s);
    p.regular_problem.clear();
    p.single = PatternForm{};
    std::string bytes;
    if (to_single_bytes(p.typed, bytes)) {
        fill_form(p.single, std::string_view(bytes), p.IgnoreCase);
    }
    std::u32string chars;
    to_wide(p.typed, chars);
    p.characters = chars.size();
    fill_form(p.wide, std::u32string_view(chars), p.IgnoreCase);
    p.LastRate = 0.0;
}

template <class Ch>
void compile_form_regular(SearchPattern& p, BasicPatternForm<Ch>& f, bool primary) {
    if (f.regular_ready) return;
    f.regular_ready = true;
    const std::basic_string_view<Ch> active = p.IgnoreCase ? f.upper() : f.text();
    // Messages come from the form the user's string is read in; the twin
    // stays quiet.
    const StatusReport quiet;
    const StatusReport noted = [&p](std::string_view message) {
        if (p.regular_problem.empty()) p.regular_problem = std::string(message);
        if (p.status) p.status(message);
    };
    compile_regular(f.regular, active, lower_german_table(), primary ? noted : quiet);
}

}  // namespace

namespace pattern {

void ensure_regular(SearchPattern& p, PatternForm& f) {
    compile_form_regular(p, f, true);
}
void ensure_regular(SearchPattern& p, WidePatternForm& f) {
    compile_form_regular(p, f, !p.single.present);
}

}  // namespace pattern

std::string TrimSearchString(std::string_view utf8) {
    return trimmed(utf8, true);
}

std::optional<PatternError> PrepareSearchString(SearchPattern& p, std::string_view utf8,
                                                bool english) {
    build_forms(p, TrimSearchString(utf8));
    if (p.mode == SearchMode::Regular) {
        if (p.single.present) {
            pattern::ensure_regular(p, p.single);
        } else {
            pattern::ensure_regular(p, p.wide);
        }
    }
    // Both forms read the same tokens, so they agree on validity.
    if (p.mode == SearchMode::Approximate && !p.wide.approx.valid) {
        return PatternError{tr(english, "Suchbegriff falsch", "illegal search string"),
                            tr(english, "Fehler!", "error!")};
    }
    return std::nullopt;
}

void PrepareFilterString(SearchPattern& p, std::string_view utf8) {
    build_forms(p, trimmed(utf8, false));
}

}  // namespace orbisto
