// The search run over real catalogue files: which media are visited, which
// objects of a catalogue are tested in which order, the filters, widening,
// the loaded medium alone, the record-only modes and abort.
#include <sys/time.h>

#include "search_fixture.h"

namespace orbisto {
namespace {

using test::Hits;

// Categories: 2 "Games", 3 "Old games" below 2, 4 "Music"; lent is 5.
// Media: 0 in Games, 1 in Old games, 2 in Music, 3 without category (lent).
struct CategorySearch : test::SearchFixture {
    CategorySearch() {
        ctx.categories.assign({{"Games", 0}, {"Old games", 2}, {"Music", 0}});
        const std::uint32_t category[] = {2, 3, 4, 0};
        for (int n = 0; n < 4; ++n) {
            add(n, "m", {}, {{.name = "common.txt"}}, category[n],
                [n](Catalog& c) { c.header.medium_flags = n == 3 ? MEDIUM_LENT : 0; });
        }
        build();
    }
    std::vector<std::uint32_t> in_category(int c, int sub) {
        ctx.settings.search.category = c;
        ctx.settings.search.include_subcategories = sub;
        EXPECT_TRUE(search("common"));
        return media_hit();
    }
};

TEST(SearchCategories, CategoryFilterFollowsTheTreeAndBadCatalogueFilesAreSkipped) {
    CategorySearch f;
    using V = std::vector<std::uint32_t>;
    EXPECT_EQ(f.in_category(0, 1), (V{0, 1, 2, 3}));
    EXPECT_EQ(f.in_category(2, 1), (V{0, 1}));
    EXPECT_EQ(f.in_category(2, 0), (V{0}));
    // The pseudo categories select what the category tree shows under them.
    EXPECT_EQ(f.in_category(1, 1), (V{3}));
    EXPECT_EQ(f.in_category(5, 1), (V{3}));

    // Missing and damaged catalogue files are skipped.
    f.ctx.settings.search.category = 0;
    ASSERT_EQ(::unlink(f.path(1).c_str()), 0);
    ASSERT_TRUE(write_file_atomic(f.path(2), std::string("\x03\x00garbage", 9)));
    f.fe.messages.clear();
    EXPECT_TRUE(f.search("common"));
    EXPECT_EQ(f.media_hit(), (std::vector<std::uint32_t>{0, 3}));
    // The missing file is silent, the damaged one is reported once.
    ASSERT_EQ(f.fe.messages.size(), 1u);
    EXPECT_EQ(f.fe.messages[0].caption, f.path(2));
}

// One medium whose every text holds "alpha".
struct OneMedium : test::SearchFixture {
    OneMedium() {
        add(7, "disc", {{.name = "alpha", .comment = "alpha dir", .size_kb = 10}, {.name = "beta"}},
            {{.name = "alpha.txt", .comment = "about alpha", .size_kb = 2.5f, .parent = 1},
             {.name = "other.txt", .comment = "nothing", .size_kb = 4},
             {.name = "alphabet", .size_kb = 1, .parent = 2}},
            0, [](Catalog& c) { set_fixed_text(c.info.manufacturer, "Alpha Corp"); });
        build();
    }
};

TEST(SearchScan, ObjectsAreTestedInFixedOrderNameAndCommentHitsCountTwiceAndScopeChooses) {
    OneMedium f;
    f.ctx.settings.search.scope = 15;
    ASSERT_TRUE(f.search("alpha"));
    EXPECT_EQ(f.hits(), (Hits{"7:M", "7:D1", "7:D1", "7:F0", "7:F2", "7:F0"}));
    // File hits add their size (alpha.txt twice), directory and info hits nothing.
    EXPECT_FLOAT_EQ(f.ctx.search.total_kb, 2.5f + 1.0f + 2.5f);
    EXPECT_EQ(f.fe.last_status(), "Hits:6 L\xC3\xA4nge:6.0 KB Begriff:alpha Zeit:0 sec");
    // The status line shows the string as searched, its stars trimmed.
    ASSERT_TRUE(f.search("*alpha*"));
    EXPECT_EQ(f.fe.last_status(), "Hits:6 L\xC3\xA4nge:6.0 KB Begriff:alpha Zeit:0 sec");

    // The scope bits choose the texts; "only with comment" needs a comment.
    f.ctx.settings.search.scope = kScopeFiles;
    ASSERT_TRUE(f.search("ALPHA"));
    EXPECT_EQ(f.hits(), (Hits{"7:F0", "7:F2"}));
    f.ctx.search.only_with_comment = true;
    ASSERT_TRUE(f.search("alpha"));
    EXPECT_EQ(f.hits(), (Hits{"7:F0"}));
    // Case compared.
    f.ctx.search.only_with_comment = false;
    f.ctx.settings.search.ignore_case = false;
    ASSERT_TRUE(f.search("ALPHA"));
    EXPECT_TRUE(f.hits().empty());
}

TEST(SearchFilters, SizeBoundsAreInclusiveExceptForDirectoryNamesAndDatesAreInclusive) {
    test::SearchFixture f;
    f.add(0, "m", {{.name = "d10", .size_kb = 10}, {.name = "d20", .size_kb = 20}},
          {{.name = "f5", .size_kb = 5},
           {.name = "f10", .size_kb = 10},
           {.name = "f20", .size_kb = 20},
           {.name = "f0", .size_kb = 0}});
    f.build();
    f.ctx.settings.search.scope = kScopeDirs | kScopeFiles;
    f.ctx.search.MinKB = 10;
    f.ctx.search.MaxKB = 20;
    ASSERT_TRUE(f.search("?"));
    EXPECT_EQ(f.hits(), (Hits{"0:D2", "0:F1", "0:F2"}));
    // In the extended mode the directory bound is inclusive too.
    f.ctx.settings.search.mode = SearchMode::Approximate;
    ASSERT_TRUE(f.search("d"));
    EXPECT_EQ(f.hits(), (Hits{"0:D1", "0:D2"}));

    // The date range is inclusive; old catalogue files are not loaded.
    using test::day_time;
    f.add(1, "m", {},
          {{.name = "a9", .time = day_time(9, 23)},
           {.name = "a10", .time = filetime_of_day(2024, 3, 10, false)},
           {.name = "a12", .time = filetime_of_day(2024, 3, 12, true)},
           {.name = "a13", .time = day_time(13, 0)}});
    f.add(2, "old", {}, {{.name = "a11", .time = day_time(11)}});
    // Catalogue 2 was last written before the from day.
    const timeval old_times[2] = {{1'600'000'000, 0}, {1'600'000'000, 0}};
    ASSERT_EQ(::utimes(f.path(2).c_str(), old_times), 0);
    f.build();
    f.ctx.settings.search.mode = SearchMode::Normal;
    f.ctx.search.MinKB = f.ctx.search.MaxKB = 0;
    f.ctx.search.date_filter = true;
    f.ctx.settings.search.from_day = 10;
    f.ctx.settings.search.to_day = 12;
    ASSERT_TRUE(f.search("a"));
    EXPECT_EQ(f.hits(), (Hits{"1:F1", "1:F2"}));
}

TEST(SearchWidening, ExtendedModeRaisesErrorsUntilSomethingIsFound) {
    test::SearchFixture f;
    f.add(0, "m", {}, {{.name = "abcdefgh"}, {.name = "abcdxxgh"}});
    f.build();
    auto& s = f.ctx.settings.search;
    s.scope = kScopeFiles;
    s.mode = SearchMode::Approximate;
    s.automatic = true;
    s.max_errors = 3;  // reset to 0 by the run
    ASSERT_TRUE(f.search("abcdyygh"));
    EXPECT_EQ(s.max_errors, 2);
    EXPECT_EQ(f.hits(), (Hits{"0:F0", "0:F1"}));
    // Nothing at all: the passes stop after 5 errors.
    ASSERT_TRUE(f.search("zzzzzzzzzzzzzz"));
    EXPECT_EQ(s.max_errors, 5);
}

TEST(SearchLoadedMedium, OnlyTheLoadedCatalogIsScannedAndNothingIsLoaded) {
    test::SearchFixture f;
    f.add(0, "m0", {}, {{.name = "same"}});
    f.add(1, "m1", {}, {{.name = "same"}});
    f.build();
    ASSERT_TRUE(LoadCatalog(f.ctx, 1));
    // An unsaved edit of the loaded medium is searched as it stands.
    FileRecord extra;
    extra.name = f.ctx.catalog.append_name("same-unsaved").value;
    f.ctx.catalog.append_file(extra);
    f.ctx.catalog.set_changed(true);
    f.ctx.settings.search.flags |= kSearchFlagLoadedOnly;
    ASSERT_TRUE(f.search("same"));
    EXPECT_EQ(f.hits(), (Hits{"1:F0", "1:F1"}));
}

TEST(SearchRecordModes, FavouritesAndThumbnailsNeedNoTextAndPassTheFilters) {
    test::SearchFixture f;
    f.add(0, "m", {{.name = "fav dir", .flags = FLAG_MARKED}, {.name = "plain"}},
          {{.name = "pic1", .size_kb = 3, .thumbnail = true},
           {.name = "fav", .size_kb = 2, .flags = FLAG_MARKED},
           {.name = "pic2", .size_kb = 30, .flags = FLAG_MARKED, .thumbnail = true}});
    f.build();
    auto& s = f.ctx.settings.search;
    s.mode = SearchMode::Favourites;
    ASSERT_TRUE(f.search(""));
    EXPECT_EQ(f.hits(), (Hits{"0:F1", "0:F2", "0:D1"}));
    s.mode = SearchMode::Thumbnails;
    f.ctx.search.MaxKB = 10;
    ASSERT_TRUE(f.search(""));
    EXPECT_EQ(f.hits(), (Hits{"0:F0"}));

    // The text modes refuse to run without a text.
    s.mode = SearchMode::Normal;
    f.ctx.search.text.clear();
    EXPECT_FALSE(RunSearch(f.ctx));
}

TEST(SearchRun, AbortEndsTheRunAndTheStatusStillReportsTheHits) {
    test::SearchFixture f;
    for (int n = 0; n < 5; ++n) f.add(n, "m" + std::to_string(n), {}, {{.name = "x"}});
    f.build();
    const int before = f.fe.pumps;
    f.fe.on_pump = [&](int pumps) {
        if (pumps == before + 3) f.fe.request_abort();
    };
    ASSERT_TRUE(f.search("x"));
    EXPECT_TRUE(f.ctx.search.aborted);
    EXPECT_EQ(f.hits(), (Hits{"0:F0", "1:F0"}));
    EXPECT_EQ(f.fe.last_status(), "Hits:2 L\xC3\xA4nge:2.0 KB Begriff:x Zeit:0 sec");
    // A busy program starts no search.
    f.ctx.busy = true;
    EXPECT_FALSE(RunSearch(f.ctx));
}

}  // namespace
}  // namespace orbisto
