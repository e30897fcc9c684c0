#include <gtest/gtest.h>

#include "pattern_test_util.h"

namespace orbisto {
namespace {

using testing::prepare;
using testing::Prepared;

TEST(PatternEncoding, AsciiTextsAreMatchedWithoutACopy) {
    pattern::TextBytes t;
    const std::string text = "plain.txt";
    pattern::text_bytes(text, true, t);
    EXPECT_EQ(t.bytes.data(), text.data());
    EXPECT_TRUE(t.single_byte);
    pattern::text_bytes("Müller", true, t);
    EXPECT_EQ(t.bytes, "M\xFCller");
    pattern::text_bytes("Müller", false, t);  // the search string has no single-byte form
    EXPECT_FALSE(t.single_byte);
    pattern::text_bytes("日本", true, t);
    EXPECT_FALSE(t.single_byte);
}

TEST(PatternEncoding, SearchStringKeepsItsWindows1252Form) {
    Prepared x;
    prepare(x, "Grüße", kSearchModeNormal);
    ASSERT_TRUE(x.p.single.present);
    EXPECT_EQ(x.p.single.text(),
              "Gr\xFC\xDF"
              "e");
    EXPECT_EQ(x.p.single.upper(),
              "GR\xDC\xDF"
              "E");  // ß has no upper case here
    EXPECT_EQ(x.p.raw.text(), "Grüße");
    prepare(x, "日本", kSearchModeNormal);
    EXPECT_FALSE(x.p.single.present);
    EXPECT_EQ(x.p.characters, 2u);
}

TEST(PatternEncoding, SearchStringIsCutTo127Characters) {
    Prepared x;
    prepare(x, std::string(200, 'a'), kSearchModeNormal);
    EXPECT_EQ(x.p.typed.size(), 127u);
    std::string umlauts;
    for (int i = 0; i < 130; ++i) umlauts += "ü";
    prepare(x, umlauts, kSearchModeNormal);
    EXPECT_EQ(x.p.characters, 127u);
    EXPECT_EQ(x.p.single.length, 127u);
    EXPECT_EQ(x.p.raw.length, 126u);  // 63 whole characters of two bytes
}

TEST(PatternEncoding, TextsOutsideWindows1252FallBackToUtf8Bytes) {
    Prepared x;
    prepare(x, "müller", kSearchModeNormal);
    EXPECT_TRUE(MatchText(x.p, "MÜLLER 日本.txt"));
    EXPECT_FALSE(MatchText(x.p, "MULLER 日本.txt"));
    prepare(x, "日本", kSearchModeNormal);
    EXPECT_TRUE(MatchText(x.p, "xx日本yy"));
    EXPECT_TRUE(MatchText(x.p, "Müller 日本"));
    EXPECT_FALSE(MatchText(x.p, "Müller"));
    prepare(x, "müller", kSearchModeRegular);
    EXPECT_TRUE(MatchText(x.p, "MÜLLER 日本"));
    prepare(x, "müller", kSearchModeApproximate);
    EXPECT_TRUE(FindApproximate(x.p, "MüLLER 日本", 0, true).has_value());
}

TEST(PatternEncoding, QuestionMarkTakesOneCharacterWhenTheTextConverts) {
    Prepared x;
    prepare(x, "m?ller", kSearchModeNormal);
    EXPECT_TRUE(MatchText(x.p, "Müller"));
    EXPECT_TRUE(MatchText(x.p, "M€ller"));  // the euro sign is one Windows-1252 byte
}

}  // namespace
}  // namespace orbisto
