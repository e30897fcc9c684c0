#include "pattern_test_util.h"

namespace orbisto {
namespace {

// Error count of the best match of `pattern` in `text`, or -1 for none.
int best(std::string_view pattern, std::string_view text, int k, bool ignore_case = true) {
    Prepared x;
    prepare(x, pattern, SearchMode::Approximate, ignore_case);
    EXPECT_FALSE(x.error) << pattern;
    return FindApproximate(x.p, text, k, true) ? x.p.LastErrors : -1;
}

struct ApproxCase {
    const char* pattern;
    const char* text;
    int k;
    int errors;
};

TEST(ApproximateLanguage, ErrorsClassesBracesAndAlternatives) {
    const ApproxCase cases[] = {
        // Substitutions and deletions count as errors.
        {"abc", "ac", 1, 1},
        {"abc", "xbc", 0, -1},
        {"abcdef", "axcxef", 1, -1},
        {"abcdef", "axcxef", 2, 2},
        // Line breaks count as blanks.
        {"a b", "a\rb", 0, 0},
        // Classes; "[^a]" refuses both cases; a '-' before ']' is a member.
        {"[a-c]x", "dx", 0, -1},
        {"[!a-c]x", "bx", 0, -1},
        {"[^a]", "A", 0, -1},
        {"a\\?c", "abc", 0, -1},
        {"a?c", "abc", 0, 0},
        {"[a-]", "-", 0, 0},
        // Braces allow no error inside.
        {"{ab}c", "xbc", 1, -1},
        {"{ab}c", "abx", 1, 1},
        // Alternatives; '*' keeps the next position matched; a leading '*' is ignored.
        {"abc|xyz", "--xyz--", 0, 0},
        {"abc|xyz", "--abz--", 0, -1},
        {"a*bc", "abxxc", 0, 0},
        {"*abc", "abc", 0, 0},
        // Characters are Windows-1252 bytes: '?' takes the ü, only A-Z fold.
        {"m?ller", "Müller", 0, 0},
        {"müller", "MÜLLER", 1, 1}};
    for (const ApproxCase& c : cases)
        EXPECT_EQ(best(c.pattern, c.text, c.k), c.errors) << c.pattern;
    EXPECT_EQ(best("ABC", "abc", 0, false), -1);
    Prepared x;
    prepare(x, "abc", SearchMode::Approximate);
    EXPECT_EQ(FindApproximate(x.p, "xü abc", 0, true), std::optional<size_t>(6));
    // The first match, or the best one with the smallest error count.
    EXPECT_EQ(FindApproximate(x.p, "xbc___abc", 1, false), std::optional<size_t>(2));
    EXPECT_EQ(x.p.LastErrors, 1);
    EXPECT_EQ(FindApproximate(x.p, "xbc___abc", 1, true), std::optional<size_t>(8));
    EXPECT_EQ(x.p.LastErrors, 0);
}

TEST(ApproximateLanguage, MalformedAndOverlongPatternsAreRefusedWithTheMessage) {
    for (const char* bad :
         {"[]", "[-a]", "[a", "[a[b]", "a\\", "{a{b}}", "a}", "{a|b}", "|a", "a||b"}) {
        Prepared x;
        prepare(x, bad, SearchMode::Approximate);
        EXPECT_TRUE(x.error) << bad;
        EXPECT_FALSE(FindApproximate(x.p, "anything [a] {b}", 3, true).has_value()) << bad;
    }
    SearchPattern p;
    p.mode = SearchMode::Approximate;
    EXPECT_EQ(PrepareSearchString(p, "[", false)->text, "Suchbegriff falsch");
    p.mode = SearchMode::Normal;  // only the approximate mode refuses the pattern
    EXPECT_FALSE(PrepareSearchString(p, "[", false));

    // Thirty-one positions at most.
    const std::string p31(31, 'q');
    std::string t31 = p31;
    t31[30] = 'z';
    EXPECT_EQ(best(p31, t31, 1), 1);  // an error in the last position
    Prepared x;
    prepare(x, std::string(32, 'q'), SearchMode::Approximate);
    EXPECT_TRUE(x.error);
    prepare(x, "[abc]" + std::string(30, 'q'), SearchMode::Approximate);
    EXPECT_FALSE(x.error);  // a class is one position
}

}  // namespace
}  // namespace orbisto
