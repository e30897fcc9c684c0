// "orbisto import-list" run as the real program over a self-contained
// ORBISTO_HOME.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

TEST(ImportListCommand, StoresTheListOrFailsWithTheRightStatus) {
    test::TempDir home;
    make_directory(home.file("cds"));
    const auto run = [&](const std::vector<std::string>& args) {
        return test::run_program(ORBISTO_BINARY, args,
                                 {{"ORBISTO_HOME", home.path()}, {"LANG", "C.UTF-8"}});
    };
    const std::string list =
        home.write("INDEX", "Linux tools\nls.c  lists\n* skipped\nmv.c  moves\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"import-list", list},
          {"import-list", list, "--format", "csv"},
          {"import-list", list, list, "--format", "index"}}) {
        EXPECT_EQ(run(args).status, 2) << args.back();
    }
    auto r = run({"import-list", home.file("missing"), "--format", "index"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(home.file("missing")), std::string::npos) << r.err;
    EXPECT_FALSE(file_exists(home.file("cds/0.cd")));

    r = run({"import-list", list, "--format", "index"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "stored medium Linux tools as catalogue 0 (2 files)\n");
    EXPECT_NE(run({"media"}).out.find("0\tLinux tools\t"), std::string::npos);
}

}  // namespace
}  // namespace orbisto
