#include <gtest/gtest.h>

#include <random>

#include "pattern_test_util.h"

namespace orbisto {
namespace {

using testing::prepare;
using testing::Prepared;

bool normal(std::string_view pattern, std::string_view text, bool ignore_case = true) {
    Prepared x;
    prepare(x, pattern, kSearchModeNormal, ignore_case);
    return MatchText(x.p, text);
}

TEST(NormalLanguage, LeadingAndTrailingStarsAreTrimmed) {
    Prepared x;
    prepare(x, "*.mp3", kSearchModeNormal);
    EXPECT_EQ(x.p.typed, ".mp3");
    EXPECT_TRUE(MatchText(x.p, "song.MP3"));
    EXPECT_TRUE(MatchText(x.p, "a.mp3.bak"));
    EXPECT_FALSE(MatchText(x.p, "mp3"));

    prepare(x, "abc*", kSearchModeNormal);
    EXPECT_EQ(x.p.typed, "abc");
    prepare(x, "**x**", kSearchModeNormal);  // one star each side only
    EXPECT_EQ(x.p.typed, "*x*");
}

TEST(NormalLanguage, LoneStarBecomesQuestionMarkAndMatchesEveryNonEmptyText) {
    Prepared x;
    prepare(x, "*", kSearchModeNormal);
    EXPECT_EQ(x.p.typed, "?");
    EXPECT_TRUE(MatchText(x.p, "a"));
    EXPECT_FALSE(MatchText(x.p, ""));
    // "**" loses both stars: the empty string is found in every text.
    prepare(x, "**", kSearchModeNormal);
    EXPECT_TRUE(MatchText(x.p, ""));
    EXPECT_TRUE(MatchText(x.p, "x"));
}

TEST(NormalLanguage, OperatorsAreEvaluatedStrictlyLeftToRight) {
    EXPECT_TRUE(normal("foo-bar", "foo.txt"));
    EXPECT_FALSE(normal("foo-bar", "foo-bar.txt"));  // '-' is always NOT
    EXPECT_FALSE(normal("foo!bar", "foobar"));

    EXPECT_TRUE(normal("a|b&c", "ac"));
    EXPECT_TRUE(normal("a|b&c", "bc"));
    EXPECT_FALSE(normal("a|b&c", "ab"));
    EXPECT_FALSE(normal("a|b&c", "c"));

    EXPECT_FALSE(normal("a&b|c", "ac"));  // b missing ends the test at once
    EXPECT_TRUE(normal("a&b|c", "ab"));
    EXPECT_FALSE(normal("a&b|c", "c"));
    EXPECT_TRUE(normal("x+y", "yx"));

    // A leading operator leaves an empty, never-found first term.
    EXPECT_TRUE(normal("|abc", "abc"));
    EXPECT_FALSE(normal("&abc", "abc"));
    EXPECT_FALSE(normal("-abc", "xyz"));
}

TEST(NormalLanguage, WildcardTermForms) {
    EXPECT_TRUE(normal("a?c", "xabcx"));
    EXPECT_FALSE(normal("a?c", "ac"));
    EXPECT_TRUE(normal("a*c", "a---c"));
    EXPECT_FALSE(normal("a*c", "ca"));
    // The next segment is sought from one character after the start of the
    // previous occurrence, so it may overlap it.
    EXPECT_TRUE(normal("ab*b", "ab"));
    EXPECT_FALSE(normal("ab*a", "ab"));
    // '?' needs a character: it never matches past the end.
    EXPECT_FALSE(normal("ab?", "ab"));
}

TEST(NormalLanguage, TermsAreCutTo39Characters) {
    const std::string head(39, 'k');
    // Only the first 39 characters of the term count: "zz?" falls away.
    EXPECT_TRUE(normal(head + "zz?&k", head));
    EXPECT_FALSE(normal(head.substr(1) + "zz?&k", head));
}

TEST(NormalLanguage, CaseFoldingIncludesUmlautsInUtf8Texts) {
    EXPECT_TRUE(normal("müller", "MÜLLER.TXT"));
    EXPECT_TRUE(normal("MÜLLER", "müller.txt"));
    EXPECT_FALSE(normal("müller", "MÜLLER.TXT", false));
    EXPECT_TRUE(normal("müller", "xmüller", false));
    // With a wildcard the term test folds the same way.
    EXPECT_TRUE(normal("m?ller*txt", "MÜLLER.TXT"));
}

TEST(NormalLanguage, WholeTextEqualityIgnoresAsciiCaseEvenWhenCaseMatters) {
    EXPECT_EQ(FindWildcard("ABC", "abc", false), std::optional<size_t>(0));
    EXPECT_FALSE(FindWildcard("xABC", "abc", false).has_value());
}

TEST(NormalLanguage, FindWildcardReturnsStartOfLastSegmentAsUtf8Offset) {
    EXPECT_EQ(FindWildcard("xxabcyy", "a*c", true), std::optional<size_t>(4));
    EXPECT_EQ(FindWildcard("xxabcyy", "B?", true), std::optional<size_t>(3));
    EXPECT_EQ(FindWildcard("äbc", "c", true), std::optional<size_t>(3));  // ä takes two bytes
    EXPECT_FALSE(FindWildcard("abc", "", true).has_value());
    EXPECT_EQ(FindWildcard("/drive\"C:\"", "/DRIVE\"", true), std::optional<size_t>(0));
}

TEST(NormalLanguage, SkipTableHoldsSentinelAndGuardShift) {
    pattern::SkipTable t;
    pattern::build_skip_table(t, "abcab");
    EXPECT_EQ(t.shift['a'], 1);
    EXPECT_EQ(t.shift['c'], 2);
    EXPECT_EQ(t.shift['b'], pattern::kSkipSentinel);
    EXPECT_EQ(t.guard, 3);  // the earlier 'b' at index 1
    EXPECT_EQ(t.shift['z'], 5);
    pattern::build_skip_table(t, "xyz");
    EXPECT_EQ(t.guard, 3);  // no earlier 'z'
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

}  // namespace
}  // namespace orbisto
