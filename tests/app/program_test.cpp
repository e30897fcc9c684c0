// The executable as a user meets it: help, version, usage errors, modes that
// are not there yet, and ORBISTO_HOME keeping a run self-contained.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "startup/command_line.h"
#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

using test::run_program;

TEST(Program, HelpTextsByteForByteAndVersion) {
    test::TempDir home;
    const auto r = run_program(ORBISTO_BINARY, {"/help"}, {{"ORBISTO_HOME", home.path()}});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, help_text());
    EXPECT_EQ(r.err, "");
    // Help comes before anything else: no settings or catalogue directory appear.
    EXPECT_FALSE(file_exists(home.file("cds")));

    const auto l = run_program(ORBISTO_BINARY, {"--help"});
    EXPECT_EQ(l.status, 0);
    EXPECT_EQ(l.out.substr(0, help_text().size()), help_text());
    EXPECT_NE(l.out.find("--drive PATH"), std::string::npos);
    EXPECT_EQ(run_program(ORBISTO_BINARY, {"--version"}).status, 0);
}

TEST(Program, UsageErrorsExitWithTwo) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--bogus"}, {"--drive"}, {"no-such-command"}}) {
        const auto r = run_program(ORBISTO_BINARY, args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_NE(r.err.find("orbisto:"), std::string::npos);
    }
}

TEST(Program, ModesNotBuiltYetFailAndOrbistoHomeKeepsEverythingInside) {
    test::TempDir home;
    test::TempDir fake_home;
    const auto r = run_program(ORBISTO_BINARY, {"--export"},
                               {{"ORBISTO_HOME", home.path()},
                                {"HOME", fake_home.path()},
                                {"XDG_CONFIG_HOME", ""},
                                {"XDG_DATA_HOME", ""}});
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("not available"), std::string::npos);
    EXPECT_TRUE(is_directory(home.file("cds")));
    EXPECT_FALSE(file_exists(fake_home.file(".config")));
    EXPECT_FALSE(file_exists(fake_home.file(".local")));
}

TEST(Program, DirOptionCreatesTheCatalogueDirectory) {
    test::TempDir home;
    const std::string dir = home.file("mycds");
    run_program(ORBISTO_BINARY, {"/dir\"" + dir + "\"", "--export"}, {{"ORBISTO_HOME", home.path()}});
    EXPECT_TRUE(is_directory(dir));
    // Only one level is created.
    const auto deep = home.file("a/b/c");
    run_program(ORBISTO_BINARY, {"--dir", deep, "--export"}, {{"ORBISTO_HOME", home.path()}});
    EXPECT_FALSE(file_exists(deep));
}

}  // namespace
}  // namespace orbisto
