#include "catalog/catalog_totals.h"

#include <gtest/gtest.h>

#include "catalog/catalog_edit.h"
#include "catalog_fixture.h"

namespace orbisto {
namespace {

using test::add_dir;
using test::add_file;

TEST(DirectoryTotals, SizesAndNewestTimesCoverAllLevels) {
    Catalog cat;
    const auto a = add_dir(cat, "a", 0);
    const auto b = add_dir(cat, "b", a);
    const auto c = add_dir(cat, "c", 0);
    add_file(cat, "f1", b, 1.5f, {}, 100);
    add_file(cat, "f2", a, 2.0f, {}, 300);
    add_file(cat, "f3", b, 4.0f, {}, 200);
    add_file(cat, "f4", 0, 8.0f, {}, 50);
    // stale totals from before are cleared
    cat.dirs()[c].size_kb = 99.0f;
    cat.dirs()[c].time.set(999);

    compute_directory_totals(cat);
    const auto d = cat.dirs();
    EXPECT_EQ(d[b].size_kb, 5.5f);
    EXPECT_EQ(d[b].time.value(), 200u);
    EXPECT_EQ(d[a].size_kb, 7.5f);
    EXPECT_EQ(d[a].time.value(), 300u);
    EXPECT_EQ(d[c].size_kb, 0.0f);
    EXPECT_EQ(d[c].time.value(), 0u);
    EXPECT_EQ(d[0].size_kb, 15.5f);
    EXPECT_EQ(d[0].time.value(), 300u);
}

TEST(DirectoryTotals, TimesCompareAsUnsigned64BitValues) {
    Catalog cat;
    const auto a = add_dir(cat, "a", 0);
    // the low word of the older time is larger; the high word decides
    add_file(cat, "old", a, 1.0f, {}, 0x00000001FFFFFFFFull);
    add_file(cat, "new", a, 1.0f, {}, 0x0000000200000000ull);
    // a time with the top bit set is newer, not negative
    add_file(cat, "far", 0, 1.0f, {}, 0x8000000000000000ull);
    compute_directory_totals(cat);
    EXPECT_EQ(cat.dirs()[a].time.value(), 0x0000000200000000ull);
    EXPECT_EQ(cat.dirs()[0].time.value(), 0x8000000000000000ull);
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
    EXPECT_EQ(cat.dirs()[0].size_kb, 0.0f);  // a no longer reaches the root
}

}  // namespace
}  // namespace orbisto
