#include "catalog/catalog_edit.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "catalog_fixture.h"

namespace orbisto {
namespace {

using test::add_dir;
using test::add_file;

// root
// ├── a            (files a1 2.0, a2 3.0)
// │   ├── b        (file b1 4.0)
// │   │   └── c    (file c1 8.0)
// │   └── d        (file d1 16.0)
// └── e            (file e1 32.0)
// plus top.txt 64.0 in the root
struct Tree {
    Catalog cat{test::small_limits()};
    std::uint32_t a, b, c, d, e;
    Tree() {
        a = add_dir(cat, "a", 0);
        add_file(cat, "a1", a, 2.0f);
        b = add_dir(cat, "b", a);
        add_file(cat, "b1", b, 4.0f);
        c = add_dir(cat, "c", b);
        add_file(cat, "c1", c, 8.0f, "has comment");
        d = add_dir(cat, "d", a);
        add_file(cat, "d1", d, 16.0f);
        e = add_dir(cat, "e", 0);
        add_file(cat, "e1", e, 32.0f, "kept");
        add_file(cat, "a2", a, 3.0f);
        add_file(cat, "top.txt", 0, 64.0f);
    }
    std::vector<std::string> deleted_files() const {
        std::vector<std::string> out;
        for (std::uint32_t i = 0; i < cat.file_count(); ++i) {
            if (is_deleted(cat.files()[i])) out.emplace_back(cat.file_name(i));
        }
        return out;
    }
};

TEST(DeleteFile, MarksTheFileOnceAndReducesTheTotal) {
    Tree t;
    ASSERT_EQ(t.cat.header.total_kb, 129.0f);
    EXPECT_TRUE(delete_file(t.cat, 0));
    EXPECT_TRUE(t.cat.changed());
    EXPECT_EQ(std::bit_cast<std::uint32_t>(t.cat.files()[0].size_kb), 0xBF800000u);
    EXPECT_EQ(t.cat.header.total_kb, 127.0f);
    // deleting it again must not touch the total
    t.cat.set_changed(false);
    EXPECT_TRUE(delete_file(t.cat, 0));
    EXPECT_EQ(t.cat.header.total_kb, 127.0f);
    EXPECT_FALSE(t.cat.changed());
    EXPECT_FALSE(delete_file(t.cat, t.cat.file_count()));
}

TEST(DeleteDirectory, DeletesTheWholeSubtreeAndItsSizes) {
    Tree t;
    int pumps = 0;
    EXPECT_TRUE(delete_directory(t.cat, t.a, [&] { ++pumps; }));
    EXPECT_TRUE(t.cat.changed());
    EXPECT_EQ(pumps, 4);  // a, b, c, d
    for (auto dir : {t.a, t.b, t.c, t.d}) {
        EXPECT_EQ(t.cat.dirs()[dir].comment, DIR_DELETED_COMMENT) << dir;
    }
    EXPECT_NE(t.cat.dirs()[t.e].comment, DIR_DELETED_COMMENT);
    EXPECT_EQ(t.deleted_files(), (std::vector<std::string>{"a1", "b1", "c1", "d1", "a2"}));
    EXPECT_EQ(t.cat.header.total_kb, 96.0f);
    test::expect_invariants(t.cat);

    // a subtree that was partly deleted before is not subtracted twice
    Tree u;
    ASSERT_TRUE(delete_directory(u.cat, u.b));
    EXPECT_EQ(u.cat.header.total_kb, 117.0f);
    ASSERT_TRUE(delete_directory(u.cat, u.a));
    EXPECT_EQ(u.cat.header.total_kb, 96.0f);
}

TEST(DeleteDirectory, RootAndIndexesOutOfRangeAreRefused) {
    Tree t;
    EXPECT_FALSE(delete_directory(t.cat, 0));
    EXPECT_FALSE(delete_directory(t.cat, t.cat.dir_count()));
    EXPECT_FALSE(t.cat.changed());
    EXPECT_TRUE(t.deleted_files().empty());
}

TEST(DeleteDirectory, BrokenParentChainsDoNotLoopOrReachOutside) {
    Tree t;
    // a directory naming itself or a later one as parent is outside every subtree
    t.cat.dirs()[t.d].parent = t.d;
    t.cat.dirs()[t.c].parent = t.e;  // forward reference
    t.cat.files()[0].parent = 0xFFFFFFFF;
    ASSERT_TRUE(delete_directory(t.cat, t.a));
    EXPECT_EQ(t.cat.dirs()[t.b].comment, DIR_DELETED_COMMENT);
    EXPECT_NE(t.cat.dirs()[t.c].comment, DIR_DELETED_COMMENT);
    EXPECT_NE(t.cat.dirs()[t.d].comment, DIR_DELETED_COMMENT);
    EXPECT_EQ(t.deleted_files(), (std::vector<std::string>{"b1", "a2"}));
}

// The straightforward recursive deletion: children searched from the
// directory's own index upward, then the mark, then the directory's files.
void reference_delete(Catalog& cat, std::uint32_t d) {
    for (std::uint32_t j = d + 1; j < cat.dir_count(); ++j) {
        if (cat.dirs()[j].parent == d) reference_delete(cat, j);
    }
    cat.dirs()[d].comment = DIR_DELETED_COMMENT;
    for (FileRecord& f : cat.files()) {
        if (f.parent == d && !is_deleted(f)) {
            cat.header.total_kb -= f.size_kb;
            f.size_kb = FILE_DELETED_SIZE;
        }
    }
}

TEST(DeleteDirectory, MatchesTheRecursiveDefinitionBitForBitOnRandomTrees) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 30; ++round) {
        Catalog cat(test::small_limits());
        const std::uint32_t dirs = 2 + rng() % 60;
        for (std::uint32_t j = 1; j < dirs; ++j) {
            // mostly deep chains, sometimes wide
            const std::uint32_t p = rng() % 3 ? j - 1 - rng() % std::min(j, 3u) : rng() % j;
            add_dir(cat, "d", p);
        }
        for (int i = 0; i < 200; ++i) {
            // sizes with fractions make the order of subtraction visible
            const float size = static_cast<float>(rng() % 100000) / 7.0f;
            add_file(cat, "f", rng() % dirs, size);
        }
        Catalog expected = cat;
        const std::uint32_t target = 1 + rng() % (dirs - 1);
        reference_delete(expected, target);
        ASSERT_TRUE(delete_directory(cat, target));
        EXPECT_EQ(test::image_of(cat), test::image_of(expected)) << "round " << round;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(cat.header.total_kb),
                  std::bit_cast<std::uint32_t>(expected.header.total_kb));
    }
}

TEST(DeleteFilesWithoutComment, DeletesOnlyFilesWithCommentZero) {
    Tree t;
    EXPECT_EQ(delete_files_without_comment(t.cat), 5u);
    EXPECT_TRUE(t.cat.changed());
    EXPECT_EQ(t.deleted_files(), (std::vector<std::string>{"a1", "b1", "d1", "a2", "top.txt"}));
    EXPECT_EQ(t.cat.header.total_kb, 40.0f);
    EXPECT_EQ(delete_files_without_comment(t.cat), 0u);
    EXPECT_EQ(t.cat.header.total_kb, 40.0f);
}

}  // namespace
}  // namespace orbisto
