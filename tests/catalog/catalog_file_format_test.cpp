// The catalogue file as bytes: the exact layout written, reading it back,
// the old version 2 layout, and files that are truncated or lie.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "catalog/catalog_file_fixture.h"
#include "catalog/catalog_format.h"

namespace orbisto {
namespace {

using test::Bytes;
using test::read_bytes;
using test::set_u32;
using test::small_catalog;

// Appends little-endian values and fixed fields to a byte vector.
struct Builder {
    Bytes b;
    void u16(std::uint16_t v) { put(&v, 2); }
    void u32(std::uint32_t v) { put(&v, 4); }
    void u64(std::uint64_t v) { put(&v, 8); }
    void f32(float v) { put(&v, 4); }
    void put(const void* p, std::size_t n) {
        const auto* c = static_cast<const std::uint8_t*>(p);
        b.insert(b.end(), c, c + n);
    }
    void text(std::string_view s) { b.insert(b.end(), s.begin(), s.end()); }
    void field(std::string_view s, std::size_t n) {
        text(s);
        b.insert(b.end(), n - s.size(), 0);
    }
    void zeros(std::size_t n) { b.insert(b.end(), n, 0); }
};

TEST(CatalogFormat, WritesTheVersion3LayoutByteForByte) {
    const Catalog c = small_catalog();
    const Bytes got = write_catalog_bytes(c);

    Builder e;
    // MediumHeader
    e.u16(3);
    e.field("MYCD", 32);
    e.field("My CD", 58);
    e.f32(12.5f);
    e.u16(5);
    e.u16(0);  // Windows-1252: every text is ASCII
    e.u32(MEDIUM_LENT);
    e.u32(4);
    e.u32(0xABCD1234);
    e.u32(3);  // root, docs, old
    e.u32(4);
    e.f32(7.75f);
    e.u32(0);   // catalogue number
    e.u32(43);  // "\0docs\0old\0readme.txt\0a.bin\0pic.bmp\0top.dat\0"
    e.u32(14);  // 8 reserved bytes + "BM\1\2\3" + 0
    // MediumInfo
    e.field("ACME", 128);
    e.zeros(128 + 128 + 34 + 256 + 32 + 32);
    e.field("A-17", 64);
    e.field("shelf 3", 64);
    e.zeros(2);
    e.u32(18);
    e.text("line one\r\nline two");
    // DirRecords: name, comment, size, time, flags, parent, two reserved words
    e.zeros(36);  // the root
    e.u32(1), e.u32(1), e.f32(0), e.u64(0), e.u32(FLAG_ARCHIVE_DIR), e.u32(0), e.zeros(8);
    e.u32(6), e.u32(0), e.f32(0), e.u64(0), e.u32(0), e.u32(1), e.zeros(8);
    // FileRecords: name, comment, size, time, flags, parent, thumbnail
    e.u32(10), e.u32(44), e.f32(1.5f), e.u64(130000000000000000ULL), e.u32(0), e.u32(1), e.u32(0);
    e.u32(21), e.u32(0), e.f32(2.0f), e.u64(131000000000000000ULL), e.u32(0), e.u32(2), e.u32(0);
    e.u32(27), e.u32(60), e.f32(0.25f), e.u64(129000000000000000ULL), e.u32(FLAG_CRC), e.u32(2),
        e.u32(8);
    e.u32(35), e.u32(0), e.f32(4.0f), e.u64(128000000000000000ULL), e.u32(0), e.u32(0), e.u32(0);
    // NamePool
    e.text(std::string_view("\0docs\0old\0readme.txt\0a.bin\0pic.bmp\0top.dat\0", 43));
    // ImagePool
    e.zeros(8);
    e.text(std::string_view("BM\1\2\3\0", 6));
    // CommentPool without its end mark
    e.text(std::string_view("\0Archiveinhalt!! KEIN richtiges Verzeichnis\0", 44));
    e.text(std::string_view("a short comment\0CRC:1234ABCD pic\0", 33));

    ASSERT_EQ(got.size(), e.b.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i], e.b[i]) << "first difference at byte " << i;
    }
}

// The start of each section of the written small catalogue (see the layout above).
struct Layout {
    static constexpr std::size_t description = 1008, dirs = 1026, files = 1134, names = 1262,
                                 images = 1305, comments = 1319;
} const p;

TEST(CatalogFormat, TruncationGivesTheErrorOfTheSectionCutButKeepsTheCommentsThere) {
    const Bytes full = write_catalog_bytes(small_catalog());
    const struct {
        std::size_t cut;
        CatalogReadError error;
    } cases[] = {
        {1, CatalogReadError::Version},
        {135, CatalogReadError::Header},
        {p.description - 1, CatalogReadError::Info},
        {p.dirs - 1, CatalogReadError::Description},
        {p.files - 1, CatalogReadError::Dirs},
        {p.names - 5, CatalogReadError::Files},
        {p.images - 1, CatalogReadError::Names},
        {p.comments - 1, CatalogReadError::Images},
        {p.comments + 66, CatalogReadError::None},  // inside "CRC:1234ABCD pic" at 60
    };
    for (const auto& k : cases) {
        Catalog back = small_catalog();
        back.set_current_number(5);
        const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(k.cut));
        EXPECT_EQ(read_bytes(cut, back), k.error) << "cut at " << k.cut;
        if (k.error != CatalogReadError::None) {
            EXPECT_EQ(back.file_count(), 0u);  // a failed read leaves an empty Catalog
            EXPECT_EQ(back.current_number(), 5);
        } else {
            EXPECT_EQ(back.file_comment(0), "a short comment");
            EXPECT_EQ(back.file_comment(2), "CRC:12");
            EXPECT_EQ(back.dir_comment(1), "Archiveinhalt!! KEIN richtiges Verzeichnis");
        }
    }
}

TEST(CatalogFormat, LyingCountsAreRefusedBeforeAnythingIsAllocated) {
    const Bytes full = write_catalog_bytes(small_catalog());
    const struct {
        std::size_t offset;
        std::uint32_t value;
        CatalogReadError error;
    } lies[] = {
        {112, 4000000000u, CatalogReadError::Dirs},
        {116, 0xFFFFFFFFu, CatalogReadError::Files},
        {128, 0x7FFFFFFFu, CatalogReadError::Names},
        {132, 0xFFFFFFF0u, CatalogReadError::Images},
        {136 + 868, 0xFFFFFFFFu, CatalogReadError::Description},
    };
    for (const auto& lie : lies) {
        Bytes b = full;
        set_u32(b, lie.offset, lie.value);
        Catalog back;
        WorkLimits limits;
        EXPECT_EQ(read_catalog_bytes(b, 0, false, limits, back), lie.error) << lie.offset;
        EXPECT_EQ(limits.directories, WorkLimits{}.directories);  // nothing grown
    }
}

// Counts in the header of a Catalog that disagree with its containers must
// not produce a file whose parts do not line up; references in a file that
// point outside their range are repaired when read.
TEST(CatalogFormat, LyingHeadersAreNotWrittenAndReferencesOutsideTheirRangeAreRepaired) {
    Catalog c = small_catalog();
    c.header.dir_count = 99;
    c.header.names_size = 5;
    c.info.description_length = 1000;
    Bytes b = write_catalog_bytes(c);
    set_u32(b, p.files + 0 * 32 + 24, 3);    // parent == dir_count
    set_u32(b, p.files + 2 * 32 + 0, 43);    // name == names_size
    set_u32(b, p.files + 3 * 32 + 4, 5000);  // comment past the pool
    set_u32(b, p.dirs + 2 * 36 + 24, 2);     // a directory its own parent
    Catalog back;
    ASSERT_EQ(read_bytes(b, back), CatalogReadError::None);
    EXPECT_EQ(back.files()[0].parent, 0u);
    EXPECT_EQ(back.files()[2].name, 0u);
    EXPECT_EQ(back.files()[3].comment, 0u);
    EXPECT_EQ(back.dirs()[2].parent, 0u);
    EXPECT_EQ(back.file_name(3), "top.dat");
    EXPECT_EQ(back.description(), "line one\r\nline two");
    // A directory deletion mark is a valid value, not a broken offset.
    Bytes marked = write_catalog_bytes(c);
    set_u32(marked, p.dirs + 2 * 36 + 4, DIR_DELETED_COMMENT);
    ASSERT_EQ(read_bytes(marked, back), CatalogReadError::None);
    EXPECT_TRUE(is_deleted(back.dirs()[2]));
}

// ---- version 2 ----

// An old catalogue: root, "sub" (an archive directory), three files, one name
// with a Windows-1252 umlaut. The last name and comment may lack their NUL,
// and the description may be given.
Bytes version2_file(bool terminated = true, std::string_view description = "Hallo") {
    Builder b;
    b.u16(2);
    b.field("OLDCD", 14);
    b.field("Alte CD", 44);
    b.u32(0x11223344);
    b.u32(2);
    b.u32(3);
    b.u32(999);  // integer total, replaced by the computed one
    b.u32(0);
    const std::string names("\0sub\0a.txt\0b\xFCro.doc\0c.txt\0", terminated ? 26 : 25);
    b.u32(static_cast<std::uint32_t>(names.size()));
    b.field("Hersteller", 128);
    b.field("Lieferant", 128);
    b.field("ISBN 1", 128);
    b.field("9,99", 32);
    b.u32(static_cast<std::uint32_t>(description.size()));
    b.text(description);
    // directories: name, packed (comment | flags << 24), u16 parent, 2 unused
    b.u32(0), b.u32(0), b.u16(0), b.u16(0);
    b.u32(1), b.u32(0x80000001), b.u16(0), b.u16(0);
    // files: name, packed, length, FILETIME, u16 parent, 2 unused
    b.u32(5), b.u32(44), b.u32(1024), b.u64(500), b.u16(1), b.u16(0);
    b.u32(11), b.u32(0x40000000), b.u32(2048), b.u64(900), b.u16(1), b.u16(0);
    b.u32(20), b.u32(0), b.u32(512), b.u64(700), b.u16(0), b.u16(0);
    b.text(names);
    b.text(std::string_view("\0Archiveinhalt!! KEIN richtiges Verzeichnis\0Notiz\xE4\0",
                            terminated ? 51 : 50));
    return b.b;
}

TEST(CatalogFormatVersion2, IsConvertedWithTotalsAndDriveType5) {
    Catalog c;
    ASSERT_EQ(read_bytes(version2_file(), c, 12), CatalogReadError::None);
    EXPECT_EQ(c.header.drive_type, 5u);
    EXPECT_EQ(c.header.volume_serial, 0x11223344u);
    EXPECT_EQ(fixed_text(c.header.medium_name), "Alte CD");
    EXPECT_EQ(fixed_text(c.info.price), "9,99");
    EXPECT_EQ(c.description(), "Hallo");
    EXPECT_EQ(c.header.total_kb, 3.5f);

    ASSERT_EQ(c.dir_count(), 2u);
    EXPECT_EQ(c.dirs()[1].flags, FLAG_ARCHIVE_DIR);
    EXPECT_EQ(c.dir_comment(1), "Archiveinhalt!! KEIN richtiges Verzeichnis");
    EXPECT_EQ(c.dirs()[0].time.value(), 900u);
    EXPECT_EQ(c.file_path(1), "sub/b\xC3\xBCro.doc");  // converted to UTF-8
    EXPECT_EQ(c.file_comment(0), "Notiz\xC3\xA4");
    EXPECT_EQ(c.files()[1].flags, FLAG_MARKED);

    // Written again it is a version 3 file that reads back the same.
    const Bytes v3 = write_catalog_bytes(c);
    Catalog again;
    ASSERT_EQ(read_bytes(v3, again, 12), CatalogReadError::None);
    c.dirs()[0].size_kb = 0;  // the root keeps no total in a file
    test::expect_same_catalog(c, again);
}

TEST(CatalogFormatVersion2, ConvertedFilesEndTheirTextsAndKeepLongDescriptions) {
    const std::string long_text(20000, '\xE4');  // "ä" in Windows-1252
    Catalog c;
    ASSERT_EQ(read_bytes(version2_file(false, long_text), c), CatalogReadError::None);
    EXPECT_EQ(c.description().size(), 40000u);  // 20,000 characters in UTF-8
    EXPECT_EQ(c.file_name(2), "c.txt");
    EXPECT_EQ(c.file_comment(0), "Notiz\xC3\xA4");
    const Bytes v3 = write_catalog_bytes(c);
    EXPECT_EQ(test::get<std::uint32_t>(v3, 136 + 868), 20000u);
    const std::size_t names_end = 136 + 872 + 20000 + 2 * 36 + 3 * 32 + c.header.names_size;
    EXPECT_EQ(v3[names_end - 1], 0);  // the last name ends with its NUL ...
    EXPECT_EQ(v3.back(), 0);          // ... and so does the last comment
}

TEST(CatalogFormatVersion2, AVersion3FileWithADamagedVersionWordIsNeverConverted) {
    // The medium name decides what the old layout's counts read as: zeros
    // (no root directory), or text (counts past the end of the file).
    for (const std::string& name : {std::string("My CD"), std::string(57, 'x')}) {
        Catalog c = small_catalog();
        set_fixed_text(c.header.medium_name, name);
        Bytes file = write_catalog_bytes(c);
        file[0] = 2;
        Catalog back;
        EXPECT_NE(read_bytes(file, back), CatalogReadError::None) << name;
        EXPECT_EQ(back.file_count(), 0u);
    }
    // Counts that would fit the old layout do not make a sound version 3
    // file an old one.
    Catalog c = small_catalog();
    Bytes file = write_catalog_bytes(c);
    file[0] = 2;
    set_u32(file, 2 + 62, 1);  // one directory ...
    set_u32(file, 2 + 66, 1);  // ... one file ...
    set_u32(file, 2 + 78, 4);  // ... four name bytes
    Catalog back;
    EXPECT_EQ(read_bytes(file, back), CatalogReadError::Damaged);
}

TEST(CatalogFormatVersion2, TruncatedOrLyingFilesGiveTheirSectionsError) {
    const Bytes full = version2_file();
    Catalog c;
    const std::size_t files = 2 + 82 + 420 + 5 + 24;
    EXPECT_EQ(read_bytes(Bytes(full.begin(), full.begin() + files + 30), c),
              CatalogReadError::Files);
    Bytes lie = full;
    set_u32(lie, 2 + 66, 0x20000000);  // file count
    EXPECT_EQ(read_bytes(lie, c), CatalogReadError::Files);
}

}  // namespace
}  // namespace orbisto
