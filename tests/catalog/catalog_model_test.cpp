#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "catalog/catalog.h"
#include "catalog_fixture.h"

namespace orbisto {
namespace {

using test::add_dir;
using test::add_file;
using test::expect_invariants;

TEST(CatalogReset, EmptyCatalogHasRootArchiveTextAndReservedImageBytes) {
    Catalog cat;
    expect_invariants(cat);
    EXPECT_EQ(cat.header.version, 3);
    EXPECT_EQ(cat.dir_count(), 1u);
    EXPECT_EQ(cat.file_count(), 0u);
    EXPECT_EQ(cat.header.total_kb, 0.0f);
    EXPECT_EQ(cat.header.medium_flags, 0u);
    EXPECT_EQ(cat.names_used(), 1u);
    EXPECT_EQ(cat.images_used(), 8u);
    EXPECT_EQ(cat.comment_at(1), "Archiveinhalt!! KEIN richtiges Verzeichnis");
    EXPECT_EQ(cat.comments_used(), std::strlen(ARCHIVE_TEXT_DE) + 2);
    EXPECT_EQ(cat.current_number(), -1);
    EXPECT_FALSE(cat.changed());
    // the end mark sits behind the used bytes
    const std::uint8_t* end = cat.comment_bytes().data() + cat.comments_used();
    EXPECT_EQ(end[0], 0xFF);
    EXPECT_EQ(end[1], 0x00);
    EXPECT_EQ(cat.status_text(0), "V:1 D:0 K:44 I:8 H:0");
}

TEST(CatalogReset, ResetDropsContentsButKeepsTheNumberAndUsesTheLanguage) {
    Catalog cat(test::small_limits());
    const auto d = add_dir(cat, "dir", 0, "c");
    add_file(cat, "f.txt", d, 2.0f);
    set_fixed_text(cat.header.medium_name, "Medium");
    cat.set_description("text");
    cat.set_current_number(7);
    cat.set_changed(true);

    cat.reset(true);
    expect_invariants(cat);
    EXPECT_EQ(cat.dir_count(), 1u);
    EXPECT_EQ(cat.file_count(), 0u);
    EXPECT_EQ(cat.description(), "");
    EXPECT_EQ(fixed_text(cat.header.medium_name), "");
    EXPECT_EQ(cat.header.total_kb, 0.0f);
    EXPECT_EQ(cat.comment_at(1), "expanded archive!! NO real directory");
    EXPECT_EQ(cat.comments_used(), std::strlen(ARCHIVE_TEXT_EN) + 2);
    EXPECT_EQ(cat.current_number(), 7);
    EXPECT_FALSE(cat.changed());
}

TEST(CatalogRecords, AppendingGrowsPastTheStartLimitsAndKeepsEndMarkers) {
    Catalog cat(test::small_limits());
    std::uint32_t parent = 0;
    for (int i = 0; i < 50; ++i) {
        parent = add_dir(cat, "d" + std::to_string(i), parent, "comment " + std::to_string(i));
        add_file(cat, "f" + std::to_string(i), parent, 1.0f);
        expect_invariants(cat);
    }
    EXPECT_EQ(cat.dir_count(), 51u);
    EXPECT_EQ(cat.file_count(), 50u);
    // nothing was lost while the areas grew
    EXPECT_EQ(cat.dir_name(1), "d0");
    EXPECT_EQ(cat.dir_comment(50), "comment 49");
    EXPECT_EQ(cat.file_name(49), "f49");
    EXPECT_EQ(cat.comment_at(1), ARCHIVE_TEXT_DE);
}

TEST(CatalogRecords, RecordsWhoseParentIsNotAnEarlierDirectoryAreRefused) {
    Catalog cat;
    DirRecord d;
    d.parent = 1;  // would be its own parent
    EXPECT_EQ(cat.append_dir(d).status, AppendStatus::BadParent);
    FileRecord f;
    f.parent = 1;  // no directory 1 yet
    EXPECT_EQ(cat.append_file(f).status, AppendStatus::BadParent);
    expect_invariants(cat);
    EXPECT_EQ(cat.dir_count(), 1u);
    EXPECT_EQ(cat.file_count(), 0u);
}

TEST(CatalogPools, AppendReturnsOffsetsAndKeepsHeaderSizes) {
    Catalog cat;
    EXPECT_EQ(cat.append_name("abc").value, 1u);
    EXPECT_EQ(cat.append_name("de").value, 5u);
    EXPECT_EQ(cat.header.names_size, 8u);
    EXPECT_EQ(cat.name_at(5), "de");
    // a name is cut at an embedded NUL
    EXPECT_EQ(cat.name_at(cat.append_name(std::string("x\0y", 3)).value), "x");

    const std::uint32_t c = cat.append_comment("hello").value;
    EXPECT_EQ(c, 44u);
    EXPECT_EQ(cat.comment_at(c), "hello");
    EXPECT_EQ(cat.comments_used(), 50u);
    EXPECT_EQ(cat.comment_bytes().data()[50], 0xFF);

    const std::uint8_t img[] = {1, 2, 3};
    const std::uint32_t i = cat.append_image(img).value;
    EXPECT_EQ(i, 8u);
    EXPECT_EQ(cat.images_used(), 12u);
    EXPECT_EQ(cat.header.images_size, 12u);
    ASSERT_EQ(cat.image_at(i).size(), 4u);
    EXPECT_EQ(cat.image_at(i)[3], 0);  // the 0 byte behind every image
    EXPECT_TRUE(cat.image_at(0).empty());
    EXPECT_TRUE(cat.image_at(7).empty());
}

TEST(CatalogPools, NamePoolRefusesToPass16MiB) {
    Catalog cat;
    const std::string big(Catalog::MAX_NAMES_SIZE - 3, 'a');
    ASSERT_TRUE(cat.append_name(big).ok());  // used: 1 + big + NUL = 2^24 - 1
    EXPECT_EQ(cat.append_name("x").status, AppendStatus::PoolFull);
    EXPECT_TRUE(cat.append_name("").ok());  // exactly 2^24 bytes
    EXPECT_EQ(cat.names_used(), Catalog::MAX_NAMES_SIZE);
    EXPECT_EQ(cat.append_name("").status, AppendStatus::PoolFull);
    EXPECT_EQ(cat.header.names_size, Catalog::MAX_NAMES_SIZE);
}

TEST(CatalogPools, NoCommentStartsAtTheDirectoryDeletionMark) {
    Catalog cat;
    const std::size_t fill = DIR_DELETED_COMMENT - cat.comments_used() - 1;
    ASSERT_TRUE(cat.append_comment(std::string(fill, 'c')).ok());
    ASSERT_EQ(cat.comments_used(), DIR_DELETED_COMMENT);
    const AppendResult r = cat.append_comment("after");
    ASSERT_TRUE(r.ok());
    EXPECT_NE(r.value, DIR_DELETED_COMMENT);
    EXPECT_EQ(cat.comment_at(r.value), "after");
    EXPECT_EQ(cat.comment_at(DIR_DELETED_COMMENT), "");
}

TEST(CatalogPools, GarbageOffsetsReadAsEmptyTextsAndNeverPastThePool) {
    Catalog cat;
    add_file(cat, "name", 0, 1.0f, "comment");
    for (std::uint32_t off : {0x7FFFFFFFu, 0xFFFFFFFFu, 0x00FFFFFFu, 100u, 0x01000000u}) {
        EXPECT_EQ(cat.comment_at(off), "") << off;
        EXPECT_TRUE(cat.image_at(off).empty()) << off;
    }
    EXPECT_EQ(cat.name_at(0xFFFFFFFF), "");
    // name offsets use their low 24 bits
    EXPECT_EQ(cat.name_at(0x05000001), "name");
    // records out of range give empty texts
    EXPECT_EQ(cat.file_name(1), "");
    EXPECT_EQ(cat.dir_comment(5), "");
    EXPECT_EQ(cat.file_path(99), "");

    // a pool from elsewhere whose last text lacks its NUL stops at the used bytes
    cat.assign_names({0, 'a', 'b', 'c'});
    EXPECT_EQ(cat.name_at(1), "abc");
    cat.assign_comments({0, 'x', 'y'});
    EXPECT_EQ(cat.comment_at(1), "xy");  // the end mark is not part of the text
    EXPECT_EQ(cat.comment_at(3), "");
}

TEST(CatalogPaths, PathsJoinNamesFromTheTopAndSurviveBrokenChains) {
    Catalog cat;
    const auto a = add_dir(cat, "a", 0);
    const auto b = add_dir(cat, "b", a);
    const auto c = add_dir(cat, "c", b);
    const auto f = add_file(cat, "f.txt", c, 1.0f);
    const auto top = add_file(cat, "top.txt", 0, 1.0f);
    EXPECT_EQ(cat.dir_path(0), "");
    EXPECT_EQ(cat.dir_path(c), "a/b/c");
    EXPECT_EQ(cat.file_path(f), "a/b/c/f.txt");
    EXPECT_EQ(cat.file_path(top), "top.txt");
    EXPECT_EQ(cat.dir_path(42), "");

    // a loop in the parent chain (as a damaged file may hold) ends the walk
    cat.dirs()[a].parent = c;
    EXPECT_EQ(cat.dir_path(c), "a/b/c");
    cat.dirs()[b].parent = b;
    EXPECT_EQ(cat.dir_path(c), "b/c");
    cat.dirs()[c].parent = 0xFFFFFFFF;
    EXPECT_EQ(cat.dir_path(c), "c");
}

TEST(CatalogText, FixedFieldsAndDescriptionAreCutAtCharacterBoundaries) {
    MediumHeader h;
    // 30 ASCII bytes, then a two-byte character that would end at byte 32
    const std::string label = std::string(30, 'L') + "\xC3\xA4" + "x";
    set_fixed_text(h.volume_label, label);
    EXPECT_EQ(fixed_text(h.volume_label), std::string(30, 'L'));
    EXPECT_EQ(h.volume_label[31], '\0');
    set_fixed_text(h.volume_label, std::string(29, 'L') + "\xC3\xA4" + "x");
    EXPECT_EQ(fixed_text(h.volume_label), std::string(29, 'L') + "\xC3\xA4");

    // a field without any NUL (from a damaged file) is read to its end only
    std::memset(h.medium_name, 'n', sizeof h.medium_name);
    EXPECT_EQ(fixed_text(h.medium_name).size(), sizeof h.medium_name);

    Catalog cat;
    std::string text(Catalog::MAX_DESCRIPTION - 1, 'd');
    text += "\xE2\x82\xAC";  // a three-byte character across the limit
    EXPECT_FALSE(cat.set_description(text));
    EXPECT_EQ(cat.description().size(), Catalog::MAX_DESCRIPTION - 1);
    EXPECT_EQ(cat.info.description_length, Catalog::MAX_DESCRIPTION - 1);
    EXPECT_TRUE(cat.set_description("short"));
    EXPECT_EQ(cat.info.description_length, 5u);
}

TEST(CatalogRecordLayout, RecordsCopyAsLittleEndianBytesAtTheirOffsets) {
    FileRecord f;
    f.name = 0x11223344;
    f.size_kb = size_kb_from_bytes(1536);
    f.time.set(0x0102030405060708ull);
    f.parent = 9;
    std::uint8_t raw[sizeof(FileRecord)];
    std::memcpy(raw, &f, sizeof f);
    EXPECT_EQ(raw[0], 0x44);
    EXPECT_EQ(raw[12], 0x08);
    EXPECT_EQ(raw[19], 0x01);
    EXPECT_EQ(raw[24], 9);
    FileRecord back;
    std::memcpy(&back, raw, sizeof back);
    EXPECT_EQ(back.time.value(), 0x0102030405060708ull);

    EXPECT_EQ(f.size_kb, 1.5f);
    EXPECT_EQ(bytes_from_size_kb(1.5f), 1536u);
    EXPECT_EQ(bytes_from_size_kb(FILE_DELETED_SIZE), 0u);
    FileRecord deleted;
    deleted.size_kb = FILE_DELETED_SIZE;
    EXPECT_TRUE(is_deleted(deleted));

    EXPECT_EQ(dir_object(5), 0x80000005u);
    EXPECT_TRUE(is_dir_object(dir_object(5)));
    EXPECT_FALSE(is_dir_object(file_object(5)));
    EXPECT_EQ(object_index(dir_object(5)), 5u);
}

TEST(CatalogBulk, AssignedAreasGetEndMarkersAndTheMinimumPoolContents) {
    Catalog cat;
    std::vector<DirRecord> dirs(3);
    dirs[1].parent = 0;
    dirs[2].parent = 1;
    std::vector<FileRecord> files(2);
    files[1].parent = 2;
    cat.assign_records(dirs, files);
    cat.assign_names({});
    cat.assign_images({1, 2});
    cat.assign_comments({});
    expect_invariants(cat);
    EXPECT_EQ(cat.dir_count(), 3u);
    EXPECT_EQ(cat.file_count(), 2u);
    EXPECT_EQ(cat.names_used(), 1u);
    EXPECT_EQ(cat.images_used(), 8u);
    EXPECT_EQ(cat.comments_used(), 1u);
    EXPECT_EQ(cat.append_comment("new").value, 1u);

    cat.assign_records({}, {});
    expect_invariants(cat);
    EXPECT_EQ(cat.dir_count(), 1u);  // the root is always there

    // a marker overwritten by mistake is put back
    cat.dirs().data()[1].parent = 3;
    cat.set_end_markers();
    expect_invariants(cat);
}

}  // namespace
}  // namespace orbisto
