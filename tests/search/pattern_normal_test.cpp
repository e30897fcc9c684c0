#include <random>

#include "pattern_test_util.h"

namespace orbisto {
namespace {

bool normal(std::string_view pattern, std::string_view text, bool ignore_case = true) {
    Prepared x;
    prepare(x, pattern, SearchMode::Normal, ignore_case);
    return MatchText(x.p, text);
}

TEST(NormalLanguage, LeadingAndTrailingStarsAreTrimmedAndALoneStarIsKept) {
    Prepared x;
    prepare(x, "*.mp3", SearchMode::Normal);
    EXPECT_EQ(x.p.typed, ".mp3");
    EXPECT_TRUE(MatchText(x.p, "a.mp3.bak"));
    prepare(x, "**x**", SearchMode::Normal);  // one star each side only
    EXPECT_EQ(x.p.typed, "*x*");
    // A lone star becomes '?' and matches every non-empty text.
    prepare(x, "*", SearchMode::Normal);
    EXPECT_FALSE(MatchText(x.p, ""));
    // "**" loses both stars: the empty string is found in every text.
    prepare(x, "**", SearchMode::Normal);
    EXPECT_TRUE(MatchText(x.p, ""));
}

TEST(NormalLanguage, OperatorsLeftToRightAndWildcardTerms) {
    struct Case {
        const char* pattern;
        const char* text;
        bool match;
    };
    const Case cases[] = {// '-' is always NOT; "a&b|c" stops at once when b is missing.
                          {"foo-bar", "foo-bar.txt", false},
                          {"foo!bar", "foobar", false},
                          {"a|b&c", "bc", true},
                          {"a|b&c", "ab", false},
                          {"a&b|c", "ac", false},
                          {"x+y", "yx", true},
                          // A leading operator leaves an empty, never-found first term.
                          {"|abc", "abc", true},
                          {"&abc", "abc", false},
                          {"-abc", "xyz", false},
                          {"a?c", "ac", false},
                          {"a*c", "ca", false},
                          // The next segment is sought from one character after the start of
                          // the previous one, so it may overlap it; '?' never matches past the end.
                          {"ab*b", "ab", true},
                          {"ab*a", "ab", false},
                          {"ab?", "ab", false},
                          // Case folding includes umlauts in UTF-8 texts, also with wildcards.
                          {"m?ller*txt", "MÜLLER.TXT", true}};
    for (const Case& c : cases) EXPECT_EQ(normal(c.pattern, c.text), c.match) << c.pattern;
    EXPECT_FALSE(normal("müller", "MÜLLER.TXT", false));
    // Whole-text equality ignores ASCII case even when case matters.
    EXPECT_EQ(FindWildcard("ABC", "abc", false), std::optional<size_t>(0));
    EXPECT_FALSE(FindWildcard("xABC", "abc", false).has_value());
}

TEST(NormalLanguage, TermsAreCutTo39CharactersAndFindWildcardGivesUtf8Offsets) {
    const std::string head(39, 'k');
    // Only the first 39 characters of the term count: "zz?" falls away.
    EXPECT_TRUE(normal(head + "zz?&k", head));
    EXPECT_FALSE(normal(head.substr(1) + "zz?&k", head));
    // The start of the last segment, as a UTF-8 offset (ä takes two bytes).
    EXPECT_EQ(FindWildcard("xxabcyy", "a*c", true), std::optional<size_t>(4));
    EXPECT_EQ(FindWildcard("äbc", "c", true), std::optional<size_t>(3));
    EXPECT_FALSE(FindWildcard("abc", "", true).has_value());
}

TEST(NormalLanguage, SkipSearchAgreesWithPlainFindOnRandomTexts) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> letter(0, 2);
    std::uniform_int_distribution<int> len(0, 30);
    const auto& id = pattern::identity_table();
    for (int round = 0; round < 3000; ++round) {
        std::string needle, text;
        const int m = 1 + len(rng) % 6;
        for (int i = 0; i < m; ++i) needle.push_back(static_cast<char>('a' + letter(rng)));
        for (int i = len(rng); i > 0; --i) text.push_back(static_cast<char>('a' + letter(rng)));
        pattern::SkipTable t;
        pattern::build_skip_table(t, needle);
        ASSERT_EQ(pattern::skip_search(t, text, id), text.find(needle) != std::string::npos)
            << needle << " in " << text;
    }
}

TEST(PatternEncoding, SearchStringKeepsItsWindows1252FormAndIsCutTo127Characters) {
    Prepared x;
    prepare(x, "Grüße", SearchMode::Normal);
    EXPECT_EQ(x.p.single.upper(),
              "GR\xDC\xDF"
              "E");  // ß has no upper case here
    std::string umlauts;
    for (int i = 0; i < 130; ++i) umlauts += "ü";
    prepare(x, umlauts, SearchMode::Normal);
    EXPECT_EQ(x.p.characters, 127u);
    EXPECT_EQ(x.p.single.text().size(), 127u);
    EXPECT_EQ(x.p.wide.text().size(), 127u);

    // Texts outside Windows-1252 are matched as characters.
    prepare(x, "müller", SearchMode::Normal);
    EXPECT_TRUE(MatchText(x.p, "MÜLLER 日本.txt"));
    EXPECT_FALSE(MatchText(x.p, "MULLER 日本.txt"));
    prepare(x, "日本", SearchMode::Normal);
    EXPECT_TRUE(MatchText(x.p, "Müller 日本"));
    prepare(x, "müller", SearchMode::Regular);
    EXPECT_TRUE(MatchText(x.p, "MÜLLER 日本"));
    prepare(x, "müller", SearchMode::Approximate);
    EXPECT_TRUE(FindApproximate(x.p, "MüLLER 日本", 0, true).has_value());
}

}  // namespace
}  // namespace orbisto
