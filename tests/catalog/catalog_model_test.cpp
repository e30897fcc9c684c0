#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "catalog_fixture.h"

namespace orbisto {
namespace {

using test::add_dir;
using test::add_file;
using test::expect_invariants;

TEST(CatalogModel, NamesPass16MiBWithFullOffsetsAndNoCommentAtTheDeletionMark) {
    Catalog cat;
    DirRecord d;
    d.name = 0x05000000 | cat.append_name("d").value;  // a top byte from an old file
    cat.append_dir(d);
    ASSERT_TRUE(cat.append_name(std::string((1u << 24) - 5, 'a')).ok());
    EXPECT_EQ(cat.dir_name(1), "d");  // low 24 bits up to 16 MiB
    EXPECT_EQ(cat.append_name("x").value, (1u << 24) - 1);
    EXPECT_EQ(cat.append_name("y").value, (1u << 24) + 1);
    EXPECT_EQ(cat.name_at(0x01000001), "y");  // all 32 bits past 16 MiB
    EXPECT_EQ(cat.dir_name(1), "d");          // the top byte was dropped on the way

    const std::size_t fill = DIR_DELETED_COMMENT - cat.comments_used() - 1;
    ASSERT_TRUE(cat.append_comment(std::string(fill, 'c')).ok());
    const AppendResult r = cat.append_comment("after");
    EXPECT_NE(r.value, DIR_DELETED_COMMENT);
    EXPECT_EQ(cat.comment_at(r.value), "after");
}

TEST(CatalogModel, GarbageOffsetsIndexesAndParentChainsAreReadSafely) {
    Catalog cat;
    const auto a = add_dir(cat, "a", 0);
    const auto b = add_dir(cat, "b", a);
    const auto c = add_dir(cat, "c", b);
    EXPECT_EQ(cat.file_path(add_file(cat, "f.txt", c, 1.0f, "comment")), "a/b/c/f.txt");
    for (std::uint32_t off : {0xFFFFFFFFu, 0x00FFFFFFu}) {
        EXPECT_EQ(cat.comment_at(off), "") << off;
        EXPECT_TRUE(cat.image_at(off).empty()) << off;
    }
    EXPECT_EQ(cat.name_at(0x05000001), "a");  // low 24 bits
    EXPECT_EQ(cat.file_path(99), "");

    cat.dirs()[a].parent = c;  // a loop ends the walk
    EXPECT_EQ(cat.dir_path(c), "a/b/c");
    cat.dirs()[c].parent = 0xFFFFFFFF;
    EXPECT_EQ(cat.dir_path(c), "c");

    // pools from elsewhere whose last text lacks its NUL
    cat.assign_comments({0, 'x', 'y'});
    EXPECT_EQ(cat.comment_at(1), "xy");  // the end mark is not part of it
}

TEST(CatalogModel, TextsAreCutAtCharacterBoundariesAndDeletedSizesAreNoBytes) {
    MediumHeader h;
    // Ω has no Windows-1252 byte, so the text is counted in UTF-8 bytes: Ω
    // would end at byte 32 of the 31 the label holds.
    set_fixed_text(h.volume_label, std::string(30, 'L') + "\xCE\xA9x");
    EXPECT_EQ(fixed_text(h.volume_label), std::string(30, 'L'));

    Catalog cat;
    EXPECT_FALSE(cat.set_description(std::string(32766, 'd') + "\xCE\xA9"));
    EXPECT_EQ(cat.info.description_length, 32766u);

    EXPECT_EQ(bytes_from_size_kb(FILE_DELETED_SIZE), 0u);
}

}  // namespace
}  // namespace orbisto
