#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace orbisto {
namespace {

TEST(Codepage, Cp1252RoundTripsEveryByte) {
    std::string all;
    for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
    const std::string utf8 = cp1252_to_utf8(all);
    EXPECT_TRUE(is_valid_utf8(utf8));
    const auto back = utf8_to_cp1252(utf8);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(Codepage, Cp1252CharactersBothWaysAndTheRestRefused) {
    EXPECT_EQ(cp1252_to_utf8("\x80"), "\xE2\x82\xAC");         // euro sign
    EXPECT_EQ(cp1252_to_utf8("M\xFC" "ller"), "M\xC3\xBCller");  // Müller
    EXPECT_EQ(*utf8_to_cp1252("\xE2\x80\x9E"), "\x84");        // low double quote
    EXPECT_FALSE(utf8_to_cp1252("\xE6\x97\xA5").has_value());  // a CJK character
    EXPECT_FALSE(fits_cp1252("abc\xD0\x96"));                   // Cyrillic Zhe
    EXPECT_TRUE(fits_cp1252("Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC"));
}

TEST(Codepage, Utf8Validation) {
    EXPECT_TRUE(is_valid_utf8("plain"));
    EXPECT_TRUE(is_valid_utf8("\xF0\x9F\x98\x80"));
    EXPECT_FALSE(is_valid_utf8("\xC3"));              // cut sequence
    EXPECT_FALSE(is_valid_utf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(is_valid_utf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(is_valid_utf8("\xF4\x90\x80\x80"));  // past U+10FFFF
    // Text of unknown encoding is UTF-8 when valid, else Windows-1252.
    EXPECT_EQ(text_to_utf8("M\xC3\xBCller"), "M\xC3\xBCller");
    EXPECT_EQ(text_to_utf8("M\xFCller"), "M\xC3\xBCller");
}

TEST(Codepage, Oem850) {
    EXPECT_EQ(oem850_to_cp1252("\x81\x84\x94\xE1"), "\xFC\xE4\xF6\xDF");  // ü ä ö ß
    EXPECT_EQ(oem850_to_cp1252("\x8E\x99\x9A"), "\xC4\xD6\xDC");          // Ä Ö Ü
    EXPECT_EQ(oem850_to_cp1252(static_cast<unsigned char>(0xC4)), '-');   // box line
}

TEST(Codepage, UpperGermanKeepsLengths) {
    const std::string s = "m\xC3\xBCller \xC3\xA4\xC3\xB6 stra\xC3\x9F" "e \xC3\xA9";
    const std::string u = upper_german(s);
    EXPECT_EQ(u.size(), s.size());
    EXPECT_EQ(u, "M\xC3\x9CLLER \xC3\x84\xC3\x96 STRA\xC3\x9F" "E \xC3\xA9");
}

}  // namespace
}  // namespace orbisto
