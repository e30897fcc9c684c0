// Preparing the search string: star trimming, the two byte forms, the
// upper-case copies, skip tables and compiled patterns.
#include <algorithm>

#include "platform/codepage.h"
#include "search/pattern_forms.h"
#include "search/search_pattern.h"
#include "startup/lang.h"

namespace orbisto {
namespace {

using namespace pattern;

size_t count_characters(std::string_view utf8) {
    if (!is_valid_utf8(utf8)) return utf8.size();
    return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

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

void fill_form(PatternForm& f, std::string_view bytes, bool utf8, bool ignore_case) {
    f = PatternForm{};
    f.present = true;
    f.utf8 = utf8;
    f.length = std::min(bytes.size(), kSearchTextSize - 1);
    std::copy_n(bytes.begin(), f.length, f.SearchText.begin());
    if (utf8) {
        const std::string up = upper_german(f.text());
        std::copy_n(up.begin(), f.length, f.SearchTextUpper.begin());
    } else {
        const ByteTable& up = upper_german_table();
        for (size_t i = 0; i < kSearchTextSize; ++i) {
            f.SearchTextUpper[i] =
                static_cast<char>(up[static_cast<unsigned char>(f.SearchText[i])]);
        }
    }
    const std::string_view active = ignore_case ? f.upper() : f.text();
    f.HasWildcard = has_wildcard(active);
    build_skip_table(f.skip, active);
    prepare_similarity(f.similarity, active, utf8);
    compile_approx(f.approx, f.text(), ignore_case);
}

void build_forms(SearchPattern& p, std::string s) {
    p.characters = count_characters(s);
    p.typed = std::move(s);
    p.single = PatternForm{};
    if (auto cp = utf8_to_cp1252(p.typed)) fill_form(p.single, *cp, false, p.IgnoreCase);
    fill_form(p.raw, utf8_prefix_bytes(p.typed, kSearchTextSize - 1), true, p.IgnoreCase);
}

}  // namespace

namespace pattern {

// The form whose messages the user sees: the Windows-1252 one when present.
PatternForm& primary_form(SearchPattern& p) {
    return p.single.present ? p.single : p.raw;
}

void ensure_regular(SearchPattern& p, PatternForm& f) {
    if (f.regular_ready) return;
    f.regular_ready = true;
    const std::string_view active = p.IgnoreCase ? f.upper() : f.text();
    // Messages come from the form the user typed; the UTF-8 twin stays quiet.
    const StatusReport quiet;
    const StatusReport& report = (&f == &primary_form(p)) ? p.status : quiet;
    if (f.utf8) {
        compile_regular(f.regular, lower_german_utf8(active), lower_ascii_table(), report);
    } else {
        compile_regular(f.regular, active, lower_german_table(), report);
    }
}

}  // namespace pattern

std::optional<PatternError> PrepareSearchString(SearchPattern& p, std::string_view utf8,
                                                bool english) {
    build_forms(p, trimmed(utf8, true));
    if (p.mode == kSearchModeRegular) {
        pattern::ensure_regular(p, pattern::primary_form(p));
    }
    if (p.mode == kSearchModeApproximate && !pattern::primary_form(p).approx.valid) {
        return PatternError{tr(english, "Suchbegriff falsch", "illegal search string"),
                            tr(english, "Fehler!", "error!")};
    }
    return std::nullopt;
}

void PrepareFilterString(SearchPattern& p, std::string_view utf8) {
    build_forms(p, trimmed(utf8, false));
}

}  // namespace orbisto
