// Media beyond what version 3 readers hold: more than 65,535 directories or
// a NamePool past 16 MiB are stored whole in the large form (version word 4),
// which the readers here take like any catalogue and older readers refuse.
#include "catalog/catalog_large.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "catalog/catalog_file_fixture.h"
#include "catalog/catalog_format.h"
#include "catalog/catalog_zip.h"
#include "catalog/fastload.h"
#include "catalog/media_list.h"

namespace orbisto {
namespace {

using test::Bytes;
using test::CatalogFileStore;
using test::get_u16;
using test::read_bytes;

constexpr std::size_t k16MiB = std::size_t{1} << 24;

// The root and `dirs` - 1 directories in a chain of 64 levels at most, a
// file in the last directory and one at the root.
Catalog many_dirs(std::uint32_t dirs) {
    Catalog c;
    c.reserve_dirs(dirs);
    const std::uint32_t name = c.append_name("d").value;
    for (std::uint32_t i = 1; i < dirs; ++i) {
        DirRecord d;
        d.name = name;
        d.parent = i % 64 == 1 ? 0 : i - 1;
        c.append_dir(d);
    }
    FileRecord f;
    f.name = c.append_name("last.txt").value;
    f.parent = dirs - 1;
    f.comment = c.append_comment("in the last directory").value;
    c.append_file(f);
    f.name = c.append_name("top.txt").value;
    f.parent = 0;
    f.comment = 0;
    c.append_file(f);
    return c;
}

// A NamePool of `filler` + 3 bytes: the empty name, one long name, then "b"
// at offset filler + 1.
Catalog many_names(std::size_t filler) {
    Catalog c;
    FileRecord f;
    f.name = c.append_name(std::string(filler - 1, 'a')).value;
    c.append_file(f);
    f.name = c.append_name("b").value;
    c.append_file(f);
    return c;
}

TEST(CatalogLargeForm, IsWrittenExactlyWhenAVersion3ReaderWouldLoseSomething) {
    struct Case {
        const char* what;
        Catalog cat;
        std::uint16_t version;
    };
    // 65,535 directories (with the root) leave index 0xFFFF free; the pool of
    // exactly 16 MiB has its last text at an offset below 2^24.
    Case cases[] = {
        {"65,535 directories", many_dirs(65535), 3},
        {"65,536 directories", many_dirs(65536), 4},
        {"a NamePool of 16 MiB", many_names(k16MiB - 3), 3},
        {"a NamePool past 16 MiB", many_names(k16MiB), 4},
    };
    for (Case& k : cases) {
        const Bytes bytes = write_catalog_bytes(k.cat);
        EXPECT_EQ(get_u16(bytes, 0), k.version) << k.what;

        Catalog back;
        ASSERT_EQ(read_bytes(bytes, back, 3), CatalogReadError::None) << k.what;
        EXPECT_EQ(back.header.version, k.version) << k.what;
        EXPECT_EQ(back.dir_count(), k.cat.dir_count()) << k.what;
        ASSERT_EQ(back.file_count(), 2u) << k.what;
        EXPECT_EQ(back.file_path(1), k.cat.file_path(1)) << k.what;
        EXPECT_EQ(back.file_path(0), k.cat.file_path(0)) << k.what;
        test::expect_same_catalog(k.cat, back);
    }
    // What a version 3 reader would have lost: the file below directory
    // 0xFFFF (its parent is the end marker there) and the name at 2^24
    // (masked to offset 0, the empty name).
    const Catalog dirs = many_dirs(65536);
    EXPECT_EQ(dirs.files()[0].parent, 0xFFFFu);
    EXPECT_EQ(dirs.file_comment(0), "in the last directory");
    const Catalog names = many_names(k16MiB);
    EXPECT_EQ(names.files()[1].name, k16MiB + 1);
    EXPECT_EQ(names.file_name(1), "b");
}

TEST(CatalogLargeForm, OlderReadersSeeAWrongVersionPlainAndCompressed) {
    const Bytes large = write_catalog_bytes(many_dirs(70000));
    // The version word is all a version 3 reader checks before it reads on:
    // 4 is neither 2 nor 3 and no "PK".
    EXPECT_EQ(get_u16(large, 0), kVersionLarge);
    EXPECT_FALSE(is_compressed_catalog(large));
    // A compressed file carries the large form whole, and the member HEADER
    // that media lists read says 4 as well.
    const auto zip = make_catalog_zip(large);
    ASSERT_TRUE(zip.has_value());
    Bytes header, inner;
    ASSERT_EQ(read_zip_member(*zip, kZipHeaderMember, 1 << 20, header), ZipReadError::None);
    ASSERT_EQ(read_zip_member(*zip, kZipCatalogMember, SIZE_MAX, inner), ZipReadError::None);
    EXPECT_EQ(get_u16(header, 0), kVersionLarge);
    EXPECT_EQ(inner, large);
}

TEST(CatalogLargeForm, DamagedLargeFilesGiveTheUsualErrors) {
    const Catalog c = many_dirs(65600);
    const Bytes full = write_catalog_bytes(c);
    const std::size_t dirs = 136 + 872, files = dirs + 65600 * 36, names = files + 2 * 32;
    const struct {
        std::size_t cut;
        CatalogReadError error;
    } cuts[] = {
        {100, CatalogReadError::Header},
        {dirs + 65599 * 36, CatalogReadError::Dirs},
        {files + 40, CatalogReadError::Files},
        {names + 3, CatalogReadError::Names},
    };
    for (const auto& k : cuts) {
        Catalog back = c;
        const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(k.cut));
        EXPECT_EQ(read_bytes(cut, back, 3), k.error) << k.cut;
        EXPECT_EQ(back.dir_count(), 1u) << k.cut;  // emptied
    }
    // A newer version than the large form is refused.
    Bytes b = full;
    b[0] = 5;
    Catalog back;
    EXPECT_EQ(read_bytes(b, back, 3), CatalogReadError::WrongVersion);
}

// A Windows-1252 file whose names grow past 16 MiB as UTF-8 loads whole and
// is written back as the same version 3 file.
TEST(CatalogLargeForm, AVersion3PoolThatGrowsInMemoryIsWrittenBackUnchanged) {
    // 6 MiB of ASCII, 3 Mi times "é" (two bytes in UTF-8, one in
    // Windows-1252), 6 MiB of ASCII, "tail": 15 MiB in the file, 18 MiB in
    // memory.
    std::string accents;
    for (int i = 0; i < (3 << 20); ++i) accents += "\xC3\xA9";
    const std::string names[] = {std::string(6 << 20, 'e'), accents, std::string(6 << 20, 'x'),
                                 "tail"};
    Catalog c;
    for (const std::string& name : names) {
        FileRecord f;
        f.name = c.append_name(name).value;
        c.append_file(f);
    }
    const Bytes v3 = write_catalog_bytes(c);
    ASSERT_EQ(get_u16(v3, 0), 3);
    ASSERT_EQ(get_u16(v3, offsetof(StoredMediumHeader, text_encoding)), TEXT_ENCODING_CP1252);

    Catalog back;
    ASSERT_EQ(read_bytes(v3, back, 3), CatalogReadError::None);
    EXPECT_GT(back.names_used(), k16MiB);
    EXPECT_EQ(back.file_name(3), "tail");
    EXPECT_EQ(back.file_name(1).substr(0, 4), "\xC3\xA9\xC3\xA9");
    EXPECT_EQ(back.file_name(2).size(), std::size_t{6} << 20);
    test::expect_same_catalog(c, back);
}

TEST_F(CatalogFileStore, LargeCataloguesAreStoredListedAndLoadedLikeAnyOther) {
    Catalog big = many_dirs(66000);
    set_fixed_text(big.header.medium_name, "Big");
    for (const int compressed : {0, 1}) {
        ctx.settings.options.store_compressed = compressed;
        save_as(big, compressed);
        EXPECT_EQ(ctx.catalog.header.version, kVersionLarge);
        MediumHeader h;
        EXPECT_EQ(ReadCatalogHeader(ctx, compressed, h), 1) << compressed;
        EXPECT_EQ(h.version, kVersionLarge);
        EXPECT_EQ(h.dir_count, 66000u);
        // A header write keeps the file's form.
        set_fixed_text(h.medium_name, "Bigger");
        EXPECT_EQ(WriteCatalogHeader(ctx, compressed, h), 1);
    }
    ctx.settings.options.fast_load = true;
    ASSERT_TRUE(BuildMediaList(ctx));  // from the files: no index yet
    ASSERT_EQ(ctx.media.count(), 2u);
    for (const auto& m : fe.messages) EXPECT_EQ(m.text.find("version"), std::string::npos);
    WriteFastLoadIndex(ctx);
    ASSERT_TRUE(BuildMediaList(ctx));  // from the index
    ASSERT_EQ(ctx.media.count(), 2u);
    for (int n : {0, 1}) {
        EXPECT_EQ(ctx.media.entries[static_cast<std::size_t>(n)].version, kVersionLarge);
        ASSERT_TRUE(LoadCatalog(ctx, n)) << n;
        EXPECT_EQ(fixed_text(ctx.catalog.header.medium_name), "Bigger");
        EXPECT_EQ(ctx.catalog.dir_count(), 66000u);
        EXPECT_EQ(ctx.catalog.file_comment(0), "in the last directory");
    }
}

}  // namespace
}  // namespace orbisto
