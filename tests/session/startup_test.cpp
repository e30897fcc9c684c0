// Start-up as a whole: paths under ORBISTO_HOME, the CatalogDirectory rules,
// the settings read at start, the log and the private work directory.
#include "session/startup.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "session/context.h"
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

    bool start(const std::vector<std::string>& args = {}) {
        env_vars["ORBISTO_HOME"] = home.path();
        env_vars["TMPDIR"] = tmp.path();
        const EnvLookup env = [this](const char* name) -> const char* {
            const auto it = env_vars.find(name);
            return it == env_vars.end() ? nullptr : it->second.c_str();
        };
        return start_up(ctx, parse_command_line(args), "/usr/bin/orbisto", env);
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
    EXPECT_EQ(ctx.settings.options.catalog_dir, home.file("stored"));
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

TEST_F(StartupTest, CategoriesAreReadFromTheCatalogueDirectoryAfterTheStartState) {
    // The categories file lies in the catalogue directory the settings name,
    // so it is found only when the options were read first.
    home.write("orbisto.INI",
               "[Optionen]\r\nReload=0\r\nLetzteCD=7\r\nDataPfad=" + home.file("stored") + "\r\n");
    ASSERT_TRUE(make_directories(home.file("stored")));
    write_file_atomic(home.file("stored/WICHTIG.INI"),
                      "[Kategorie]\r\nAnzahl=1\r\nKategorie0=Musik\r\nKategorie0parent=-2\r\n");
    ASSERT_TRUE(start());
    EXPECT_EQ(ctx.categories.user_count(), 1);
    EXPECT_EQ(ctx.categories.name(2), "Musik");
    // reload_last off leaves no remembered medium, whichever reader saw it last.
    EXPECT_EQ(ctx.settings.state.last_catalog, 0);
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

TEST_F(StartupTest, LeftoversOfKilledRunsGoAtTheNextStartThoseOfLiveRunsAndTheCataloguesStay) {
    const std::string cds = home.file("cds");
    ASSERT_TRUE(make_directory(cds));
    const std::string catalogue = cds + "/0.cd";
    const std::string content(4 << 20, 'c');
    ASSERT_TRUE(write_file_atomic(catalogue, content));
    auto leftovers = [](const std::string& dir, std::string_view prefix) {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(dir)) {
            const std::string name = e.path().filename();
            if (name.rfind(prefix, 0) == 0) out.push_back(name);
        }
        return out;
    };
    // Runs killed with SIGKILL in the middle of saving, until one of them
    // has left its temporary file behind.
    for (int attempt = 0; attempt < 20 && leftovers(cds, ".0.cd.").empty(); ++attempt) {
        const pid_t saver = ::fork();
        ASSERT_GE(saver, 0);
        if (saver == 0) {
            for (;;) write_file_atomic(catalogue, content);
        }
        for (int wait = 0; wait < 5000 && leftovers(cds, ".0.cd.").empty(); ++wait) ::usleep(1000);
        ::kill(saver, SIGKILL);
        ::waitpid(saver, nullptr, 0);
    }
    ASSERT_FALSE(leftovers(cds, ".0.cd.").empty());
    const EnvLookup env = [this](const char* name) -> const char* {
        return std::string_view(name) == "TMPDIR" ? tmp.path().c_str() : nullptr;
    };
    // A run killed after making its work directory, and one that still runs.
    const pid_t worker = ::fork();
    ASSERT_GE(worker, 0);
    if (worker == 0) {
        Paths p;
        if (make_temp_dir(p, env, "")) write_file_atomic(p.temp_dir + "/member.txt", "x");
        ::raise(SIGKILL);
    }
    ::waitpid(worker, nullptr, 0);
    ASSERT_EQ(leftovers(tmp.path(), "orbisto-").size(), 1u);
    Paths live;
    ASSERT_TRUE(make_temp_dir(live, env, ""));

    ASSERT_TRUE(start());
    EXPECT_TRUE(leftovers(cds, ".0.cd.").empty());
    EXPECT_EQ(read_file(catalogue), content);
    std::vector<std::string> work = leftovers(tmp.path(), "orbisto-");
    std::sort(work.begin(), work.end());
    std::vector<std::string> want = {file_part(live.temp_dir), file_part(ctx.paths.temp_dir)};
    std::sort(want.begin(), want.end());
    EXPECT_EQ(work, want);
    remove_temp_dir(live);
}

}  // namespace
}  // namespace orbisto
