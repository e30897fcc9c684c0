// The update lookups against a plain pass over the old records, on random
// old and new Catalogs with repeated names, entries without comments and
// names outside ASCII.
#include "scan/medium_update.h"

#include <gtest/gtest.h>

#include <random>

#include "catalog/catalog_fixture.h"
#include "scan/old_catalog_index.h"
#include "scan/scan_context.h"
#include "session/context.h"
#include "support/scripted_frontend.h"

namespace orbisto {
namespace {

Catalog random_catalog(std::mt19937& rng, int dirs, int files) {
    static const char* const names[] = {"a", "b", "readme.txt", "Grüße.doc", "A", "x y"};
    Catalog cat(test::small_limits());
    auto pick = [&](std::uint32_t n) { return static_cast<std::uint32_t>(rng() % n); };
    for (int d = 0; d < dirs; ++d) {
        test::add_dir(cat, names[pick(6)], pick(cat.dir_count()), pick(2) ? "note" : "");
    }
    for (int f = 0; f < files; ++f) {
        test::add_file(cat, names[pick(6)], pick(cat.dir_count()), 1, pick(2) ? "note" : "");
    }
    return cat;
}

// The rule written out plainly: the first old record of the name (anywhere
// with by_name, else with a parent of the same path) decides; it counts only
// when it has a comment.
template <class Records>
std::int64_t reference(const Catalog& old, Records recs, bool dirs, bool by_name,
                       const std::string& dir, std::string_view name) {
    for (std::uint32_t i = dirs ? 1 : 0; i < recs.size(); ++i) {
        if ((dirs ? old.dir_name(i) : old.file_name(i)) != name) continue;
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
        int hits = 0;
        // Both settings, with the index and then with the plain pass it replaces.
        for (int mode = 0; mode < 4; ++mode) {
            const bool by_name = mode & 1;
            ctx.settings.options.update_by_name = by_name;
            if (mode == 2) ctx.scan.old_index.reset();
            for (std::uint32_t i = 0; i < now.file_count(); ++i) {
                const std::string dir = now.dir_path(now.files()[i].parent);
                const auto want =
                    reference(old, old.files(), false, by_name, dir, now.file_name(i));
                ASSERT_EQ(LookupOldFile(ctx, dir, now.file_name(i)), want) << seed;
                hits += want >= 0;
            }
            for (std::uint32_t d = 1; d < now.dir_count(); ++d) {
                const std::string dir = now.dir_path(now.dirs()[d].parent);
                const auto want = reference(old, old.dirs(), true, by_name, dir, now.dir_name(d));
                ASSERT_EQ(LookupOldDir(ctx, dir, now.dir_name(d)), want) << seed;
                hits += want >= 0;
            }
        }
        EXPECT_GT(hits, 10);  // the trees must exercise both outcomes
    }
}

}  // namespace
}  // namespace orbisto
