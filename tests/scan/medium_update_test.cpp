// The update lookups against a plain pass over the old records, on random
// old and new Catalogs with repeated names, entries without comments and
// names outside ASCII.
#include "scan/medium_update.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "catalog/catalog_fixture.h"
#include "support/scripted_frontend.h"

namespace orbisto {
namespace {

const std::vector<std::string> kNames = {"a",         "b", "readme.txt", "Bilder",
                                         "Grüße.doc", "A", "x y",        "ünd"};

// A random tree: directories hang below earlier ones, files below any; about
// half of the entries carry a comment.
Catalog random_catalog(std::mt19937& rng, int dirs, int files) {
    Catalog cat(test::small_limits());
    auto pick = [&](std::size_t n) { return static_cast<std::uint32_t>(rng() % n); };
    for (int d = 0; d < dirs; ++d) {
        const std::uint32_t parent = pick(cat.dir_count());
        test::add_dir(cat, kNames[pick(kNames.size())], parent, pick(2) ? "dir note" : "");
    }
    for (int f = 0; f < files; ++f) {
        const std::uint32_t parent = pick(cat.dir_count());
        test::add_file(cat, kNames[pick(kNames.size())], parent, 1.0f, pick(2) ? "note" : "");
    }
    return cat;
}

// The rule written out plainly: the first old record of that name (with
// by_name) or the first of that name whose parent has the same path; it
// counts only when it has a comment.
template <class Records, class NameOf>
std::int64_t reference(const Catalog& old, const Records& recs, std::uint32_t from, NameOf name_of,
                       bool by_name, const std::string& dir, const std::string& name) {
    for (std::uint32_t i = from; i < recs.size(); ++i) {
        if (name_of(i) != name) continue;
        if (!by_name && old.dir_path(recs[i].parent) != dir) continue;
        return recs[i].comment != 0 ? std::int64_t{i} : -1;
    }
    return -1;
}

TEST(UpdateLookup, AgreesWithPassInRecordOrderOnRandomCatalogs) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 rng(seed);
        test::ScriptedFrontend fe;
        Context ctx(fe);
        ctx.catalog = random_catalog(rng, 25, 120);
        ASSERT_EQ(PrepareUpdate(ctx), 0);
        const Catalog& old = *ctx.scan.old;
        ctx.catalog = random_catalog(rng, 25, 120);
        const Catalog& now = ctx.catalog;
        int file_hits = 0, dir_hits = 0;
        for (int by_name = 0; by_name <= 1; ++by_name) {
            ctx.settings.options.Update = by_name;
            for (std::uint32_t i = 0; i < now.file_count(); ++i) {
                const std::string dir = now.dir_path(now.files()[i].parent);
                const std::string name(now.file_name(i));
                const auto want = reference(
                    old, old.files(), 0, [&](std::uint32_t k) { return old.file_name(k); }, by_name,
                    dir, name);
                ASSERT_EQ(LookupOldFile(ctx, dir, name), want) << seed << " " << dir << "/" << name;
                file_hits += want >= 0;
            }
            for (std::uint32_t d = 1; d < now.dir_count(); ++d) {
                const std::string dir = now.dir_path(now.dirs()[d].parent);
                const std::string name(now.dir_name(d));
                const auto want = reference(
                    old, old.dirs(), 1, [&](std::uint32_t k) { return old.dir_name(k); }, by_name,
                    dir, name);
                ASSERT_EQ(LookupOldDir(ctx, dir, name), want) << seed << " " << dir << "/" << name;
                dir_hits += want >= 0;
            }
        }
        // The random trees must exercise both outcomes.
        EXPECT_GT(file_hits, 0);
        EXPECT_GT(dir_hits, 0);
    }
}

class UpdateLookupCases : public ::testing::Test {
  protected:
    UpdateLookupCases() : ctx(fe) {
        Catalog& c = ctx.catalog;
        const auto games = test::add_dir(c, "GAMES", 0, "spiele");
        const auto doom = test::add_dir(c, "DOOM", games);
        test::add_dir(c, "Ähnlich", 0, "umlaut");
        test::add_file(c, "setup.exe", doom, 1);          // 0: no comment, comes first
        test::add_file(c, "setup.exe", games, 1, "old");  // 1: has one
        test::add_file(c, "read.me", doom, 1, "doom notes");
        test::add_file(c, "Über.txt", 0, 1, "root umlaut");
        c.header.volume_serial = 0x1234;
        c.set_description("medium text");
        c.set_current_number(7);
    }
    test::ScriptedFrontend fe;
    Context ctx;
};

TEST_F(UpdateLookupCases, SameDirectoryOrAnywhereWithUpdateSetting) {
    ASSERT_EQ(PrepareUpdate(ctx), 0);
    ctx.catalog.reset(false);  // the new walk starts from an empty Catalog
    // A moved file loses its comment unless Update is on.
    EXPECT_EQ(LookupOldFile(ctx, "GAMES/DOOM", "read.me"), 2);
    EXPECT_EQ(LookupOldFile(ctx, "GAMES", "read.me"), -1);
    EXPECT_EQ(LookupOldFile(ctx, "GAMES", "setup.exe"), 1);
    EXPECT_EQ(LookupOldFile(ctx, "", "Über.txt"), 3);
    EXPECT_EQ(LookupOldFile(ctx, "", "über.txt"), -1);  // names compare exactly
    EXPECT_EQ(LookupOldDir(ctx, "", "GAMES"), 1);
    EXPECT_EQ(LookupOldDir(ctx, "GAMES", "DOOM"), -1);  // no comment
    EXPECT_EQ(LookupOldDir(ctx, "", "Ähnlich"), 3);
    EXPECT_EQ(LookupOldDir(ctx, "", ""), -1);  // the root never counts
    ctx.settings.options.Update = 1;
    EXPECT_EQ(LookupOldFile(ctx, "GAMES", "read.me"), 2);
    EXPECT_EQ(LookupOldFile(ctx, "elsewhere", "Über.txt"), 3);
    // The first old file of the name decides, though it has no comment.
    EXPECT_EQ(LookupOldFile(ctx, "GAMES", "setup.exe"), -1);
    EXPECT_EQ(LookupOldDir(ctx, "x", "GAMES"), 1);
}

TEST_F(UpdateLookupCases, CopyKeepsTheOldMediumWhileTheNewOneIsBuilt) {
    EXPECT_EQ(LookupOldFile(ctx, "GAMES", "setup.exe"), -1);  // no copy yet
    const auto before = test::image_of(ctx.catalog);
    ASSERT_EQ(PrepareUpdate(ctx), 0);
    EXPECT_EQ(test::image_of(ctx.catalog), before);  // the Catalog itself is untouched
    ctx.catalog.reset(false);
    test::add_file(ctx.catalog, "new", 0, 1, "fresh");
    const Catalog& old = *ctx.scan.old;
    EXPECT_EQ(old.header.volume_serial, 0x1234u);
    EXPECT_EQ(old.description(), "medium text");
    EXPECT_EQ(old.current_number(), 7);
    EXPECT_EQ(old.file_count(), 4u);
    EXPECT_EQ(old.file_comment(2), "doom notes");
    EXPECT_TRUE(fe.messages.empty());
}

}  // namespace
}  // namespace orbisto
