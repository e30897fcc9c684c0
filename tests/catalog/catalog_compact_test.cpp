#include "catalog/catalog_compact.h"

#include <gtest/gtest.h>

#include <cstring>

#include "catalog/catalog_edit.h"
#include "catalog_fixture.h"
#include "support/scripted_frontend.h"

namespace orbisto {
namespace {

using test::add_dir;
using test::add_file;
using test::expect_invariants;

// root: x/ (x1), y/ (y1) with y/z/ (z1), w/ (w1, archive text); top in the root
struct Sample {
    Catalog cat{test::small_limits()};
    test::ScriptedFrontend fe;
    std::uint32_t x, y, z, w;
    Sample() {
        x = add_dir(cat, "x", 0, "dir x");
        add_file(cat, "x1", x, 1.0f, "file x1");
        y = add_dir(cat, "y", 0, "dir y");
        add_file(cat, "y1", y, 2.0f, "file y1");
        z = add_dir(cat, "z", y);
        add_file(cat, "z1", z, 4.0f, "file z1");
        w = add_dir(cat, "w", 0);
        cat.dirs()[w].comment = COMMENT_ARCHIVE;
        add_file(cat, "w1", w, 8.0f);
        add_file(cat, "top", 0, 16.0f, "file top");
    }
};

TEST(CompactRecords, RemovesMarkedRecordsRenumbersParentsAndRebuildsNames) {
    Sample s;
    ASSERT_TRUE(delete_directory(s.cat, s.y));
    ASSERT_TRUE(delete_file(s.cat, 0));  // x1
    ASSERT_TRUE(compact_records_and_names(s.cat, s.fe, false));
    expect_invariants(s.cat);
    EXPECT_EQ(s.cat.dirs()[2].comment, COMMENT_ARCHIVE);
    EXPECT_EQ(s.cat.file_path(0), "w/w1");
    EXPECT_EQ(s.cat.file_comment(1), "file top");
    EXPECT_EQ(s.cat.header.total_kb, 24.0f);

    // the remaining names in record order and nothing else
    const std::uint8_t expected[] = "\0x\0w\0w1\0top";
    ASSERT_EQ(s.cat.names_used(), sizeof expected);
    EXPECT_EQ(std::memcmp(s.cat.name_bytes().data(), expected, sizeof expected), 0);
}

TEST(CompactRecords, OrphansGoToTheNearestRemainingAncestorAndNoParentPointsPastTheEnd) {
    Sample s;
    // as a damaged file may hold: y marked but z and the files left behind,
    // a file and a directory with parents out of range
    s.cat.dirs()[s.y].comment = DIR_DELETED_COMMENT;
    s.cat.files()[0].parent = 0xFFFFFFFF;
    s.cat.dirs()[s.w].parent = s.w + 7;
    ASSERT_TRUE(compact_records_and_names(s.cat, s.fe, false));
    expect_invariants(s.cat);
    EXPECT_EQ(s.cat.file_path(0), "x1");
    EXPECT_EQ(s.cat.file_path(2), "z/z1");
}

TEST(CompactComments, RebuildsInRecordOrderKeepingMarksAndArchiveText) {
    Sample s;
    s.cat.files()[1].comment = s.cat.append_comment("file y1 new").value;  // old one: garbage
    s.cat.dirs()[s.z].comment = 0x00ABCDEF;                                // outside the pool
    ASSERT_TRUE(delete_directory(s.cat, s.x));
    ASSERT_TRUE(compact_comments(s.cat, s.fe, true));
    expect_invariants(s.cat);

    EXPECT_EQ(s.cat.dirs()[s.x].comment, DIR_DELETED_COMMENT);
    EXPECT_EQ(s.cat.dirs()[s.w].comment, COMMENT_ARCHIVE);
    EXPECT_EQ(s.cat.dirs()[s.z].comment, COMMENT_NONE);
    // the Catalog's own language stays for the archive text
    const std::string_view expected(
        "\0Archiveinhalt!! KEIN richtiges Verzeichnis\0dir y\0file x1\0file y1 new\0file z1\0file "
        "top",
        86);
    const auto bytes = s.cat.comment_bytes();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string(expected) + '\0');
    EXPECT_EQ(bytes.data()[bytes.size()], 0xFF);
}

}  // namespace
}  // namespace orbisto
