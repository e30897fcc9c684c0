// The tests that the search engine and the output filter run per text: the
// choice of byte form for each text and the dispatch by language.
#include <algorithm>

#include "platform/codepage.h"
#include "search/pattern_forms.h"
#include "search/search_pattern.h"

namespace orbisto {

namespace {

using namespace pattern;

// The form and bytes to match one text with.
struct Chosen {
    PatternForm* form;
    std::string_view bytes;
    bool converted;  // bytes are a Windows-1252 copy of a non-ASCII text
};

Chosen choose(SearchPattern& p, std::string_view utf8) {
    text_bytes(utf8, p.single.present, p.text_buffer);
    if (p.single.present && p.text_buffer.single_byte) {
        return {&p.single, p.text_buffer.bytes,
                !p.text_buffer.storage.empty() &&
                    p.text_buffer.bytes.data() == p.text_buffer.storage.data()};
    }
    return {&p.raw, utf8, false};
}

size_t to_utf8_offset(const Chosen& c, std::string_view utf8, size_t pos) {
    return c.converted ? utf8_offset_of_char(utf8, pos) : pos;
}

bool is_lone_star(const SearchPattern& p) {
    return p.typed == "*";
}

bool normal(SearchPattern& p, const Chosen& c) {
    const PatternForm& f = *c.form;
    const std::string_view active = p.IgnoreCase ? f.upper() : f.text();
    if (!p.IgnoreCase) return normal_test(active, f.skip, c.bytes, identity_table());
    if (!f.utf8) return normal_test(active, f.skip, c.bytes, upper_german_table());
    // UTF-8 umlauts fold over two bytes: fold a copy of the text.
    p.fold_buffer = upper_german(c.bytes);
    return normal_test(active, f.skip, p.fold_buffer, identity_table());
}

bool regular(SearchPattern& p, const Chosen& c) {
    PatternForm& f = *c.form;
    ensure_regular(p, f);
    if (!f.utf8) return run_regular(f.regular, c.bytes, lower_german_table(), p.status);
    p.fold_buffer = lower_german_utf8(c.bytes);
    return run_regular(f.regular, p.fold_buffer, lower_ascii_table(), p.status);
}

double rate_of(SearchPattern& p, const Chosen& c) {
    const double rate =
        similarity_rate(c.form->similarity, c.bytes, c.form->utf8, p.similarity_buffer);
    p.LastRate = std::max(rate, 0.0);
    if (rate >= 0) p.MaxRate = std::max(p.MaxRate, static_cast<int>(rate));
    return rate;
}

}  // namespace

bool MatchText(SearchPattern& p, std::string_view utf8) {
    if (is_lone_star(p)) return true;
    const Chosen c = choose(p, utf8);
    switch (p.mode) {
        case kSearchModeSimilarity:
            if (p.characters >= 4) {
                const double rate = rate_of(p, c);
                return rate >= 0 && rate >= static_cast<double>(p.FuzzyTreffer);
            }
            return normal(p, c);
        case kSearchModeRegular:
            return regular(p, c);
        default:
            return normal(p, c);
    }
}

bool MatchFilter(SearchPattern& p, std::string_view utf8, int filter_mode) {
    if (is_lone_star(p)) return true;
    const Chosen c = choose(p, utf8);
    return filter_mode == kFilterModeRegular ? regular(p, c) : normal(p, c);
}

std::optional<size_t> FindApproximate(SearchPattern& p, std::string_view utf8, int max_errors,
                                      bool find_best) {
    const Chosen c = choose(p, utf8);
    int errors = p.LastErrors;
    const auto pos = find_approx(c.form->approx, c.bytes, max_errors, find_best, errors);
    if (!pos) return std::nullopt;
    p.LastErrors = errors;
    return to_utf8_offset(c, utf8, *pos);
}

double SimilarityRate(SearchPattern& p, std::string_view utf8) {
    return rate_of(p, choose(p, utf8));
}

std::optional<size_t> FindWildcard(std::string_view text, std::string_view pattern,
                                   bool ignore_case) {
    const auto cp_pattern = utf8_to_cp1252(pattern);
    TextBytes t;
    text_bytes(text, cp_pattern.has_value(), t);
    if (cp_pattern && t.single_byte) {
        std::string term = *cp_pattern;
        const ByteTable& fold = ignore_case ? upper_german_table() : identity_table();
        for (char& ch : term) ch = static_cast<char>(fold[static_cast<unsigned char>(ch)]);
        const auto pos = wildcard_find(t.bytes, term, fold);
        if (!pos) return std::nullopt;
        return t.storage.empty() ? *pos : utf8_offset_of_char(text, *pos);
    }
    if (!ignore_case) return wildcard_find(text, pattern, identity_table());
    return wildcard_find(upper_german(text), upper_german(pattern), identity_table());
}

}  // namespace orbisto
