#include "catalog/catalog_totals.h"

#include <gtest/gtest.h>

#include "catalog/catalog_edit.h"
#include "catalog_fixture.h"

namespace orbisto {
namespace {

using test::add_dir;
using test::add_file;

TEST(DirectoryTotals, SizesAndNewestTimesCoverAllLevelsComparedUnsigned) {
    Catalog cat;
    const auto a = add_dir(cat, "a", 0);
    const auto b = add_dir(cat, "b", a);
    const auto c = add_dir(cat, "c", 0);
    add_file(cat, "f1", b, 1.5f, {}, 0x00000001FFFFFFFFull);
    add_file(cat, "f2", a, 2.0f, {}, 0x0000000200000000ull);  // newer: the high word decides
    add_file(cat, "f3", b, 4.0f, {}, 0x0000000100000000ull);
    add_file(cat, "f4", c, 8.0f, {}, 0x8000000000000000ull);  // top bit set: newest
    cat.dirs()[0].size_kb = 99.0f;                            // stale totals are cleared

    compute_directory_totals(cat);
    const auto d = cat.dirs();
    EXPECT_EQ(d[b].size_kb, 5.5f);
    EXPECT_EQ(d[b].time.value(), 0x00000001FFFFFFFFull);
    EXPECT_EQ(d[a].size_kb, 7.5f);
    EXPECT_EQ(d[a].time.value(), 0x0000000200000000ull);
    EXPECT_EQ(d[0].size_kb, 15.5f);
    EXPECT_EQ(d[0].time.value(), 0x8000000000000000ull);
}

TEST(DirectoryTotals, DeletedFilesAndBrokenReferencesAreLeftOut) {
    Catalog cat;
    const auto a = add_dir(cat, "a", 0);
    const auto b = add_dir(cat, "b", a);
    add_file(cat, "gone", b, 5.0f, {}, 500);
    add_file(cat, "kept", b, 2.0f, {}, 20);
    add_file(cat, "stray", 0, 3.0f, {}, 30);
    ASSERT_TRUE(delete_file(cat, 0));
    cat.files()[2].parent = 0xFFFF;  // outside the directories
    cat.dirs()[a].parent = b;        // a loop a <-> b
    compute_directory_totals(cat);
    EXPECT_EQ(cat.dirs()[b].size_kb, 2.0f);
    EXPECT_EQ(cat.dirs()[b].time.value(), 20u);
    EXPECT_EQ(cat.dirs()[a].size_kb, 2.0f);
    EXPECT_EQ(cat.dirs()[0].size_kb, 0.0f);
}

}  // namespace
}  // namespace orbisto
