#include "catalog/catalog_edit.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "catalog_fixture.h"

namespace orbisto {
namespace {

using test::add_dir;
using test::add_file;

// root: a/ (a1 2, a2 3) with a/b/ (b1 4), a/b/c/ (c1 8, commented), a/d/ (d1 16);
// e/ (e1 32, commented); top.txt 64
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

TEST(DeleteFiles, FilesAreDeletedAndSubtractedOnceButTheRootNever) {
    Tree t;
    EXPECT_FALSE(delete_directory(t.cat, 0));
    EXPECT_FALSE(delete_file(t.cat, t.cat.file_count()));
    EXPECT_FALSE(t.cat.changed());
    EXPECT_TRUE(delete_file(t.cat, 0));
    EXPECT_TRUE(delete_file(t.cat, 0));  // again: the total stays
    EXPECT_TRUE(t.cat.changed());
    EXPECT_EQ(std::bit_cast<std::uint32_t>(t.cat.files()[0].size_kb), 0xBF800000u);
    EXPECT_EQ(delete_files_without_comment(t.cat), 4u);
    EXPECT_EQ(t.deleted_files(), (std::vector<std::string>{"a1", "b1", "d1", "a2", "top.txt"}));
    EXPECT_EQ(t.cat.header.total_kb, 40.0f);
    int pumps = 0;
    EXPECT_TRUE(delete_directory(t.cat, t.a, [&] { ++pumps; }));
    EXPECT_EQ(pumps, 4);  // a, b, c, d
}

// The plain recursive deletion: children searched from the directory's own
// index upward, then the mark, then the directory's files.
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

TEST(DeleteDirectory, MatchesTheRecursiveDefinitionBitForBitOnRandomAndDamagedTrees) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 40; ++round) {
        Catalog cat(test::small_limits());
        const std::uint32_t dirs = 2 + rng() % 60;
        for (std::uint32_t j = 1; j < dirs; ++j) {
            // mostly deep chains, sometimes wide
            add_dir(cat, "d", rng() % 3 ? j - 1 - rng() % std::min(j, 3u) : rng() % j);
        }
        for (int i = 0; i < 200; ++i) {
            // fractions make the order of subtraction visible in the total
            add_file(cat, "f", rng() % dirs, static_cast<float>(rng() % 100000) / 7.0f);
        }
        if (round % 4 == 3) {  // damage: self and forward parents, as a bad file may hold
            for (int k = 0; k < 5; ++k) {
                const std::uint32_t j = 1 + rng() % (dirs - 1);
                cat.dirs()[j].parent = j + rng() % 3;
                cat.files()[rng() % 200].parent = 0xFFFF;
            }
        }
        Catalog expected = cat;
        // two deletions, so that a subtree may already be deleted in part
        for (const std::uint32_t target : {1 + rng() % (dirs - 1), 1 + rng() % (dirs - 1)}) {
            reference_delete(expected, target);
            ASSERT_TRUE(delete_directory(cat, target));
        }
        EXPECT_EQ(test::image_of(cat), test::image_of(expected)) << "round " << round;
    }
}

}  // namespace
}  // namespace orbisto
