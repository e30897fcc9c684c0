// Patterns and texts chosen to break a matcher: every call must return, with
// no out-of-bounds access (run under the sanitizer build as well; the fuzz
// targets search further).
#include "pattern_test_util.h"

namespace orbisto {
namespace {

TEST(HostilePatterns, EveryLanguageReturnsOnEveryInput) {
    std::string many_stars;
    for (int i = 0; i < 63; ++i) many_stars += "a*";
    const std::vector<std::string> patterns = {"[",
                                               "\\",
                                               "{{",
                                               "}}",
                                               "[^]",
                                               "[\\",
                                               "::",
                                               "a|",
                                               "!|&+-",
                                               "*?*?*",
                                               "^$",
                                               "[z-a]",
                                               "{a|b",
                                               "\xff\xfe",
                                               "\xc3",
                                               "日本*語",
                                               std::string(1, '\0') + "a",
                                               std::string(200, '['),
                                               std::string(200, '\\'),
                                               std::string(127, '|'),
                                               "[" + std::string(126, '\x0e'),
                                               many_stars};
    const std::vector<std::string> texts = {
        "", "\xff", "\xc3", "日本語", std::string(3, '\0'), std::string(5000, 'a')};
    for (SearchMode mode : {SearchMode::Normal, SearchMode::Approximate, SearchMode::Similarity,
                            SearchMode::Regular}) {
        for (const std::string& pat : patterns) {
            Prepared x;
            prepare(x, pat, mode, true, 50);
            for (const std::string& text : texts) {
                if (mode == SearchMode::Approximate)
                    FindApproximate(x.p, text, 5, true);
                else
                    MatchText(x.p, text);
                MatchFilter(x.p, text, OutputFilter::Regular);
                FindWildcard(text, pat, false);
            }
        }
    }
}

TEST(HostilePatterns, NestedRepetitionsStopAtTheStepBoundAndLongTextsMatchAtTheirEnd) {
    Prepared x;
    std::string pat;
    for (int i = 0; i < 12; ++i) pat += "a*";
    prepare(x, pat + "b", SearchMode::Regular);
    // Thousands of years of backtracking without the bound.
    EXPECT_FALSE(MatchText(x.p, std::string(5000, 'a')));
    EXPECT_TRUE(MatchText(x.p, std::string(30, 'a') + "b"));

    const std::string text = std::string(1 << 20, 'a') + "xyz";
    for (SearchMode mode : {SearchMode::Normal, SearchMode::Regular}) {
        prepare(x, "axyz", mode);
        EXPECT_TRUE(MatchText(x.p, text)) << static_cast<int>(mode);
    }
    prepare(x, "axyz", SearchMode::Approximate);
    EXPECT_EQ(FindApproximate(x.p, text, 2, true), std::optional<size_t>(text.size() - 1));
}

}  // namespace
}  // namespace orbisto
