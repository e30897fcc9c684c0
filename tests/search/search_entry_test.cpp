// Confirming the search dialog, and the searches started without it: the
// context-menu entries and the /search and /ssearch start-ups.
#include "search/search_entry.h"

#include "search/search_context.h"
#include "search_fixture.h"
#include "settings/environment.h"
#include "settings/settings_io.h"

namespace orbisto {
namespace {

using test::Hits;

TEST(SearchConfirm, EmptyTextIsRefusedExceptInRecordOnlyModesAndTheHistoryIsKept) {
    test::SearchFixture f;
    f.add(0, "m", {}, {{.name = "a"}});
    f.build();
    // Stars alone are empty once trimmed: the same refusal, and nothing runs
    // even when the string reaches the engine without the dialog.
    for (const char* empty : {"", "**"}) {
        f.fe.messages.clear();
        EXPECT_FALSE(ConfirmSearch(f.ctx, empty)) << empty;
        ASSERT_EQ(f.fe.messages.size(), 1u);
        EXPECT_EQ(f.fe.messages[0].text, "Das ist mir zu wenig;-{)}");
        EXPECT_FALSE(PrepareSearch(f.ctx, empty));
        EXPECT_FALSE(RunSearch(f.ctx)) << empty;
    }
    EXPECT_EQ(f.ctx.settings.search.history[0], "");
    f.ctx.settings.search.mode = SearchMode::Thumbnails;
    EXPECT_TRUE(ConfirmSearch(f.ctx, ""));
    EXPECT_EQ(f.ctx.settings.search.history[0], "");  // an empty string never enters the history

    // The history swaps a known string, shifts a new one in and is written.
    auto& h = f.ctx.settings.search.history;
    for (int i = 0; i < 10; ++i) h[i] = "t" + std::to_string(i);
    ASSERT_TRUE(ConfirmSearch(f.ctx, "t4"));
    EXPECT_EQ(h[4], "t0");
    ASSERT_TRUE(ConfirmSearch(f.ctx, "new"));
    EXPECT_EQ(h[9], "t8");  // t9 fell off
    // The settings file holds the new history.
    const auto saved = h;
    read_search(f.ctx);
    EXPECT_EQ(h, saved);

    // Dates become day bounds.
    auto& s = f.ctx.settings.search;
    s.from_year = 2000, s.from_month = 2, s.from_day = 29;
    s.to_year = 2001, s.to_month = 2, s.to_day = 31;  // clamped to the 28th
    ASSERT_TRUE(ConfirmSearch(f.ctx, "x"));
    EXPECT_EQ(f.ctx.search.from, (11'644'473'600ull + 951'782'400ull) * kFileTimePerSecond);
    EXPECT_EQ(f.ctx.search.to,
              (11'644'473'600ull + 983'404'800ull) * kFileTimePerSecond - kFileTimePerMs);
}

TEST(SearchContextMenu, SameNameAndTheCommandLineSearchFindEveryNameContainingItInAllMedia) {
    // Two media with README-like names; catalogue 0 is loaded.
    test::SearchFixture f;
    f.add(0, "m0", {{.name = "docs"}, {.name = "Readme.txt", .size_kb = 9}},
          {{.name = "README.TXT", .size_kb = 2}});
    f.add(1, "m1", {},
          {{.name = "readme.txt", .size_kb = 2},
           {.name = "OLDREADME.TXT", .size_kb = 3},
           {.name = "readme.txt.bak", .comment = "readme.txt", .size_kb = 2}});
    f.build();
    ASSERT_TRUE(LoadCatalog(f.ctx, 0));
    // Stored settings that the entries must not change for good.
    f.ctx.settings.search.mode = SearchMode::Regular;
    write_search(f.ctx);
    ASSERT_TRUE(SearchSameName(f.ctx, file_object(0), false));
    EXPECT_EQ(f.hits(), (Hits{"0:D2", "0:F0", "1:F0", "1:F1", "1:F2"}));
    // The forced settings did not stay.
    EXPECT_EQ(f.ctx.settings.search.mode, SearchMode::Regular);
    // Refused for a directory row and for an index outside the Catalog.
    EXPECT_FALSE(SearchSameName(f.ctx, dir_object(1), false));
    EXPECT_FALSE(SearchSameLength(f.ctx, file_object(99), false));

    // /search and /ssearch take the file name of the path and force their settings.
    EXPECT_EQ(search_file_name_part("D:setup.exe"), "setup.exe");
    auto& s = f.ctx.settings.search;
    s.category = 3;
    s.ignore_case = false;
    s.flags = 0x401F | kSearchFlagLoadedOnly;
    f.ctx.command_line.run_mode = RunMode::SearchCategory;
    f.ctx.command_line.run_argument = "/mnt/cd/README.TXT";
    ASSERT_TRUE(PrepareCommandLineSearch(f.ctx));
    EXPECT_EQ(s.category, 3);
    EXPECT_EQ(s.flags, 0x401F);
    f.ctx.command_line.run_mode = RunMode::Search;
    ASSERT_TRUE(PrepareCommandLineSearch(f.ctx));
    EXPECT_EQ(s.category, 0);
    ASSERT_TRUE(RunSearch(f.ctx));
    EXPECT_EQ(f.hits(), (Hits{"0:D2", "0:F0", "1:F0", "1:F1", "1:F2"}));

    f.ctx.command_line.run_mode = RunMode::Interactive;
    EXPECT_FALSE(PrepareCommandLineSearch(f.ctx));
}

}  // namespace
}  // namespace orbisto
