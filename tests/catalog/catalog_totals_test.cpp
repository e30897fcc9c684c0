#include "catalog/catalog_totals.h"

#include <gtest/gtest.h>

#include "catalog/catalog_edit.h"
#include "catalog_fixture.h"

namespace orbisto {
namespace {

using test::add_dir;
using test::add_file;

TEST(DirectoryTotals, SizesAndNewestTimesCoverAllLevelsAndLeaveOutDeletedAndBrokenRecords) {
    Catalog cat;
    const auto a = add_dir(cat, "a", 0);
    const auto b = add_dir(cat, "b", a);
    const auto c = add_dir(cat, "c", 0);
    add_file(cat, "f1", b, 1.5f, {}, 0x00000001FFFFFFFFull);
    add_file(cat, "f2", a, 2.0f, {}, 0x0000000200000000ull);  // newer: the high word decides
    add_file(cat, "f3", c, 8.0f, {}, 0x8000000000000000ull);  // top bit set: newest
    add_file(cat, "gone", b, 5.0f, {}, 0x0000000300000000ull);
    add_file(cat, "stray", 0, 3.0f, {}, 0x9000000000000000ull);
    ASSERT_TRUE(delete_file(cat, 3));
    cat.files()[4].parent = 0xFFFF;  // outside the directories
    cat.dirs()[0].size_kb = 99.0f;   // stale totals are cleared

    compute_directory_totals(cat);
    const auto d = cat.dirs();
    EXPECT_EQ(d[b].size_kb, 1.5f);
    EXPECT_EQ(d[b].time.value(), 0x00000001FFFFFFFFull);
    EXPECT_EQ(d[a].size_kb, 3.5f);
    EXPECT_EQ(d[a].time.value(), 0x0000000200000000ull);
    EXPECT_EQ(d[0].size_kb, 11.5f);
    EXPECT_EQ(d[0].time.value(), 0x8000000000000000ull);

    cat.dirs()[a].parent = b;  // a loop a <-> b ends
    compute_directory_totals(cat);
    EXPECT_EQ(cat.dirs()[0].size_kb, 8.0f);
}

}  // namespace
}  // namespace orbisto
