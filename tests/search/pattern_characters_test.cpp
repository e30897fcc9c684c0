// Names and patterns with characters outside Windows-1252: every language
// counts one character per character, whatever the script.
#include <random>

#include "pattern_test_util.h"

namespace orbisto {
namespace {

// The result of `pattern` on `text` in `mode`: match or no match, and for
// the extended language the error count (-1 for no match).
int outcome(SearchMode mode, std::string_view pattern, std::string_view text, int errors = 0) {
    Prepared x;
    prepare(x, pattern, mode, true, 100);
    if (mode == SearchMode::Approximate) {
        return FindApproximate(x.p, text, errors, true) ? x.p.LastErrors : -1;
    }
    return MatchText(x.p, text) ? 1 : 0;
}

struct CharCase {
    SearchMode mode;
    const char* pattern;
    const char* text;
    int errors;  // allowed errors (extended language)
    int want;    // 1/0, or the error count found (-1 none)
};

constexpr SearchMode N = SearchMode::Normal;
constexpr SearchMode E = SearchMode::Approximate;
constexpr SearchMode R = SearchMode::Regular;
constexpr SearchMode S = SearchMode::Similarity;

TEST(PatternCharacters, EveryLanguageCountsCharactersInGreekCyrillicCjkAndEmojiNames) {
    const CharCase cases[] = {// A Windows-1252 pattern in a name that also holds an omega.
                              {N, "m?ller", "müller_Ω.doc", 0, 1},
                              {R, "^m.ller", "müller_Ω.doc", 0, 1},
                              {E, "mxller", "müller_Ω.doc", 1, 1},
                              {N, "MÜLLER", "müller_Ω.doc", 0, 1},
                              // '?' and '.' take one character of any script, never half of one.
                              {N, "д?м", "дом.txt", 0, 1},
                              {N, "日?語", "日本語.txt", 0, 1},
                              {N, "a?b", "a😀b.png", 0, 1},
                              {N, "a?b", "a😀😀b.png", 0, 0},
                              {R, "^..$", "日本", 0, 1},
                              {R, "^..$", "😀😀", 0, 1},
                              {R, "^д.м$", "дом", 0, 1},
                              {R, "^.$", "Ωμ", 0, 0},
                              // Patterns in the name's own script, classes and ranges included.
                              {N, "Ω*", "Ωμέγα.txt", 0, 1},
                              {N, "μέγα-txt", "Ωμέγα.txt", 0, 0},
                              {N, "日本|Ω", "x日本", 0, 1},
                              {R, "^[α-ω]$", "μ", 0, 1},
                              {R, "[^α-ω]", "μέ", 0, 1},
                              {R, "^:a", "Ω", 0, 0},
                              {E, "[α-ω]x", "μx", 0, 0},
                              {E, "[!α-ω]x", "μx", 0, -1},
                              // Errors are whole characters.
                              {E, "日本語", "日本人", 1, 1},
                              {E, "😀😀", "x😀y", 1, 1},
                              {E, "a?b", "a😀b", 0, 0},
                              {E, "{Ωμ}έγα", "Ωxέγα", 2, -1},
                              {E, "Москва", "Mосква", 1, 1},
                              // Similarity: a name holds every gram of itself.
                              {S, "Ωμέγα", "ωΩμέγα.txt", 0, 1},
                              {S, "日本語学校", "日本語", 0, 0}};
    for (const CharCase& c : cases) {
        EXPECT_EQ(outcome(c.mode, c.pattern, c.text, c.errors), c.want)
            << static_cast<int>(c.mode) << " " << c.pattern << " in " << c.text;
    }
}

TEST(PatternCharacters, RatesPositionsAndLimitsAreCountedInCharacters) {
    Prepared x;
    // 3-grams 日本語 本語学 語学校, 2-grams 日本 本語 語学 学校: 7 of 17 characters.
    prepare(x, "日本語学校", SearchMode::Similarity);
    EXPECT_NEAR(SimilarityRate(x.p, "日本語"), 700.0 / 17, 1e-9);
    // 3-grams mül üll, 2-grams mü ül ll: the same rate beside any other character.
    prepare(x, "müll", SearchMode::Similarity);
    EXPECT_NEAR(SimilarityRate(x.p, "mül_Ω"), 700.0 / 12, 1e-9);
    EXPECT_NEAR(SimilarityRate(x.p, "mül_x"), 700.0 / 12, 1e-9);
    // A name of 9,997 characters is still compared although it has more bytes.
    prepare(x, "Ωμέγα", SearchMode::Similarity, true, 100);
    std::string long_name;
    for (int i = 0; i < 9992 / 4; ++i) long_name += "日本語x";
    EXPECT_TRUE(MatchText(x.p, long_name + "Ωμέγα"));

    // The extended language reports the UTF-8 offset of the last character.
    prepare(x, "Ω", SearchMode::Approximate);
    EXPECT_EQ(FindApproximate(x.p, "日Ω", 0, true), std::optional<size_t>(3));
    EXPECT_EQ(FindWildcard("日本*語", "*語", true), std::optional<size_t>(7));
    EXPECT_EQ(FindWildcard("Ωμέγα", "μ?γ", false), std::optional<size_t>(2));
    // 31 positions of any script, not 31 bytes.
    std::string words;
    for (int i = 0; i < 31; ++i) words += "語";
    prepare(x, words, SearchMode::Approximate);
    EXPECT_FALSE(x.error);
    prepare(x, words + "語", SearchMode::Approximate);
    EXPECT_TRUE(x.error);
}

// Ω outside Windows-1252 and '~' inside it play the same part in these
// patterns and texts, and © shares Ω's low eight bits: swapping Ω for '~'
// everywhere must change no result. This holds the character matchers to the
// byte matchers over random inputs. (Ranges are left out: their ends are
// ordered by value, and Ω and '~' sort differently.)
TEST(PatternCharacters, CharacterFormAgreesWithTheByteFormOnRandomInputs) {
    const std::vector<std::string> letters = {"a", "b", "ü", "©", "Ω"};
    const std::pair<SearchMode, std::vector<std::string>> languages[] = {
        {N, {"?", "*", "|", "-", "&"}},
        {E, {"?", "*", "[", "]", "^", "{", "}", "|"}},
        {R, {".", "*", "+", "^", "$", "[", "]"}},
        {S, {" "}}};
    auto swapped = [](std::string s) {
        for (size_t at; (at = s.find("Ω")) != std::string::npos;) s.replace(at, 2, "~");
        return s;
    };
    std::mt19937 rng(12);
    for (const auto& [mode, specials] : languages) {
        auto pick = [&](bool special) {
            if (special && rng() % 3 == 0) return specials[rng() % specials.size()];
            return letters[rng() % letters.size()];
        };
        for (int round = 0; round < 1500; ++round) {
            std::string pattern, text;
            for (int i = 1 + static_cast<int>(rng() % 6); i > 0; --i) pattern += pick(true);
            for (int i = static_cast<int>(rng() % 12); i > 0; --i) text += pick(false);
            const int errors = static_cast<int>(rng() % 3);
            const bool case_off = rng() % 2 == 0;
            Prepared wide, bytes;
            prepare(wide, pattern, mode, !case_off, 60);
            prepare(bytes, swapped(pattern), mode, !case_off, 60);
            ASSERT_EQ(wide.error, bytes.error) << pattern;
            if (mode == E) {
                const bool found = FindApproximate(wide.p, text, errors, true).has_value();
                ASSERT_EQ(found, FindApproximate(bytes.p, swapped(text), errors, true).has_value())
                    << pattern << " in " << text;
                if (found) {
                    ASSERT_EQ(wide.p.LastErrors, bytes.p.LastErrors) << pattern;
                }
            } else {
                ASSERT_EQ(MatchText(wide.p, text), MatchText(bytes.p, swapped(text)))
                    << static_cast<int>(mode) << " " << pattern << " in " << text;
                ASSERT_EQ(wide.p.LastRate, bytes.p.LastRate) << pattern << " in " << text;
            }
        }
    }
}

}  // namespace
}  // namespace orbisto
