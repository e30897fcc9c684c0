// The executable as a user meets it: help, version, usage errors, modes that
// are not there yet, and ORBISTO_HOME keeping a run self-contained.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "settings/command_line.h"
#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

using test::run_program;

TEST(Program, HelpVersionAndUsageErrors) {
    test::TempDir home;
    const auto r = run_program(ORBISTO_BINARY, {"/help"}, {{"ORBISTO_HOME", home.path()}});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, help_text());
    // Help comes before anything else: no settings or catalogue directory appear.
    EXPECT_FALSE(file_exists(home.file("cds")));
    EXPECT_NE(run_program(ORBISTO_BINARY, {"--help"}).out.find("--drive PATH"), std::string::npos);
    // Also after a usage error or a command.
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--bogus", "/help"}, {"media", "/help"}}) {
        const auto h = run_program(ORBISTO_BINARY, args, {{"ORBISTO_HOME", home.path()}});
        EXPECT_EQ(h.status, 0) << args[0];
        EXPECT_EQ(h.out, help_text()) << args[0];
    }
    EXPECT_FALSE(file_exists(home.file("cds")));
    EXPECT_EQ(run_program(ORBISTO_BINARY, {"--version"}).status, 0);
    for (const char* bad : {"--bogus", "no-such-command"}) {
        EXPECT_EQ(run_program(ORBISTO_BINARY, {bad}).status, 2) << bad;
    }
}

TEST(Program, OrbistoHomeKeepsEverythingInsideAndDirCreatesOneLevel) {
    test::TempDir home;
    test::TempDir fake_home;
    const auto r = run_program(ORBISTO_BINARY, {"--export"},
                               {{"ORBISTO_HOME", home.path()},
                                {"HOME", fake_home.path()},
                                {"XDG_CONFIG_HOME", ""},
                                {"XDG_DATA_HOME", ""}});
    EXPECT_NE(r.status, 0);  // a mode not built yet
    EXPECT_TRUE(is_directory(home.file("cds")));
    EXPECT_FALSE(file_exists(fake_home.file(".config")));
    EXPECT_FALSE(file_exists(fake_home.file(".local")));

    const std::string dir = home.file("mycds");
    run_program(ORBISTO_BINARY, {"/dir\"" + dir + "\"", "--export"},
                {{"ORBISTO_HOME", home.path()}});
    EXPECT_TRUE(is_directory(dir));
    const auto deep = home.file("a/b/c");
    run_program(ORBISTO_BINARY, {"--dir", deep, "--export"}, {{"ORBISTO_HOME", home.path()}});
    EXPECT_FALSE(file_exists(deep));
}

}  // namespace
}  // namespace orbisto
