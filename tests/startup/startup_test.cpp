// Start-up as a whole: paths under ORBISTO_HOME, the CatalogDirectory rules,
// the settings read at start, the log and the private work directory.
#include "startup/startup.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/files.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

class StartupTest : public ::testing::Test {
protected:
    test::TempDir home;
    test::TempDir tmp;
    test::ScriptedFrontend fe;
    Context ctx{fe};
    std::map<std::string, std::string> env_vars;

    bool start(const std::vector<std::string>& args = {}, StartupHooks hooks = {}) {
        env_vars["ORBISTO_HOME"] = home.path();
        env_vars["TMPDIR"] = tmp.path();
        const EnvLookup env = [this](const char* name) -> const char* {
            const auto it = env_vars.find(name);
            return it == env_vars.end() ? nullptr : it->second.c_str();
        };
        return start_up(ctx, parse_command_line(args), "/usr/bin/orbisto", env, hooks);
    }
};

TEST_F(StartupTest, OrbistoHomeHoldsEveryFileAndTheSettingsFileIsFoundWhateverItsCase) {
    home.write("ORBISTO.ini", "[Optionen]\r\nlanguage=1\r\n");  // copied from Windows
    ASSERT_TRUE(start());
    EXPECT_EQ(ctx.paths.settings_file, home.file("ORBISTO.ini"));
    EXPECT_TRUE(ctx.english());
    EXPECT_TRUE(is_directory(home.file("cds")));
}

TEST_F(StartupTest, DirOptionWinsOverTheStoredPath) {
    home.write("orbisto.INI", "[Optionen]\r\nDataPfad=" + home.file("stored") + "\r\n");
    ASSERT_TRUE(start({"--dir", home.file("given/")}));
    EXPECT_EQ(ctx.paths.catalog_dir, home.file("given"));
    EXPECT_TRUE(is_directory(home.file("given")));
    // Kept, so that writing the options does not store the /dir path.
    EXPECT_EQ(ctx.settings.options.DataPfad, home.file("stored"));
}

TEST_F(StartupTest, StoredPathIsNotCreatedAndTheLogIsDeletedAtStartAndWritten) {
    home.write("orbisto.LOG", "old lines\r\n");
    home.write("orbisto.INI",
               "[Optionen]\r\nLogFile=1\r\nDataPfad=" + home.file("stored") + "\r\n");
    ASSERT_TRUE(start());
    EXPECT_EQ(ctx.paths.catalog_dir, home.file("stored"));
    EXPECT_FALSE(file_exists(home.file("stored")));
    EXPECT_FALSE(file_exists(home.file("orbisto.LOG")));
    ctx.status("V:1 D:0");
    ctx.log.always("packer line\r\n");
    EXPECT_EQ(*read_file(home.file("orbisto.LOG")), "status:V:1 D:0\r\npacker line\r\n");
}

TEST_F(StartupTest, CategoriesAreReadBetweenStartStateAndOutput) {
    home.write("orbisto.INI", "[Optionen]\r\nReload=0\r\nLetzteCD=7\r\n");
    std::vector<int> seen;
    StartupHooks hooks;
    hooks.read_categories = [&](Context& c) { seen.push_back(c.settings.state.LetzteCD); };
    ASSERT_TRUE(start({}, hooks));
    // The start state (with Reload 0 resetting LetzteCD) was read before the hook ran.
    EXPECT_EQ(seen, std::vector<int>{0});
}

TEST_F(StartupTest, PrivateWorkDirectoryIsRemovedAtShutdown) {
    ASSERT_TRUE(start());
    const std::string work = ctx.paths.temp_dir;
    EXPECT_EQ(work.rfind(tmp.path(), 0), 0u);
    write_file_atomic(work + "/scratch", "x");
    shut_down(ctx);
    EXPECT_FALSE(file_exists(work));
}

TEST_F(StartupTest, KeptWorkDirectoryWithNichtLoeschen) {
    const std::string keep = home.file("copies");
    home.write("orbisto.INI", "[Optionen]\r\nNichtL\xC3\xB6schen=1\r\nCopyPfad=" + keep + "\r\n");
    ASSERT_TRUE(start());
    EXPECT_EQ(ctx.paths.temp_dir, keep);
    shut_down(ctx);
    EXPECT_TRUE(is_directory(keep));
}


}  // namespace
}  // namespace orbisto
