// Patterns and texts chosen to break a matcher: every call must return, with
// no out-of-bounds access (run under the sanitizer build as well).
#include "pattern_test_util.h"

namespace orbisto {
namespace {

std::vector<std::string> hostile_patterns() {
    std::vector<std::string> v = {
        "[", "\\", "]", "{", "}", "{{", "}}", "[a-", "[^", "[^]", "[]", "[\\", ":", "::", "a|", "|",
        "&", "-", "!|&+-", "?", "??", "*?*?*", "^", "$", "^$", "[z-a]", "{a|b", "a\\", ".*.*.*.*",
        "\xff\xfe", "\xc3", "日本*語", std::string(1, '\0') + "a", std::string(200, '*'),
        std::string(200, '?'), std::string(200, '['), std::string(200, '\\'), std::string(200, '{'),
        std::string(32, 'x'), std::string(127, '|'), std::string(127, '-'),
        "[" + std::string(126, '\x0e')};
    std::string many_stars, classes;
    for (int i = 0; i < 63; ++i) many_stars += "a*";
    for (int i = 0; i < 20; ++i) classes += "[a-z]";
    v.push_back(many_stars);
    v.push_back(classes);
    return v;
}

std::vector<std::string> hostile_texts() {
    return {"", "a", "\xff", "\xc3", "Müller", "日本語", std::string(3, '\0'), std::string(5000, 'a'),
            std::string(300, '*')};
}

TEST(HostilePatterns, EveryLanguageReturnsOnEveryInput) {
    const auto patterns = hostile_patterns();
    const auto texts = hostile_texts();
    for (int mode :
         {kSearchModeNormal, kSearchModeApproximate, kSearchModeSimilarity, kSearchModeRegular}) {
        for (bool ignore_case : {true, false}) {
            for (const std::string& pat : patterns) {
                testing::Prepared x;
                testing::prepare(x, pat, mode, ignore_case, 50);
                for (const std::string& text : texts) {
                    if (mode == kSearchModeApproximate) {
                        FindApproximate(x.p, text, 5, true);
                    } else {
                        MatchText(x.p, text);
                    }
                    MatchFilter(x.p, text, kFilterModeRegular);
                    FindWildcard(text, pat, ignore_case);
                }
            }
        }
    }
    SUCCEED();
}

TEST(HostilePatterns, NestedRepetitionsStopAtTheStepBound) {
    testing::Prepared x;
    std::string pat;
    for (int i = 0; i < 12; ++i) pat += "a*";
    pat += "b";
    testing::prepare(x, pat, kSearchModeRegular);
    // Thousands of years of backtracking without the bound.
    EXPECT_FALSE(MatchText(x.p, std::string(5000, 'a')));
    // The same pattern still finds a real match.
    EXPECT_TRUE(MatchText(x.p, std::string(30, 'a') + "b"));
}

TEST(HostilePatterns, LongTextsStillMatchAtTheirEnd) {
    const std::string text = std::string(1 << 20, 'a') + "xyz";
    for (int mode : {kSearchModeNormal, kSearchModeSimilarity, kSearchModeRegular}) {
        testing::Prepared x;
        testing::prepare(x, "axyz", mode, true, 100);
        EXPECT_EQ(MatchText(x.p, text), mode != kSearchModeSimilarity) << mode;
    }
    testing::Prepared x;
    testing::prepare(x, std::string(100, 'a') + "xyz", kSearchModeRegular);
    EXPECT_TRUE(MatchText(x.p, text));
    testing::prepare(x, "axyz", kSearchModeApproximate);
    EXPECT_EQ(FindApproximate(x.p, text, 2, true), std::optional<size_t>(text.size() - 1));
    EXPECT_EQ(x.p.LastErrors, 0);
}

}  // namespace
}  // namespace orbisto
