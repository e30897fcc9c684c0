// The directory and file lists of a Catalog: name order, damaged parents,
// deleted records and the files below a directory.
#include "catalog/catalog_tree.h"

#include <gtest/gtest.h>

#include <string>

#include "catalog/catalog_edit.h"

namespace orbisto {
namespace {

std::uint32_t dir(Catalog& c, const char* name, std::uint32_t parent) {
    DirRecord d;
    d.name = c.append_name(name).value;
    d.parent = parent;
    return c.append_dir(d).value;
}

std::uint32_t file(Catalog& c, const char* name, std::uint32_t parent) {
    FileRecord f;
    f.name = c.append_name(name).value;
    f.parent = parent;
    f.size_kb = 1;
    return c.append_file(f).value;
}

std::string names(const Catalog& c, std::span<const std::uint32_t> list, bool dirs) {
    std::string out;
    for (std::uint32_t i : list) {
        if (!out.empty()) out += ',';
        out += dirs ? c.dir_name(i) : c.file_name(i);
    }
    return out;
}

TEST(CatalogTree, SubdirectoriesInNameOrderFilesInRecordOrderAndEverythingBelow) {
    Catalog c;
    const auto b = dir(c, "beta", 0);
    const auto a = dir(c, "Alpha", 0);
    const auto a1 = dir(c, "inner", a);
    file(c, "z.txt", 0);
    file(c, "b2", b);
    file(c, "a1", a1);
    file(c, "a0", a);
    CatalogTree t(c);
    EXPECT_EQ(names(c, t.subdirs(0), true), "Alpha,beta");
    EXPECT_EQ(t.row_in_parent(b), 1u);
    EXPECT_EQ(names(c, t.files(a), false), "a0");
    EXPECT_EQ(names(c, t.files_below(a), false), "a0,a1");
    EXPECT_EQ(names(c, t.files_below(0), false), "z.txt,a0,a1,b2");
    EXPECT_TRUE(t.is_below(a1, a));
    EXPECT_FALSE(t.is_below(a1, b));
    EXPECT_TRUE(t.subdirs(99).empty());
    EXPECT_TRUE(t.files(99).empty());
}

TEST(CatalogTree, DamagedParentsHangBelowTheRootAndDeletedRecordsAreLeftOut) {
    Catalog c;
    const auto a = dir(c, "a", 0);
    const auto gone = dir(c, "gone", a);
    file(c, "in-gone", gone);
    file(c, "kept", a);
    std::vector<DirRecord> dirs(c.dirs().begin(), c.dirs().end());
    std::vector<FileRecord> files(c.files().begin(), c.files().end());
    // A directory whose parent is itself and a file whose parent is no
    // directory, as a damaged file may hold them.
    DirRecord loop;
    loop.name = c.append_name("loop").value;
    loop.parent = 3;
    dirs.push_back(loop);
    FileRecord stray;
    stray.name = c.append_name("stray").value;
    stray.parent = 77;
    files.push_back(stray);
    c.assign_records(std::move(dirs), std::move(files));
    ASSERT_TRUE(delete_directory(c, gone));
    CatalogTree t(c);
    EXPECT_EQ(names(c, t.subdirs(0), true), "a,loop");
    EXPECT_EQ(names(c, t.subdirs(a), true), "");
    EXPECT_EQ(names(c, t.files_below(0), false), "stray,kept");
    EXPECT_EQ(t.parent(3), 0u);
}

}  // namespace
}  // namespace orbisto
