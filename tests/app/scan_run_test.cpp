// The headless scan modes as a script meets them: exit statuses, the line on
// standard output and the catalogue stored.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "catalog/fastload.h"
#include "platform/files.h"
#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

TEST(ScanRun, StoredMediumExitsZeroAndFailuresExitOneWithTheReason) {
    test::TempDir home;
    const std::string medium = home.file("photos");
    make_directory(medium);
    home.write("photos/a.jpg", "not really a picture");
    const auto run = [&](const std::vector<std::string>& args) {
        return test::run_program(ORBISTO_BINARY, args, {{"ORBISTO_HOME", home.path()}});
    };
    // An update of a medium never catalogued stores nothing.
    EXPECT_EQ(run({"/update\"" + medium + "\""}).status, 1);
    EXPECT_FALSE(file_exists(home.file("cds/0.cd")));

    const auto missing = run({"--drive", home.file("nowhere")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find(home.file("nowhere")), std::string::npos);
    // A catalogue directory that is a plain file: the save fails.
    EXPECT_EQ(run({"--dir", home.write("plain", "x"), "--drive", medium}).status, 1);

    const auto r = run({"--drive", medium, "--label", "Holiday"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("stored medium Holiday as catalogue 0 (", 0), 0u) << r.out;
    EXPECT_EQ(run({"media"}).out.rfind("0\tHoliday\t", 0), 0u);
}

TEST(ScanRun, ParallelRunsWithFastLoadAllEndUpInTheIndex) {
    test::TempDir home;
    home.write("orbisto.INI", "[Optionen]\r\nFastLoad=1\r\n");
    constexpr int kRuns = 8;
    std::vector<test::ProgramResult> results(kRuns);
    std::vector<std::thread> runs;
    for (int i = 0; i < kRuns; ++i) {
        const std::string medium = home.file("medium" + std::to_string(i));
        make_directory(medium);
        home.write("medium" + std::to_string(i) + "/f.txt", "x");
        runs.emplace_back([&, i, medium] {
            results[static_cast<std::size_t>(i)] = test::run_program(
                ORBISTO_BINARY, {"--drive", medium}, {{"ORBISTO_HOME", home.path()}});
        });
    }
    for (auto& t : runs) t.join();
    for (const auto& r : results) EXPECT_EQ(r.status, 0) << r.err;

    const auto index = read_fastload_entries(home.file("cds/fastload.cds"));
    ASSERT_TRUE(index);
    std::set<std::uint32_t> numbers;
    for (const MediumHeader& e : *index) numbers.insert(e.catalog_number);
    EXPECT_EQ(index->size(), static_cast<std::size_t>(kRuns));
    EXPECT_EQ(numbers.size(), static_cast<std::size_t>(kRuns));
    EXPECT_EQ(*numbers.rbegin(), static_cast<std::uint32_t>(kRuns - 1));
}

}  // namespace
}  // namespace orbisto
