// The interactive scan: the empty and duplicate questions, and the directory
// totals.
#include "scan/scan_medium.h"

#include <gtest/gtest.h>

#include "catalog/catalog_fixture.h"
#include "scan/scan_context.h"
#include "scan_home.h"

namespace orbisto {
namespace {

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
    EXPECT_FALSE(file_exists(h.catalogue(0)));

    ASSERT_EQ(h.scan({Answer::Yes}), 0);

    // The same medium again: No drops the scan and shows the catalogued one.
    EXPECT_EQ(h.scan({Answer::Yes, Answer::No}), -1);
    EXPECT_EQ(h.fe.messages.back().caption, kDuplicateCaption);
    EXPECT_FALSE(file_exists(h.catalogue(1)));
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
    EXPECT_EQ(c.dirs()[0].size_kb, 8.0f);
    EXPECT_EQ(c.dirs()[0].time.value(), 0x0200000000000009ull);
    EXPECT_EQ(c.header.total_kb, 8.0f);
}

}  // namespace
}  // namespace orbisto
