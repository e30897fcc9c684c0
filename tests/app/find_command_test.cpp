// The headless "find" command, run as the real program over a
// self-contained ORBISTO_HOME.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/catalog_context.h"
#include "catalog/catalog_fixture.h"
#include "catalog/catalog_store.h"
#include "platform/files.h"
#include "search/search_time.h"
#include "session/context.h"
#include "support/run_program.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

using test::run_program;

// 2024-03-10 14:30 UTC
const std::uint64_t kTime =
    filetime_of_day(2024, 3, 10, false) + (14 * 60 + 30) * 60 * kFileTimePerSecond;

// Two media: 0 "Disc A" in category 2 ("Games"), 1 "Disc \"B\"" without one.
struct FindHome {
    test::TempDir home;
    std::string cds = home.file("cds");

    FindHome() {
        make_directory(cds);
        home.write("cds/WICHTIG.INI",
                   "[Kategorie]\r\nAnzahl=1\r\nKategorie0=Games\r\nKategorie0parent=-2\r\n");
        test::ScriptedFrontend fe;
        Context ctx(fe);
        ctx.paths.catalog_dir = cds;
        Catalog& c = ctx.catalog;

        c.reset(false);
        set_fixed_text(c.header.medium_name, "Disc A");
        c.header.category = 2;
        c.set_description("Game\r\ndisc");
        const auto games = test::add_dir(c, "Games", 0, "top\r\nlevel");
        c.dirs()[games].size_kb = 7.5f;
        c.dirs()[games].time.set(kTime);
        test::add_file(c, "game.exe", test::add_dir(c, "Sub", games), 5.25f,
                       "the game\r\nsecond line", kTime);
        c.header.total_kb = 7.5f;
        EXPECT_EQ(SaveCatalog(ctx, 0), 0);

        c.reset(false);
        c.set_current_number(-1);
        set_fixed_text(c.header.medium_name, "Disc \"B\"");
        const auto g =
            test::add_file(c, "quote\"back\\slash\ttab.txt", 0, 1, "ctl\x01 \xC3\xBC bad\xFF");
        c.files()[g].flags = FLAG_MARKED;
        EXPECT_EQ(SaveCatalog(ctx, 1), 1);
    }

    test::ProgramResult run(std::vector<std::string> args) const {
        args.insert(args.begin(), "find");
        return run_program(ORBISTO_BINARY, args, {{"ORBISTO_HOME", home.path()}, {"TZ", "UTC"}});
    }
};

TEST(FindCommand, PrintsOneTabSeparatedLinePerHitAndTheStatusOnStandardError) {
    FindHome h;
    auto r = h.run({"--scope", "comments,dirs,files,info", "game"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "0\tDisc A\tM\t\tDisc A\t7.50\t\tGame disc\n"
              "0\tDisc A\tD\t\tGames\t7.50\t2024-03-10 14:30\ttop level\n"
              "0\tDisc A\tF\tGames/Sub\tgame.exe\t5.25\t2024-03-10 14:30\tthe game second line\n");
    EXPECT_EQ(r.err, "Hits:3 L\xC3\xA4nge:5.2 KB Begriff:game Zeit:0 sec\n");

    // The filters reach the search; no hit exits with one.
    EXPECT_EQ(h.run({"--category", "2", "--no-subcategories", "TXT"}).status, 1);
    EXPECT_EQ(h.run({"--from", "2024-03-10", "--to", "2024-03-10", "game.exe"}).status, 0);
    EXPECT_EQ(h.run({"--from", "2024-03-11", "game.exe"}).status, 1);
    EXPECT_EQ(h.run({"--min-kb", "6", "game.exe"}).status, 1);
}

TEST(FindCommand, JsonEscapesQuotesControlsAndInvalidUtf8) {
    FindHome h;
    EXPECT_EQ(h.run({"--json", "--", "quote"}).out,
              "{\"catalog\":1,\"medium\":\"Disc \\\"B\\\"\",\"kind\":\"F\",\"path\":\"\","
              "\"name\":\"quote\\\"back\\\\slash\\ttab.txt\",\"size_kb\":1.00,\"time\":\"\","
              "\"comment\":\"ctl\\u0001 \xC3\xBC bad\xEF\xBF\xBD\"}\n");
}

TEST(FindCommand, ErrorCountsAndRatesGoToJsonAndToTheRateColumnWhenAsked) {
    FindHome h;
    const std::string game =
        "0\tDisc A\tF\tGames/Sub\tgame.exe\t5.25\t2024-03-10 14:30\tthe game second line";
    const std::string json_game =
        "{\"catalog\":0,\"medium\":\"Disc A\",\"kind\":\"F\",\"path\":\"Games/Sub\","
        "\"name\":\"game.exe\",\"size_kb\":5.25,\"time\":\"2024-03-10 14:30\","
        "\"comment\":\"the game\\r\\nsecond line\"";
    const std::vector<std::string> files = {"--scope", "files"};
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), files.begin(), files.end());
        return h.run(args).out;
    };
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        // "gxme" needs one error; the plain line keeps its eight fields.
        {{"--mode", "extended", "--errors", "1", "gxme"}, game + "\n"},
        {{"--mode", "extended", "--errors", "1", "--rate", "gxme"}, game + "\t1\n"},
        {{"--mode", "extended", "--errors=1", "--json", "gxme"}, json_game + ",\"errors\":1}\n"},
        {{"--mode", "similarity", "--threshold", "50", "--rate", "game.exe"}, game + "\t100.00\n"},
        {{"--mode", "similarity", "--json", "game.exe"}, json_game + ",\"rate\":100.00}\n"},
        // Too short to be rated: the normal test answers, there is no rate.
        {{"--mode", "similarity", "--json", "gam"}, json_game + ",\"rate\":null}\n"},
        {{"--mode", "similarity", "--rate", "gam"}, game + "\t\n"},
        {{"--rate", "game"}, game + "\t\n"}};
    for (const auto& [args, want] : cases)
        EXPECT_EQ(run(args), want) << testing::PrintToString(args);
}

TEST(FindCommand, UsageErrorsExitWithTwoAndTheSettingsFileStaysAsItWas) {
    FindHome h;
    const std::string settings =
        "[Suche]\r\nSuchbereich=8\r\nBegriff0=old\r\nSuchModus=510\r\nAutomatik=1\r\n";
    h.home.write("orbisto.INI", settings);
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"--mode", "fuzzy", "x"},
                                               {"--scope", "files,", "x"},
                                               {"--category", "9", "x"},
                                               {"--from", "2024-02-30", "x"},
                                               {"--from", "2024-03-02", "--to", "2024-03-01", "x"},
                                               {"--threshold"},
                                               {"--mode", "extended", "{ab"},
                                               {"**"}}) {
        const auto r = h.run(args);
        EXPECT_EQ(r.status, 2) << testing::PrintToString(args);
        EXPECT_EQ(r.out, "");
    }
    // Scope 8 from the settings: medium information only; "Disc X" needs one error.
    const auto r = h.run({"--mode", "extended", "--auto", "Disc X"});
    EXPECT_EQ(r.out.substr(0, 14), "0\tDisc A\tM\t\tDi") << r.err;
    EXPECT_EQ(read_file(h.home.file("orbisto.INI")), settings);
}

TEST(FindCommand, DuplicatesAreListedWithTheirMedia) {
    FindHome h;
    test::ScriptedFrontend fe;
    Context ctx(fe);
    ctx.paths.catalog_dir = h.cds;
    set_fixed_text(ctx.catalog.header.medium_name, "Copy");
    test::add_file(ctx.catalog, "GAME.EXE", 0, 5.25f);
    ASSERT_EQ(SaveCatalog(ctx, 2), 2);
    const auto r = h.run({"--mode", "duplicates", "x"});
    EXPECT_EQ(r.out,
              "0\tDisc A\tF\tGames/Sub\tgame.exe\t5.25\t2024-03-10 14:30\tthe game second line\n"
              "2\tCopy\tF\t\tGAME.EXE\t5.25\t\t\n")
        << r.err;
}

}  // namespace
}  // namespace orbisto
