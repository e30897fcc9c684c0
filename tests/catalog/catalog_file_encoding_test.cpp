// Text encodings of catalogue files: Windows-1252 when every text fits, else
// UTF-8; pools converted with their offsets remapped.
#include <gtest/gtest.h>

#include <string>

#include "catalog/catalog_encoding.h"
#include "catalog/catalog_file_fixture.h"
#include "catalog/catalog_format.h"

namespace orbisto {
namespace {

using test::Bytes;
using test::get_u16;
using test::small_catalog;

std::span<const std::uint8_t> span_of(std::string_view s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

std::string text_at(const std::vector<std::uint8_t>& pool, std::uint32_t offset) {
    return std::string(pool_text(pool, offset));
}

TEST(PoolEncoding, OffsetsOfEveryTextFollowTheConversion) {
    // Windows-1252: "Müller" "€uro" "plain" "ßäöü"
    const std::string cp("\0M\xFCller\0\x80uro\0plain\0\xDF\xE4\xF6\xFC\0", 24);
    const std::uint32_t starts[] = {0, 1, 7, 8, 12, 13, 18, 19, 23, 24};
    PoolRemap to_utf8;
    const auto utf8 = pool_cp1252_to_utf8(span_of(cp), to_utf8);
    EXPECT_EQ(text_at(utf8, to_utf8.map(1)), "M\xC3\xBCller");
    EXPECT_EQ(text_at(utf8, to_utf8.map(8)), "\xE2\x82\xACuro");
    EXPECT_EQ(text_at(utf8, to_utf8.map(13)), "plain");
    EXPECT_EQ(text_at(utf8, to_utf8.map(19)), "\xC3\x9F\xC3\xA4\xC3\xB6\xC3\xBC");
    EXPECT_EQ(to_utf8.map(24), utf8.size());      // the end maps to the end
    EXPECT_EQ(to_utf8.map(27), utf8.size() + 3);  // past the end keeps its distance

    // And back: every text start returns to where it was.
    PoolRemap to_cp;
    const auto back = pool_utf8_to_cp1252(utf8, to_cp);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(std::string(back->begin(), back->end()), cp);
    for (const std::uint32_t s : starts) EXPECT_EQ(to_cp.map(to_utf8.map(s)), s) << s;
    // An offset inside a character maps to the start of that character.
    EXPECT_EQ(to_cp.map(to_utf8.map(8) + 1), 8u);
}

TEST(CatalogEncoding, TextsThatFitAreWrittenAsWindows1252AndReadBackAsUtf8) {
    Catalog c = small_catalog("Bücher", "Grüße.txt", "schön");
    set_fixed_text(c.header.medium_name, "Meine Äpfel");
    set_fixed_text(c.info.lent_to, "Jörg");
    c.set_description("Übersicht");
    const Bytes b = write_catalog_bytes(c);
    EXPECT_EQ(get_u16(b, 98), TEXT_ENCODING_CP1252);
    EXPECT_EQ(b[34 + 6], 0xC4);  // Ä as one byte in the medium name
    const std::string s = test::to_string(b);
    EXPECT_NE(s.find("B\374cher"), std::string::npos);
    EXPECT_NE(s.find("Gr\374\337e.txt"), std::string::npos);
    EXPECT_EQ(s.find("\xC3\xBC"), std::string::npos);  // no UTF-8 left anywhere

    Catalog back;
    WorkLimits limits;
    ASSERT_EQ(read_catalog_bytes(b, 0, false, limits, back), CatalogReadError::None);
    test::expect_same_catalog(c, back);  // names behind the converted ones included
}

TEST(CatalogEncoding, ATextOutsideWindows1252MakesTheWholeFileUtf8) {
    Catalog c = small_catalog("Bücher", "日本.txt", "schön");
    const Bytes b = write_catalog_bytes(c);
    EXPECT_EQ(get_u16(b, 98), TEXT_ENCODING_UTF8);
    const std::string s = test::to_string(b);
    EXPECT_NE(s.find("B\303\274cher"), std::string::npos);  // ü stays UTF-8 as well
    Catalog back;
    WorkLimits limits;
    ASSERT_EQ(read_catalog_bytes(b, 0, false, limits, back), CatalogReadError::None);
    test::expect_same_catalog(c, back);

    // Also when only a fixed field holds such a text.
    Catalog d = small_catalog();
    set_fixed_text(d.info.place, "東京");
    EXPECT_EQ(get_u16(write_catalog_bytes(d), 98), TEXT_ENCODING_UTF8);
}

TEST(CatalogEncoding, Windows1252FixedFieldsAreCutAtACharacterBoundary) {
    // 31 umlauts fill the 32-byte label in Windows-1252 but need 62 bytes
    // in UTF-8.
    Catalog c;
    Bytes b = write_catalog_bytes(c);
    for (int i = 0; i < 31; ++i) b[2 + i] = 0xE4;
    Catalog back;
    WorkLimits limits;
    ASSERT_EQ(read_catalog_bytes(b, 0, false, limits, back), CatalogReadError::None);
    const std::string_view label = fixed_text(back.header.volume_label);
    EXPECT_EQ(label.size(), 30u);
    EXPECT_EQ(label.substr(0, 2), "\xC3\xA4");
}

}  // namespace
}  // namespace orbisto
