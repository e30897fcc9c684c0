// Errors a user of the headless commands can act on: a catalogue directory
// that is not there or cannot take a catalogue, a folder scanned a second
// time, a pattern that does not compile; and find's rows: one per object,
// totals that count them, names that cannot drive a terminal.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

using test::run_program;

struct Home {
    test::TempDir home;
    std::string medium = home.file("medium");
    Home() {
        make_directory(medium);
        home.write("medium/readme.txt", "read me");
        home.write("medium/DESCRIPT.ION", "readme.txt the readme file\r\n");
        home.write("medium/notes.txt", "notes");
    }
    test::ProgramResult run(const std::vector<std::string>& args,
                            const char* lang = "C.UTF-8") const {
        return run_program(ORBISTO_BINARY, args,
                           {{"ORBISTO_HOME", home.path()}, {"LANG", lang}, {"TZ", "UTC"}});
    }
};

TEST(CommandErrors, ACatalogueDirectoryThatCannotServeIsNamedBeforeAnythingIsDone) {
    Home h;
    const std::string plain = h.home.write("plain", "x");
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const Case cases[] = {
        // A scan: the directory is made one level deep, not more.
        {{"--dir", h.home.file("no/such"), "--drive", h.medium},
         "catalogue directory " + h.home.file("no/such") + ": No such file or directory"},
        {{"--dir", plain, "--drive", h.medium},
         "catalogue directory " + plain + ": Not a directory"},
        // A command never makes it.
        {{"media", "--dir", h.home.file("nowhere")},
         "catalogue directory " + h.home.file("nowhere") + ": No such file or directory"},
        {{"find", "x", "--dir", h.home.file("nowhere")}, "No such file or directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const auto r = h.run(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(file_exists(h.home.file("nowhere")));
    EXPECT_NE(h.run({"media", "--dir", plain}, "de_DE.UTF-8").err.find("Katalogverzeichnis"),
              std::string::npos);
}

TEST(CommandErrors, AFolderScannedAgainIsStoredAndTheUpdateIsPointedOut) {
    Home h;
    const auto first = h.run({"--drive", h.medium});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.err.find("already catalogued"), std::string::npos) << first.err;
    const auto again = h.run({"--drive", h.medium});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.out.find("as catalogue 1"), std::string::npos) << again.out;
    EXPECT_NE(again.err.find(h.medium +
                             " was already catalogued as catalogue 0; 'orbisto "
                             "--update " +
                             h.medium + "'"),
              std::string::npos)
        << again.err;
    EXPECT_NE(h.run({"--drive", h.medium}, "de_DE.UTF-8").err.find("schon als Katalog 0 erfasst"),
              std::string::npos);
}

TEST(CommandErrors, FindPrintsEachObjectOnceAndStopsOnAPatternItCannotRead) {
    Home h;
    ASSERT_EQ(h.run({"--drive", h.medium}).status, 0);
    // "readme" is in the file's name and in its comment: one row, unless
    // every match is asked for.
    const auto one = h.run({"find", "readme", "--scope", "files,comments"});
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(std::count(one.out.begin(), one.out.end(), '\n'), 1) << one.out;
    EXPECT_EQ(one.err.rfind("hits:1 ", 0), 0u) << one.err;
    const auto all = h.run({"find", "readme", "--scope", "files,comments", "--all-matches"});
    EXPECT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 2) << all.out;
    EXPECT_EQ(all.err.rfind("hits:2 ", 0), 0u) << all.err;
    // Only the medium named.
    ASSERT_EQ(h.run({"--drive", h.medium, "--label", "Second"}).status, 0);
    const auto second = h.run({"find", "notes", "--medium", "Second"});
    EXPECT_EQ(second.out.rfind("1\tSecond\tF\t", 0), 0u) << second.out;
    EXPECT_EQ(std::count(second.out.begin(), second.out.end(), '\n'), 1);
    EXPECT_EQ(h.run({"find", "notes", "--medium", "Third"}).status, 1);

    const auto bad = h.run({"find", "--mode", "regular", "[abc"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("illegal search string: Unterminated class"), std::string::npos)
        << bad.err;
    // The duplicate search needs no text: both media hold the same files.
    const auto dups = h.run({"find", "--mode", "duplicates"});
    EXPECT_EQ(dups.status, 0) << dups.err;
    EXPECT_NE(dups.out.find("readme.txt"), std::string::npos);
}

}  // namespace
}  // namespace orbisto
