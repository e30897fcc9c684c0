// "orbisto import-list" run as the real program over a self-contained
// ORBISTO_HOME.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

struct ImportHome {
    test::TempDir home;
    ImportHome() { make_directory(home.file("cds")); }
    test::ProgramResult run(const std::vector<std::string>& args) const {
        return test::run_program(ORBISTO_BINARY, args, {{"ORBISTO_HOME", home.path()}});
    }
};

TEST(ImportListCommand, StoresTheListAsTheNextMedium) {
    ImportHome h;
    const std::string list =
        h.home.write("INDEX", "Linux tools\nls.c  lists files\n* skipped\nmv.c  moves\n");
    auto r = h.run({"import-list", list, "--format", "index"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "stored medium Linux tools as catalogue 0 (2 files)\n");
    EXPECT_TRUE(file_exists(h.home.file("cds/0.cd")));

    r = h.run({"import-list", "--format=files-bbs", list});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "stored medium Linux tools as catalogue 1 (2 files)\n");
    r = h.run({"media"});
    EXPECT_EQ(r.out.substr(0, r.out.find('\t')), "0");
    EXPECT_NE(r.out.find("\n1\tLinux tools\t"), std::string::npos) << r.out;
}

TEST(ImportListCommand, BadArgumentsAndUnreadableFilesStoreNothing) {
    ImportHome h;
    const std::string list = h.home.write("FILES.BBS", "Name\r\nA.ZIP 1 a\r\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"import-list", list},
          {"import-list", "--format", "index"},
          {"import-list", list, "--format", "csv"},
          {"import-list", list, "--format"},
          {"import-list", list, list, "--format", "index"}}) {
        const auto r = h.run(args);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_EQ(r.out, "");
    }
    const auto r = h.run({"import-list", h.home.file("missing"), "--format", "index"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(h.home.file("missing")), std::string::npos) << r.err;
    EXPECT_FALSE(file_exists(h.home.file("cds/0.cd")));
}

}  // namespace
}  // namespace orbisto
