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
using test::read_bytes;
using test::small_catalog;

TEST(PoolEncoding, AnOffsetInsideACharacterMapsToItsStartAndPastTheEndKeepsItsDistance) {
    // Windows-1252: "€uro" "ß"
    const std::string cp("\0\x80uro\0\xDF\0", 8);
    PoolRemap to_utf8;
    const auto utf8 =
        pool_cp1252_to_utf8({reinterpret_cast<const std::uint8_t*>(cp.data()), cp.size()}, to_utf8);
    EXPECT_EQ(to_utf8.map(8), utf8.size());
    EXPECT_EQ(to_utf8.map(11), utf8.size() + 3);
    PoolRemap to_cp;
    ASSERT_TRUE(pool_utf8_to_cp1252(utf8, to_cp).has_value());
    EXPECT_EQ(to_cp.map(to_utf8.map(1) + 1), 1u);
}

TEST(CatalogEncoding, Windows1252WhenEveryTextFitsElseUtf8AndBothReadBack) {
    const struct {
        const char* dir;
        const char* file;
        const char* place;
        std::uint16_t encoding;
        const char* stored_dir;
    } rows[] = {
        {"Bücher", "Grüße.txt", "", TEXT_ENCODING_CP1252, "B\374cher"},
        // Only a name needs UTF-8: the pools are UTF-8 (ü too), the fixed texts not.
        {"Bücher", "日本.txt", "", TEXT_ENCODING_POOLS_UTF8, "B\303\274cher"},
        {"Bücher", "a.txt", "東京", TEXT_ENCODING_UTF8, "B\303\274cher"},  // only a fixed field
    };
    for (const auto& r : rows) {
        Catalog c = small_catalog(r.dir, r.file, "schön");
        set_fixed_text(c.info.place, r.place);
        c.set_description("Übersicht");
        const Bytes b = write_catalog_bytes(c);
        EXPECT_EQ(get_u16(b, 98), r.encoding) << r.file;
        EXPECT_NE(test::to_string(b).find(r.stored_dir), std::string::npos) << r.file;
        Catalog back;
        ASSERT_EQ(read_bytes(b, back, 0), CatalogReadError::None);
        test::expect_same_catalog(c, back);  // names behind the converted ones included
    }
}

TEST(CatalogEncoding, FullWindows1252FixedFieldsReadWhole) {
    // 31 umlauts fill the 32-byte label in Windows-1252 and need 62 bytes
    // in UTF-8: all of them are read, and written back as they were.
    Bytes b = write_catalog_bytes(Catalog{});
    for (int i = 0; i < 31; ++i) b[2 + i] = 0xE4;
    Catalog back;
    ASSERT_EQ(read_bytes(b, back, 0), CatalogReadError::None);
    const std::string_view label = fixed_text(back.header.volume_label);
    EXPECT_EQ(label.size(), 62u);
    EXPECT_EQ(label.substr(0, 2), "\xC3\xA4");
    EXPECT_EQ(write_catalog_bytes(back), b);
}

TEST(CatalogEncoding, AFixedFieldWithoutItsNulKeepsWhatTheFieldHolds) {
    // A damaged header fills the label (32 bytes) or the medium name (58) to
    // the end with umlauts. The text is read as far as a field holds with its
    // NUL and stays Windows-1252, not cut to half when written as UTF-8.
    struct Field {
        std::size_t offset, size;
        std::string_view (*text)(const Catalog&);
    };
    const Field fields[] = {
        {2, 32, [](const Catalog& c) { return fixed_text(c.header.volume_label); }},
        {34, 58, [](const Catalog& c) { return fixed_text(c.header.medium_name); }},
    };
    for (const Field& f : fields) {
        Bytes b = write_catalog_bytes(Catalog{});
        std::fill_n(b.begin() + static_cast<std::ptrdiff_t>(f.offset), f.size, 0xE4);
        Catalog back;
        ASSERT_EQ(read_bytes(b, back, 0), CatalogReadError::None);
        EXPECT_EQ(f.text(back).size(), 2 * (f.size - 1)) << f.offset;
        Bytes expected = b;
        expected[f.offset + f.size - 1] = 0;
        EXPECT_EQ(write_catalog_bytes(back), expected) << f.offset;
    }
}

}  // namespace
}  // namespace orbisto
