// Finding packer programs: registered paths in "AppPaths", $PATH, the log
// lines of the start-up test, fallback programs, and the removal of unpacked trees without ever
// leaving the work directories.
#include "archive/packer_table.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "archive/archive_context.h"
#include "archive/work_tree.h"
#include "platform/files.h"
#include "session/context.h"
#include "settings/ini_file.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

class PackerTable : public ::testing::Test {
  protected:
    test::ScriptedFrontend fe;
    Context ctx{fe};
    test::TempDir tmp;
    std::string old_path = std::getenv("PATH") ? std::getenv("PATH") : "";

    void SetUp() override {
        make_directory(tmp.file("bin"));
        ::setenv("PATH", tmp.file("bin").c_str(), 1);
        ctx.paths.settings_file = tmp.file("orbisto.INI");
        ctx.log.set_path(tmp.file("ORBISTO.LOG"));
    }
    void TearDown() override { ::setenv("PATH", old_path.c_str(), 1); }
    std::string tool(const std::string& rel) {
        const std::string p = tmp.write(rel, "#!/bin/sh\n");
        ::chmod(p.c_str(), 0755);
        return p;
    }
    std::string app_path(const std::string& name) const {
        return IniFile::load_or_empty(ctx.paths.settings_file).get("AppPaths", name).value_or("-");
    }
    std::string log() const { return read_file(ctx.log.path()).value_or(""); }
};

TEST_F(PackerTable, RegisteredThenSearchPathThenMissingEachLoggedAlways) {
    const std::string reg = tool("mytool");
    const std::string on_path = tool("bin/pathtool");
    tmp.write("orbisto.INI",
              "[AppPaths]\r\nmytool=" + reg + "\r\npathtool=" + tmp.file("gone") + "\r\n");
    EXPECT_EQ(TestPacker(ctx, "mytool"), 2);
    EXPECT_EQ(TestPacker(ctx, "pathtool"), 1);
    EXPECT_EQ(app_path("pathtool"), "-") << "a stale registration is removed";
    EXPECT_EQ(TestPacker(ctx, "nothere"), 0);
    EXPECT_EQ(log(), "mytool gefunden in " + reg + "\r\npathtool gefunden im Suchpfad " + on_path +
                         "\r\nPacker: nothere nicht gefunden\r\n");
    EXPECT_EQ(ResolveCommand(ctx, "mytool x -y %s"), reg + " x -y %s");
    EXPECT_EQ(ResolveCommand(ctx, "pathtool x %s"), "pathtool x %s");
}

TEST_F(PackerTable, MissingProgramsFallBackToUnarAndAreReported) {
    tool("bin/unar");
    tool("bin/unzip");
    ctx.settings.packer.ace = PackerTemplate{"myace %s", true};
    TestAllPackers(ctx);
    EXPECT_FALSE(PackerAvailable(ctx, Packer::SEVENZ));
    EXPECT_EQ(ctx.settings.packer.rar.command, kExpanderCommand);
    EXPECT_EQ(ctx.settings.packer.ace.command, "myace %s") << "a stored line is the user's";

    ctx.settings.options.test_packers = false;
    TestAllPackers(ctx);
    EXPECT_TRUE(PackerAvailable(ctx, Packer::SEVENZ)) << "untested programs count as there";
}

TEST_F(PackerTable, DeleteTreeEmptiesOnlyWorkDirectoriesAndNeverFollowsLinks) {
    const std::string work = tmp.file("work");
    const std::string outside = tmp.file("outside");
    make_directories(work + "/x/locked/deeper");
    make_directory(outside);
    tmp.write("outside/keep", "user data");
    tmp.write("work/x/locked/deeper/f", "1");
    tmp.write("work/top", "2");
    ::symlink(outside.c_str(), (work + "/x/link").c_str());
    ::chmod((work + "/x/locked").c_str(), 0500);
    ctx.paths.temp_dir = work;

    ctx.settings.options.keep_expanded_files = true;
    EXPECT_TRUE(DeleteTree(ctx, work));
    EXPECT_TRUE(file_exists(work + "/top"));

    ctx.settings.options.keep_expanded_files = false;
    EXPECT_TRUE(DeleteTree(ctx, work));
    EXPECT_TRUE(is_directory(work));
    EXPECT_FALSE(file_exists(work + "/top") || file_exists(work + "/x"));
    EXPECT_FALSE(ctx.packers.delete_failed);

    ::symlink(outside.c_str(), (work + "/alias").c_str());
    for (const std::string& bad : {outside, work + "/alias", tmp.path(), std::string("/")}) {
        ctx.packers.delete_failed = false;
        EXPECT_FALSE(DeleteTree(ctx, bad)) << bad;
        EXPECT_TRUE(ctx.packers.delete_failed);
    }
    EXPECT_TRUE(file_exists(outside + "/keep"));
    make_directory(work + "/sub");
    EXPECT_TRUE(RemoveWorkDirectory(ctx, work + "/sub"));
    EXPECT_FALSE(RemoveWorkDirectory(ctx, work));
    EXPECT_TRUE(is_directory(work));
}

}  // namespace
}  // namespace orbisto
