// Duplicate files: name folding, the size rule, the rows of the grouped
// comparison against a plain pairwise scan, and whole runs over saved
// catalogues.
#include "search/duplicates.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "search/duplicates_test_util.h"
#include "search/search_context.h"
#include "session/context.h"

namespace orbisto {
namespace {

using dup_test::DupFixture;
using dup_test::FileEntry;
using dup_test::make_catalog;

// ---- the pairwise scan the grouped comparison must reproduce ----

struct RefEntry {
    std::string folded;
    float size;
    std::uint32_t file;
    std::uint32_t medium;
};

struct RefResult {
    std::vector<HitRecord> hits;
    std::size_t duplicates = 0;
    float total_kb = 0;
};

RefResult pairwise(std::vector<RefEntry> e) {
    RefResult r;
    for (std::size_t i = 0; i + 1 < e.size(); ++i) {
        if (e[i].size < 0) continue;
        bool first = true;
        for (std::size_t j = i + 1; j < e.size(); ++j) {
            if (e[j].size < 0) continue;
            if (std::fabs(e[i].size - e[j].size) < 0.001 && e[i].folded == e[j].folded) {
                if (first) r.hits.push_back({e[i].file, 0, e[i].medium});
                first = false;
                r.hits.push_back({e[j].file, 0, e[j].medium});
                ++r.duplicates;
                r.total_kb += e[j].size;
                e[j].size = -1.0f;
            }
        }
    }
    return r;
}

std::vector<std::uint32_t> flat(const std::vector<HitRecord>& hits) {
    std::vector<std::uint32_t> out;
    for (const auto& h : hits) out.insert(out.end(), {h.object, h.mark, h.catalog_number});
    return out;
}

TEST(DuplicateNames, FoldingIgnoresCaseBeyondAsciiAndKeepsBrokenUtf8ByteForByte) {
    const std::pair<const char*, const char*> cases[] = {
        {"\xC3\xA4rger.txt", "\xC3\x84RGER.TXT"},  // ärger
        {"\xC3\xBF", "\xC5\xB8"},                  // ÿ Ÿ
        {"\xC5\x82\xC3\xB3"
         "d\xC5\xBA",
         "\xC5\x81\xC3\x93"
         "D\xC5\xB9"},                             // łódź
        {"\xCF\x83\xCF\x82", "\xCE\xA3\xCE\xA3"},  // σς -> ΣΣ
        // ß, ÷ and the dotless i have no upper case of the same kind and stay.
        {"\xC3\x9F\xC3\xB7\xC4\xB1", "\xC3\x9F\xC3\xB7\xC4\xB1"}};
    for (const auto& [lower, upper] : cases) EXPECT_EQ(fold_duplicate_name(lower), upper) << upper;
    const std::string bad = std::string("a\xC3", 2) + std::string("\xE4\x80", 2) + "\xFF\x80z";
    EXPECT_EQ(fold_duplicate_name(bad), std::string("A\xC3\xE4\x80\xFF\x80Z"));
    EXPECT_EQ(fold_duplicate_name(std::string_view("\xC3", 1)), "\xC3");  // cut at the end
}

TEST(DuplicateFiles, GroupedComparisonEqualsPairwiseScanOnRandomCatalogues) {
    test::ScriptedFrontend fe;
    Context ctx{fe};
    std::mt19937 rng(20240611);
    const std::vector<std::string> letters{"a", "A", "b", "\xC3\xA4", "\xC3\x84", "."};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    // The first five are close enough to chain; the rest add near misses,
    // tiny sizes, and sizes that never match (negative, NaN, infinite).
    const std::vector<float> sizes{1.0f,  1.0005f, 1.0009f,  1.0014f,  1.0019f, 0.0f,
                                   -0.0f, 2.0f,    10.0004f, 10.0009f, -1.0f,   3.5f,
                                   1e-4f, 9e-4f,   1.5e-3f,  nan,      inf};
    for (int round = 0; round < 300; ++round) {
        const int media = 1 + static_cast<int>(rng() % 5);
        DuplicateTable table;
        std::vector<RefEntry> ref;
        for (int m = 0; m < media; ++m) {
            std::vector<FileEntry> entries;
            const int files = static_cast<int>(rng() % 40);
            for (int f = 0; f < files; ++f) {
                std::string name = letters[rng() % letters.size()];
                if (rng() % 2) name += letters[rng() % letters.size()];
                // Small size sets per round make many near misses.
                const float size = sizes[rng() % (round % 2 ? 5 : sizes.size())];
                entries.push_back({name, size});
                ref.push_back({fold_duplicate_name(name), size, static_cast<std::uint32_t>(f),
                               static_cast<std::uint32_t>(m)});
            }
            table.add_medium(make_catalog(entries), static_cast<std::uint32_t>(m));
        }
        std::vector<HitRecord> hits;
        const DuplicateResult got = table.compare(ctx, hits, nullptr);
        const RefResult want = pairwise(ref);
        ASSERT_EQ(flat(hits), flat(want.hits)) << "round " << round;
        ASSERT_EQ(got.duplicates, want.duplicates);
        ASSERT_EQ(std::memcmp(&got.total_kb, &want.total_kb, sizeof(float)), 0);
    }
}

// ---- whole runs over saved catalogues ----

TEST(DuplicateRun, LoadsTheChosenMediaAndReportsProgress) {
    DupFixture f;
    f.save(0, "Disk A", make_catalog({{"song.mp3", 300.0f}, {"x.txt", 1.0f}}));
    f.save(1, "Disk B", make_catalog({{"SONG.MP3", 300.0f}}));
    f.save(2, "Disk C", make_catalog({{"song.mp3", 300.0f}}));  // not chosen
    f.save(3, "Disk D", make_catalog({{"song.mp3", 300.0f}}));  // its file goes missing
    f.build();
    ASSERT_EQ(std::remove(catalog_path(f.ctx.paths.catalog_dir, 3).c_str()), 0);

    std::vector<HitRecord> hits;
    DuplicateResult r;
    {
        LongOperation op(f.ctx, {"Suche l\xC3\xA4uft.", 4, false});
        r = RunDuplicateSearch(f.ctx, {{0, 1, 3}, 4, duplicate_clock_ms()}, hits, op);
    }
    EXPECT_EQ(flat(hits), flat({{0, 0, 0}, {0, 0, 1}}));
    EXPECT_EQ(r.files, 3u);
    EXPECT_TRUE(f.fe.messages.empty());  // the missing file is skipped silently
}

}  // namespace
}  // namespace orbisto
