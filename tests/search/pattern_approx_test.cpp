#include <gtest/gtest.h>

#include "pattern_test_util.h"

namespace orbisto {
namespace {

using testing::prepare;
using testing::Prepared;

// Error count of the best match of `pattern` in `text`, or -1 for none.
int best(std::string_view pattern, std::string_view text, int k, bool ignore_case = true) {
    Prepared x;
    prepare(x, pattern, kSearchModeApproximate, ignore_case);
    EXPECT_FALSE(x.error) << pattern;
    return FindApproximate(x.p, text, k, true) ? x.p.LastErrors : -1;
}

TEST(ApproximateLanguage, SubstitutionsAndDeletionsCountAsErrors) {
    EXPECT_EQ(best("abc", "xbc", 1), 1);
    EXPECT_EQ(best("abc", "abx", 1), 1);
    EXPECT_EQ(best("abc", "ac", 1), 1);
    EXPECT_EQ(best("abc", "xbc", 0), -1);
    EXPECT_EQ(best("abc", "zzabczz", 2), 0);
    EXPECT_EQ(best("abcdef", "axcxef", 1), -1);
    EXPECT_EQ(best("abcdef", "axcxef", 2), 2);
}

TEST(ApproximateLanguage, FindBestReportsTheSmallestErrorCount) {
    Prepared x;
    prepare(x, "abc", kSearchModeApproximate);
    EXPECT_EQ(FindApproximate(x.p, "xbc___abc", 1, false), std::optional<size_t>(2));
    EXPECT_EQ(x.p.LastErrors, 1);
    EXPECT_EQ(FindApproximate(x.p, "xbc___abc", 1, true), std::optional<size_t>(8));
    EXPECT_EQ(x.p.LastErrors, 0);
    // "xb" ends a match with two errors; "xbc" one with one error is better.
    EXPECT_EQ(FindApproximate(x.p, "xbc___", 2, false), std::optional<size_t>(1));
    EXPECT_EQ(x.p.LastErrors, 2);
    EXPECT_EQ(FindApproximate(x.p, "xbc___", 2, true), std::optional<size_t>(2));
    EXPECT_EQ(x.p.LastErrors, 1);
}

TEST(ApproximateLanguage, LineBreaksCountAsBlanks) {
    EXPECT_EQ(best("a b", "a\nb", 0), 0);
    EXPECT_EQ(best("a b", "a\rb", 0), 0);
}

TEST(ApproximateLanguage, ClassesAndCase) {
    EXPECT_EQ(best("[a-c]x", "bx", 0), 0);
    EXPECT_EQ(best("[a-c]x", "dx", 0), -1);
    EXPECT_EQ(best("[^a-c]x", "dx", 0), 0);
    EXPECT_EQ(best("[!a-c]x", "bx", 0), -1);
    EXPECT_EQ(best("[^a]", "A", 0), -1);  // both cases are refused
    EXPECT_EQ(best("[^a]", "A", 0, false), 0);
    EXPECT_EQ(best("ABC", "abc", 0), 0);
    EXPECT_EQ(best("ABC", "abc", 0, false), -1);
    EXPECT_EQ(best("a\\?c", "abc", 0), -1);
    EXPECT_EQ(best("a\\?c", "a?c", 0), 0);
    EXPECT_EQ(best("a?c", "abc", 0), 0);
    EXPECT_EQ(best("[a-]", "-", 0), 0);  // a '-' before ']' is a member
}

TEST(ApproximateLanguage, BracesAllowNoErrorInside) {
    EXPECT_EQ(best("abc", "xbc", 1), 1);
    EXPECT_EQ(best("{ab}c", "xbc", 1), -1);
    EXPECT_EQ(best("{ab}c", "abx", 1), 1);
}

TEST(ApproximateLanguage, AlternativesAndRepeatedPositions) {
    EXPECT_EQ(best("abc|xyz", "--xyz--", 0), 0);
    EXPECT_EQ(best("abc|xyz", "--abc--", 0), 0);
    EXPECT_EQ(best("abc|xyz", "--abz--", 0), -1);
    // '*' keeps the next position matched: "ab", anything, then "c".
    EXPECT_EQ(best("a*bc", "abxxc", 0), 0);
    EXPECT_EQ(best("abc", "abxxc", 0), -1);
    EXPECT_EQ(best("*abc", "abc", 0), 0);  // a leading '*' is ignored
}

TEST(ApproximateLanguage, CharactersAreWindows1252Bytes) {
    EXPECT_EQ(best("m?ller", "Müller", 0), 0);  // '?' takes the ü as one character
    EXPECT_EQ(best("müller", "MÜLLER", 1), 1);  // only A-Z fold here
    Prepared x;
    prepare(x, "abc", kSearchModeApproximate);
    EXPECT_EQ(FindApproximate(x.p, "xü abc", 0, true), std::optional<size_t>(6));
}

TEST(ApproximateLanguage, MalformedPatternsAreRefusedWithTheMessage) {
    for (const char* bad : {"[", "[]", "[-a]", "[a", "[a[b]", "a\\", "{a{b}}", "a}", "{a|b}", "|a",
                            "a|", "a||b", "{ab"}) {
        Prepared x;
        prepare(x, bad, kSearchModeApproximate);
        EXPECT_TRUE(x.error) << bad;
        EXPECT_FALSE(FindApproximate(x.p, "anything [a] {b}", 3, true).has_value()) << bad;
    }
    SearchPattern p;
    p.mode = kSearchModeApproximate;
    auto err = PrepareSearchString(p, "[", false);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->text, "Suchbegriff falsch");
    EXPECT_EQ(err->title, "Fehler!");
    err = PrepareSearchString(p, "[", true);
    ASSERT_TRUE(err);
    EXPECT_EQ(err->text, "illegal search string");
    EXPECT_EQ(err->title, "error!");
    // Only the approximate mode refuses the pattern.
    p.mode = kSearchModeNormal;
    EXPECT_FALSE(PrepareSearchString(p, "[", false));
}

TEST(ApproximateLanguage, ThirtyOnePositionsAtMost) {
    const std::string p31(31, 'q');
    EXPECT_EQ(best(p31, "x" + p31, 0), 0);
    std::string t31 = p31;
    t31[30] = 'z';
    EXPECT_EQ(best(p31, t31, 1), 1);  // an error in the last position
    Prepared x;
    prepare(x, std::string(32, 'q'), kSearchModeApproximate);
    EXPECT_TRUE(x.error);
    prepare(x, "[abc]" + std::string(30, 'q'), kSearchModeApproximate);
    EXPECT_FALSE(x.error);  // a class is one position
}

}  // namespace
}  // namespace orbisto
