#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace orbisto {
namespace {

TEST(Codepage, Cp1252RoundTripsEveryByteAndRefusesTheRest) {
    std::string all;
    for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
    const std::string utf8 = cp1252_to_utf8(all);
    EXPECT_TRUE(is_valid_utf8(utf8));
    EXPECT_EQ(utf8_to_cp1252(utf8), all);
    EXPECT_EQ(cp1252_to_utf8("\x80"), "\xE2\x82\xAC");         // euro sign
    EXPECT_FALSE(utf8_to_cp1252("\xE6\x97\xA5").has_value());  // a CJK character
    EXPECT_FALSE(fits_cp1252("abc\xD0\x96"));                  // Cyrillic Zhe
}

TEST(Codepage, Utf8ValidationAndTextOfUnknownEncoding) {
    for (const char* bad : {"\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
        EXPECT_FALSE(is_valid_utf8(bad)) << bad;  // cut, overlong, surrogate, past U+10FFFF
    }
    EXPECT_EQ(text_to_utf8("M\xC3\xBCller"), "M\xC3\xBCller");
    EXPECT_EQ(text_to_utf8("M\xFCller"), "M\xC3\xBCller");
}

TEST(Codepage, Oem850AndUpperGermanKeepingLengths) {
    EXPECT_EQ(oem850_to_cp1252("\x81\x84\x94\xE1\x8E"), "\xFC\xE4\xF6\xDF\xC4");  // ü ä ö ß Ä
    const std::string s =
        "m\xC3\xBCller stra\xC3\x9F"
        "e \xC3\xA9";
    EXPECT_EQ(upper_german(s),
              "M\xC3\x9CLLER STRA\xC3\x9F"
              "E \xC3\xA9");
}

}  // namespace
}  // namespace orbisto
