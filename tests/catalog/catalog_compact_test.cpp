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

// root: x/ (x1), y/ (y1) with y/z/ (z1), w/ (w1); top in the root
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
    EXPECT_TRUE(s.fe.messages.empty());
    expect_invariants(s.cat);

    ASSERT_EQ(s.cat.dir_count(), 3u);
    EXPECT_EQ(s.cat.dir_path(1), "x");
    EXPECT_EQ(s.cat.dir_path(2), "w");
    EXPECT_EQ(s.cat.dirs()[2].parent, 0u);
    EXPECT_EQ(s.cat.dirs()[2].comment, COMMENT_ARCHIVE);
    EXPECT_EQ(s.cat.dir_comment(1), "dir x");
    EXPECT_EQ(test::file_names(s.cat), (std::vector<std::string>{"w1", "top"}));
    EXPECT_EQ(s.cat.file_path(0), "w/w1");
    EXPECT_EQ(s.cat.file_comment(1), "file top");
    EXPECT_EQ(s.cat.header.total_kb, 24.0f);

    // the NamePool holds the remaining names in record order and nothing else
    const std::uint8_t expected[] = "\0x\0w\0w1\0top";
    ASSERT_EQ(s.cat.names_used(), sizeof expected);
    EXPECT_EQ(std::memcmp(s.cat.name_bytes().data(), expected, sizeof expected), 0);
    EXPECT_EQ(s.cat.header.names_size, sizeof expected);
}

TEST(CompactRecords, ParentsOfRemovedDirectoriesGoToTheNearestRemainingAncestor) {
    Sample s;
    // records a damaged catalogue may hold: a directory and a file left
    // behind under a deleted directory, and references out of range
    s.cat.dirs()[s.y].comment = DIR_DELETED_COMMENT;  // y deleted, z and its file not
    s.cat.files()[0].parent = 0xFFFFFFFF;
    s.cat.dirs()[s.w].parent = s.w + 7;
    ASSERT_TRUE(compact_records_and_names(s.cat, s.fe, false));
    expect_invariants(s.cat);
    ASSERT_EQ(s.cat.dir_count(), 4u);
    EXPECT_EQ(s.cat.dir_path(2), "z");  // z now hangs from the root
    EXPECT_EQ(s.cat.file_path(0), "x1");
    EXPECT_EQ(s.cat.file_path(1), "y1");  // y's place went to its parent, the root
    EXPECT_EQ(s.cat.file_path(2), "z/z1");
    EXPECT_EQ(s.cat.dirs()[3].parent, 0u);
}

TEST(CompactRecords, NoDeletionsKeepsRecordsAndShrinksGarbageNames) {
    Sample s;
    const std::string before_paths = s.cat.file_path(2) + "|" + s.cat.dir_path(s.z);
    s.cat.append_name("garbage left by an edit");
    const std::size_t garbage_size = s.cat.names_used();
    ASSERT_TRUE(compact_records_and_names(s.cat, s.fe, true));
    expect_invariants(s.cat);
    EXPECT_EQ(s.cat.file_path(2) + "|" + s.cat.dir_path(s.z), before_paths);
    EXPECT_LT(s.cat.names_used(), garbage_size);
}

TEST(CompactRecords, SharedNamesThatWouldOverflowKeepTheOldPool) {
    // a pool written elsewhere may let many records share one long name
    Catalog cat(test::small_limits());
    const std::uint32_t off = cat.append_name(std::string(1000, 'n')).value;
    std::vector<FileRecord> files(100);
    for (auto& f : files) f.name = off;
    files[3].size_kb = FILE_DELETED_SIZE;
    cat.assign_records({DirRecord{}}, files);
    const std::vector<std::uint8_t> old_names(cat.name_bytes().begin(), cat.name_bytes().end());
    test::ScriptedFrontend fe;
    ASSERT_TRUE(compact_records_and_names(cat, fe, false));
    expect_invariants(cat);
    EXPECT_EQ(cat.file_count(), 99u);
    EXPECT_EQ(std::vector<std::uint8_t>(cat.name_bytes().begin(), cat.name_bytes().end()),
              old_names);
    EXPECT_EQ(cat.file_name(98).size(), 1000u);
}

TEST(CompactComments, RebuildsInRecordOrderKeepingMarksAndArchiveText) {
    Sample s;
    // garbage: a replaced comment and an offset outside the pool
    s.cat.files()[1].comment = s.cat.append_comment("file y1 new").value;
    s.cat.dirs()[s.z].comment = 0x00ABCDEF;
    ASSERT_TRUE(delete_directory(s.cat, s.x));  // comment becomes the deletion mark
    ASSERT_TRUE(compact_comments(s.cat, s.fe, true));
    expect_invariants(s.cat);

    EXPECT_EQ(s.cat.comment_at(1), ARCHIVE_TEXT_DE);  // the Catalog's own language stays
    EXPECT_EQ(s.cat.dirs()[s.x].comment, DIR_DELETED_COMMENT);
    EXPECT_EQ(s.cat.dirs()[s.w].comment, COMMENT_ARCHIVE);
    EXPECT_EQ(s.cat.dirs()[s.z].comment, COMMENT_NONE);
    EXPECT_EQ(s.cat.dir_comment(s.y), "dir y");
    EXPECT_EQ(s.cat.file_comment(0), "file x1");
    EXPECT_EQ(s.cat.file_comment(1), "file y1 new");
    EXPECT_EQ(s.cat.file_comment(3), "");

    std::string expected("\0", 1);
    expected += ARCHIVE_TEXT_DE;
    for (const char* t : {"dir y", "file x1", "file y1 new", "file z1", "file top"}) {
        expected.push_back('\0');
        expected += t;
    }
    expected.push_back('\0');
    const auto bytes = s.cat.comment_bytes();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
    EXPECT_EQ(bytes.data()[bytes.size()], 0xFF);  // end mark behind the used bytes
    EXPECT_EQ(s.cat.status_text(3), "V:5 D:5 K:" + std::to_string(expected.size()) + " I:8 H:3");
}

TEST(CompactComments, APoolWithoutArchiveTextGetsOneInTheInterfaceLanguage) {
    Catalog cat;
    cat.assign_comments({0, 0});
    const auto f = add_file(cat, "f", 0, 1.0f, "c");
    test::ScriptedFrontend fe;
    ASSERT_TRUE(compact_comments(cat, fe, true));
    EXPECT_EQ(cat.comment_at(1), ARCHIVE_TEXT_EN);
    EXPECT_EQ(cat.file_comment(f), "c");
}

TEST(Compaction, AfterDeletingAndCompactingEverythingOnlyTheRootRemains) {
    Sample s;
    for (auto d : {s.x, s.y, s.w}) ASSERT_TRUE(delete_directory(s.cat, d));
    ASSERT_TRUE(delete_file(s.cat, 4));
    EXPECT_EQ(s.cat.header.total_kb, 0.0f);
    ASSERT_TRUE(compact_records_and_names(s.cat, s.fe, false));
    ASSERT_TRUE(compact_comments(s.cat, s.fe, false));
    expect_invariants(s.cat);
    EXPECT_EQ(s.cat.dir_count(), 1u);
    EXPECT_EQ(s.cat.file_count(), 0u);
    EXPECT_EQ(s.cat.names_used(), 1u);
    EXPECT_EQ(s.cat.comments_used(), std::strlen(ARCHIVE_TEXT_DE) + 2);
}

}  // namespace
}  // namespace orbisto
