// The headless scan modes as a script meets them: exit statuses, the line on
// standard output and the catalogue stored.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"
#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

struct ScanRun {
    test::TempDir home;
    std::string medium = home.file("photos");
    ScanRun() {
        make_directory(medium);
        home.write("photos/a.jpg", "not really a picture");
    }
    test::ProgramResult run(const std::vector<std::string>& args) const {
        return test::run_program(ORBISTO_BINARY, args, {{"ORBISTO_HOME", home.path()}});
    }
};

TEST(ScanRun, StoredMediumExitsZeroAndIsListed) {
    ScanRun s;
    const auto r = s.run({"--drive", s.medium, "--label", "Holiday"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("stored medium Holiday as catalogue 0 (", 0), 0u) << r.out;
    EXPECT_TRUE(file_exists(s.home.file("cds/0.cd")));
    const auto listed = s.run({"media"});
    EXPECT_EQ(listed.out.rfind("0\tHoliday\t", 0), 0u) << listed.out;
}

TEST(ScanRun, FailuresExitOneWithTheReasonOnStandardError) {
    ScanRun s;
    const auto missing = s.run({"--drive", s.home.file("nowhere")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find(s.home.file("nowhere")), std::string::npos);
    EXPECT_EQ(missing.out, "");

    const auto unknown = s.run({"/update\"" + s.medium + "\""});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("nicht katalogisiert"), std::string::npos) << unknown.err;
    EXPECT_FALSE(file_exists(s.home.file("cds/0.cd")));

    // A catalogue directory that is a plain file: the save fails.
    const std::string not_a_dir = s.home.write("plain", "x");
    const auto unsaved = s.run({"--dir", not_a_dir, "--drive", s.medium});
    EXPECT_EQ(unsaved.status, 1) << unsaved.out;
    EXPECT_EQ(unsaved.out, "");

    if (::geteuid() == 0) GTEST_SKIP() << "the super-user writes into read-only folders";
    make_directory(s.home.file("cds"));
    ::chmod(s.home.file("cds").c_str(), 0555);
    const auto readonly = s.run({"--drive", s.medium});
    ::chmod(s.home.file("cds").c_str(), 0755);
    EXPECT_EQ(readonly.status, 1) << readonly.out;
}

}  // namespace
}  // namespace orbisto
