// The interactive scan: its questions, the medium sheet with the category
// offers, the folder record, and the directory totals.
#include "scan/scan_medium.h"

#include <gtest/gtest.h>

#include "catalog/catalog_fixture.h"
#include "scan_home.h"

namespace orbisto {
namespace {

constexpr const char* kEmptyCaption = " Medium enth\xC3\xA4lt keine Dateien ";
constexpr const char* kDuplicateCaption = " Medium wahrscheinlich schon gelesen ";

// An empty medium folder as drive 0, scanned in drive mode.
struct EmptyDrive : test::ScanHome {
    EmptyDrive() { volumes.add(medium, kDriveRemovable, "STICK", 0x42); }
    int scan(std::initializer_list<Answer> answers) {
        fe.answers.assign(answers);
        return ScanMedium(ctx, ScanMode::Drive);
    }
};

TEST(ScanMedium, EmptyMediumAndDuplicateQuestions) {
    EmptyDrive h;
    EXPECT_EQ(h.scan({Answer::No}), -1);
    EXPECT_EQ(h.fe.messages.back().caption, kEmptyCaption);
    EXPECT_FALSE(file_exists(h.catalogue(0)));
    EXPECT_FALSE(h.ctx.scan.scanning);

    ASSERT_EQ(h.scan({Answer::Yes}), 0);
    EXPECT_EQ(fixed_text(h.ctx.catalog.header.medium_name), "STICK");
    EXPECT_EQ(h.ctx.media.count(), 1u);

    // The same medium again: No drops the scan and shows the catalogued one.
    EXPECT_EQ(h.scan({Answer::Yes, Answer::No}), -1);
    EXPECT_EQ(h.fe.messages.back().caption, kDuplicateCaption);
    EXPECT_EQ(h.ctx.catalog.current_number(), 0);
    EXPECT_FALSE(file_exists(h.catalogue(1)));
}

TEST(ScanMedium, SheetOffersMatchingCategoriesOnceAndCancelStoresNothing) {
    EmptyDrive h;
    h.ctx.categories.assign({{"Games", 0}, {"Music", 0}, {"Game", 0}});
    std::vector<std::string> offered;
    h.fe.on_medium_sheet = [&](Catalog&, const std::function<void(std::string_view)>& edited) {
        edited("old GAMES disc");  // Games and Game are offered, each answered Yes
        offered.push_back(h.fe.messages.back().caption);
        edited("music");  // no further offers after an answer
    };
    h.fe.medium_sheet_answers = {false, true};
    EXPECT_EQ(h.scan({Answer::Yes, Answer::Yes, Answer::Yes}), -1);
    EXPECT_FALSE(file_exists(h.catalogue(0)));
    EXPECT_EQ(h.fe.messages.size(), 3u);
    EXPECT_EQ(offered, std::vector<std::string>{"Game"});
    EXPECT_EQ(h.ctx.catalog.header.category, 4u);  // the later Yes wins

    // No ends the offers at once; the sheet accepted stores the medium.
    EXPECT_EQ(h.scan({Answer::Yes, Answer::No}), 0);
    EXPECT_EQ(h.fe.messages.back().text, "Diese Kategorie \303\274bernehmen?");
    EXPECT_EQ(h.fe.messages.back().caption, "Games");
    EXPECT_EQ(h.ctx.catalog.header.category, 0u);
}

TEST(ScanMedium, FolderBelowTheDriveRootGetsItsRecordAndNurFilesBbsAsksForAll) {
    test::ScanHome h;
    h.volumes.add(h.base, kDriveFixed, "", 9);
    make_directory(h.medium + "/GAMES");
    h.put("GAMES/x.txt");
    h.ctx.settings.options.NurFILES_BBS = 1;
    h.fe.chosen_paths = {std::nullopt, h.medium + "/GAMES/"};
    EXPECT_EQ(ScanMedium(h.ctx, ScanMode::Directory), -1);  // chooser cancelled

    ASSERT_EQ(ScanMedium(h.ctx, ScanMode::Directory), 0);
    const Catalog& c = h.ctx.catalog;
    EXPECT_EQ(c.dir_name(1), "medium/GAMES");
    EXPECT_EQ(fixed_text(c.header.medium_name), (h.medium + "/GAMES").substr(0, 56));
    EXPECT_TRUE(h.fe.saw_message(" Alle Dateien \303\274bernehmen? "));
    EXPECT_EQ(c.file_count(), 1u);  // kept although it has no comment (walk)
}

TEST(ScanMedium, AggregationTotalsSizesAndNewestTimesOfWholeSubtrees) {
    Catalog c;
    const auto a = test::add_dir(c, "a", 0);
    const auto b = test::add_dir(c, "b", a);
    test::add_file(c, "f1", b, 1.5f, {}, 0x0200000000000005ull);
    test::add_file(c, "f2", b, 2.0f, {}, 0x0200000000000009ull);  // the low word decides
    test::add_file(c, "f3", a, 4.0f, {}, 0x01FF000000000000ull);
    test::add_file(c, "f4", 0, 0.5f);
    c.dirs()[a].size_kb = 100;  // stale values are replaced
    c.header.total_kb = 100;

    AggregateScan(c);
    EXPECT_EQ(c.dirs()[b].size_kb, 3.5f);
    EXPECT_EQ(c.dirs()[a].size_kb, 7.5f);
    EXPECT_EQ(c.dirs()[0].size_kb, 8.0f);
    EXPECT_EQ(c.dirs()[0].time.value(), 0x0200000000000009ull);
    EXPECT_EQ(c.dirs()[a].time.value(), 0x0200000000000009ull);
    EXPECT_EQ(c.header.total_kb, 8.0f);
}

}  // namespace
}  // namespace orbisto
