// The language of the headless commands: the settings file's `language`
// key, else the locale (LC_ALL, LC_MESSAGES, LANG); usage errors, help and
// messages all speak it. Also where the options may stand.
#include <gtest/gtest.h>

#include "app/command_help.h"
#include "app/commands.h"
#include "platform/files.h"
#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

using test::run_program;
using Env = std::vector<std::pair<std::string, std::string>>;

TEST(CommandLanguage, UsageErrorsFollowTheLocaleUnlessTheSettingsChoose) {
    test::TempDir home;
    const auto run = [&](const std::vector<std::string>& args, const char* lang) {
        return run_program(ORBISTO_BINARY, args, {{"ORBISTO_HOME", home.path()}, {"LANG", lang}});
    };
    struct Case {
        std::vector<std::string> args;
        std::string de, en;
    };
    const Case cases[] = {
        {{"find", "--bogus"}, "unbekannte Option '--bogus'", "unknown option '--bogus'"},
        {{"find"}, "kein Suchtext", "no search text"},
        {{"media", "--category"}, "--category braucht eine Zahl", "--category needs a number"},
        {{"thumbnail", "1"}, "Katalognummer und einen Pfad", "catalogue number and a path"},
        {{"frobnicate"}, "unbekannter Befehl 'frobnicate'", "unknown command 'frobnicate'"},
        {{"--drive", "a", "--update", "b"},
         "--drive und --update schlie",
         "--drive and --update exclude each other"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const auto de = run(c.args, "de_DE.UTF-8");
        const auto en = run(c.args, "en_US.UTF-8");
        EXPECT_EQ(de.status, 2);
        EXPECT_EQ(en.status, 2);
        EXPECT_NE(de.err.find(c.de), std::string::npos) << de.err;
        EXPECT_NE(en.err.find(c.en), std::string::npos) << en.err;
    }
    // A settings file that names the language wins over the locale.
    home.write("orbisto.INI", "[Optionen]\r\nlanguage=0\r\n");
    EXPECT_NE(run({"find", "--bogus"}, "en_US.UTF-8").err.find("unbekannte Option"),
              std::string::npos);
    home.write("orbisto.INI", "[Optionen]\r\nlanguage=1\r\n");
    EXPECT_NE(run({"find", "--bogus"}, "de_DE.UTF-8").err.find("unknown option"),
              std::string::npos);
}

TEST(CommandLanguage, EveryCommandHasItsHelpInBothLanguages) {
    test::TempDir home;
    for (const app::Command& c : app::commands()) {
        SCOPED_TRACE(c.name);
        for (const char* lang : {"de_DE.UTF-8", "C.UTF-8"}) {
            const auto r = run_program(ORBISTO_BINARY, {c.name, "--help"},
                                       {{"ORBISTO_HOME", home.path()}, {"LANG", lang}});
            EXPECT_EQ(r.status, 0);
            EXPECT_EQ(r.out, app::command_help(c.name, lang[0] == 'C'));
            EXPECT_NE(
                r.out.find(std::string(lang[0] == 'C' ? "Usage: orbisto " : "Aufruf: orbisto ") +
                           c.name),
                std::string::npos);
        }
    }
    // Nothing was started: no catalogue directory appeared.
    EXPECT_FALSE(file_exists(home.file("cds")));
}

TEST(CommandLanguage, TheCatalogueDirectoryMayFollowTheCommand) {
    test::TempDir home;
    make_directory(home.file("elsewhere"));
    // "--dir" after the command's words is the program's, "--" ends that.
    const auto r = run_program(ORBISTO_BINARY, {"media", "--dir", home.file("elsewhere")},
                               {{"ORBISTO_HOME", home.path()}});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(file_exists(home.file("cds")));
    const auto after =
        run_program(ORBISTO_BINARY, {"find", "--", "--dir"}, {{"ORBISTO_HOME", home.path()}});
    EXPECT_EQ(after.status, 1) << after.err;  // a search for "--dir" that finds nothing
}

}  // namespace
}  // namespace orbisto
