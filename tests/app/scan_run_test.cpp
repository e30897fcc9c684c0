// The headless scan modes as a script meets them: exit statuses, the line on
// standard output and the catalogue stored.
#include <fcntl.h>
#include <ftw.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

// How many times `what` occurs in `text`.
std::size_t occurrences(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// Gives the tree below `path` to the user nobody.
bool give_to_nobody(const std::string& path) {
    return ::nftw(
               path.c_str(),
               [](const char* p, const struct stat*, int, FTW*) {
                   return ::lchown(p, 65534, 65534);
               },
               16, FTW_PHYS) == 0;
}

TEST(ScanRun, StoredMediumExitsZeroAndFailuresExitOneWithTheReason) {
    test::TempDir home;
    const std::string medium = home.file("photos");
    make_directory(medium);
    home.write("photos/a.jpg", "not really a picture");
    const auto run = [&](const std::vector<std::string>& args) {
        return test::run_program(ORBISTO_BINARY, args,
                                 {{"ORBISTO_HOME", home.path()}, {"LANG", "C.UTF-8"}});
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
            results[static_cast<std::size_t>(i)] =
                test::run_program(ORBISTO_BINARY, {"--drive", medium},
                                  {{"ORBISTO_HOME", home.path()}, {"LANG", "C.UTF-8"}});
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

TEST(ScanRun, AMediumStoredWithoutPartsOfItNamesThemAndExitsOne) {
    test::TempDir home;
    const std::string medium = home.file("medium");
    make_directory(medium);
    home.write("medium/top.txt", "x");
    // The medium and 256 levels below it are entered; 25 directories on the
    // level below are recorded but not entered.
    std::string deepest = medium;
    {
        std::vector<int> fds = {::open(medium.c_str(), O_RDONLY | O_DIRECTORY)};
        for (int i = 0; i < 256; ++i) {
            ASSERT_EQ(::mkdirat(fds.back(), "n", 0755), 0);
            fds.push_back(::openat(fds.back(), "n", O_RDONLY | O_DIRECTORY));
            deepest += "/n";
        }
        for (int i = 0; i < 25; ++i) {
            ASSERT_EQ(::mkdirat(fds.back(), ("x" + std::to_string(i)).c_str(), 0755), 0);
        }
        for (int fd : fds) ::close(fd);
    }
    const auto run = [&](const std::vector<std::string>& args) {
        return test::run_program(ORBISTO_BINARY, args, {{"ORBISTO_HOME", home.path()}});
    };
    const auto r = run({"--drive", medium, "--label", "Deep"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out.rfind("Medium Deep als Katalog 0 gespeichert (", 0), 0u) << r.out;
    EXPECT_EQ(occurrences(r.err, deepest + "/x"), 20u) << r.err;
    EXPECT_NE(r.err.find("und 5 weitere"), std::string::npos) << r.err;

    // A directory that cannot be read: as root, the run is made as nobody.
    const std::string other = home.file("other");
    make_directories(other + "/locked");
    home.write("other/locked/secret", "s");
    home.write("other/open.txt", "o");
    std::string binary = ORBISTO_BINARY;
    std::vector<std::string> args = {"--drive", other, "--label", "Locked"};
    if (::geteuid() == 0) {
        if (::access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "no setpriv to drop root";
        ASSERT_EQ(::chmod(home.path().c_str(), 0755), 0);
        ASSERT_TRUE(give_to_nobody(home.path()));
        args.insert(args.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups", binary});
        binary = "/usr/bin/setpriv";
    }
    ASSERT_EQ(::chmod((other + "/locked").c_str(), 0), 0);
    const auto locked = test::run_program(binary, args, {{"ORBISTO_HOME", home.path()}});
    ::chmod((other + "/locked").c_str(), 0755);
    EXPECT_EQ(locked.status, 1) << locked.err;
    EXPECT_EQ(locked.out.rfind("Medium Locked als Katalog 1 gespeichert (", 0), 0u) << locked.out;
    EXPECT_NE(locked.err.find(other + "/locked: nicht lesbar ("), std::string::npos) << locked.err;
}

}  // namespace
}  // namespace orbisto
