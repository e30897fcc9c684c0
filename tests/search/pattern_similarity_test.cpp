#include "pattern_test_util.h"

namespace orbisto {
namespace {

TEST(SimilarityLanguage, NormalisationFoldsCaseUmlautsAndPunctuationAndRateWeighsGramsBySize) {
    Prepared x;
    // "abcd": 3-grams abc bcd, 2-grams ab bc cd; " abxcd" holds ab and cd.
    prepare(x, "abcd", SearchMode::Similarity, true, 30);
    EXPECT_NEAR(SimilarityRate(x.p, "abxcd"), 100.0 * 4 / 12, 1e-9);
    EXPECT_EQ(x.p.MaxRate, 33);
    EXPECT_TRUE(MatchText(x.p, "abxcd"));
    x.p.FuzzyTreffer = 34;
    EXPECT_FALSE(MatchText(x.p, "abxcd"));
    // Longer than 6 characters: 3- and 5-grams. Counted 3-grams: "abc",
    // "bc ", " de", "def", "efg", "fgh"; 5-grams: " defg", "defgh".
    prepare(x, "abc defgh", SearchMode::Similarity);
    EXPECT_NEAR(SimilarityRate(x.p, "defgh"), 100.0 * 22 / 28, 1e-9);
    // Case, umlauts and punctuation are folded.
    prepare(x, "Müller-Lüdenscheidt", SearchMode::Similarity);
    EXPECT_DOUBLE_EQ(SimilarityRate(x.p, "MÜLLER;LÜDENSCHEIDT"), 100.0);
}

TEST(SimilarityLanguage, ThresholdRunMaximumShortStringsAndOverlongTexts) {
    Prepared x;
    // Short strings use the normal test.
    prepare(x, "abc", SearchMode::Similarity);
    EXPECT_TRUE(MatchText(x.p, "xxABCxx"));
    EXPECT_EQ(x.p.MaxRate, 0);
    prepare(x, "symphonie", SearchMode::Similarity, true, 100);
    EXPECT_FALSE(MatchText(x.p, "symphony"));
    const int seen = x.p.MaxRate;
    EXPECT_GT(seen, 0);
    EXPECT_FALSE(MatchText(x.p, "zzz"));
    EXPECT_EQ(x.p.MaxRate, seen);  // the maximum only grows
    ResetSearchRun(x.p);
    EXPECT_EQ(x.p.MaxRate, 0);
    x.p.FuzzyTreffer = seen;
    EXPECT_TRUE(MatchText(x.p, "symphony"));
    // Overlong texts are never similar.
    prepare(x, "abcd", SearchMode::Similarity, true, 0);
    EXPECT_FALSE(MatchText(x.p, std::string(pattern::kSimilarityMaxLength, 'a') + "abcd"));
    EXPECT_TRUE(MatchText(x.p, std::string(100, 'a') + "abcd"));
}

}  // namespace
}  // namespace orbisto
