// "orbisto verify" against a folder scanned with CRC32 on and then changed
// on disk, and "orbisto check" against damaged catalogue files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "platform/files.h"
#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

namespace fs = std::filesystem;

// The folder "medium" (a.txt, big.bin of 10 MB, sub/b.txt, sub/deep/c.txt)
// scanned as catalogue 0.
struct VerifyHome {
    test::TempDir home;

    explicit VerifyHome(const std::string& settings = "CRC32=1\r\n",
                        const std::function<void(const std::string&)>& more = {}) {
        fs::create_directories(home.file("medium/sub/deep"));
        home.write("medium/a.txt", "alpha");
        home.write("medium/big.bin", std::string(10'000'000, 'b'));
        home.write("medium/sub/b.txt", "bravo");
        home.write("medium/sub/deep/c.txt", "charlie");
        if (more) more(medium());
        home.write("orbisto.INI", "[Optionen]\r\n" + settings);
        const auto r = run({"--drive", medium()});
        EXPECT_EQ(r.status, 0) << r.err;
    }
    std::string medium() const { return home.file("medium"); }
    test::ProgramResult run(const std::vector<std::string>& args,
                            const char* lang = "C.UTF-8") const {
        return test::run_program(ORBISTO_BINARY, args,
                                 {{"ORBISTO_HOME", home.path()}, {"LANG", lang}});
    }
};

// Rewrites a file keeping its modification time.
void rewrite_keeping_time(const std::string& path, const std::string& content) {
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    ASSERT_TRUE(write_file_atomic(path, content));
    const utimbuf times{st.st_atime, st.st_mtime};
    ASSERT_EQ(::utime(path.c_str(), &times), 0);
}

void set_time(const std::string& path, std::time_t when) {
    const utimbuf times{when, when};
    ASSERT_EQ(::utime(path.c_str(), &times), 0);
}

TEST(VerifyCommand, AnUnchangedMediumIsEqualByNumberOrNameAndAtAGivenCopy) {
    VerifyHome h;
    auto r = h.run({"verify", "0"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");  // no progress display without a terminal
    EXPECT_EQ(h.run({"verify", "medium"}).status, 0);
    // A copy with the same times elsewhere is the same medium.
    fs::copy(h.medium(), h.home.file("copy"),
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    for (const char* f : {"a.txt", "big.bin", "sub/b.txt", "sub/deep/c.txt"}) {
        struct stat st {};
        ASSERT_EQ(::stat((h.medium() + "/" + f).c_str(), &st), 0);
        set_time(h.home.file("copy/") + f, st.st_mtime);
    }
    r = h.run({"verify", "0", h.home.file("copy")});
    EXPECT_EQ(r.status, 0) << r.out;
}

TEST(VerifyCommand, NamesEachKindOfDifferenceOnceInNameOrder) {
    VerifyHome h;
    const std::string m = h.medium();
    // A changed byte of equal size and date: only the stored CRC sees it.
    rewrite_keeping_time(m + "/a.txt", "alphA");
    std::string big(10'000'000, 'b');
    big[5'000'000] = 'c';
    rewrite_keeping_time(m + "/big.bin", big);
    // One byte more: a size the catalogue can tell from the old one.
    rewrite_keeping_time(m + "/sub/b.txt", "bravo!");
    // New: a file, and a folder (one line for it, none for what it holds).
    h.home.write("medium/new.txt", "new");
    fs::create_directories(m + "/newdir/inner");
    h.home.write("medium/newdir/inner/x", "x");
    // Missing: a catalogued folder with its file.
    fs::remove_all(m + "/sub/deep");

    const auto r = h.run({"verify", "0"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out,
              "content a.txt\n"
              "content big.bin\n"
              "new new.txt\n"
              "new newdir/\n"
              "size sub/b.txt\n"
              "missing sub/deep/\n");
}

TEST(VerifyCommand, DatesAndContentsAsTheCatalogueHoldsThem) {
    struct Case {
        const char* name;
        const char* settings;
        std::function<void(const std::string&)> change;
        const char* expected;
    } cases[] = {
        {"date moved by a day", "CRC32=1\r\n",
         [](const std::string& m) { set_time(m + "/a.txt", std::time(nullptr) - 86400); },
         "date a.txt\n"},
        {"date within two seconds", "CRC32=1\r\n",
         [](const std::string& m) {
             struct stat st {};
             ::stat((m + "/a.txt").c_str(), &st);
             set_time(m + "/a.txt", st.st_mtime + 1);
         },
         ""},
        {"changed byte without stored CRCs", "CRC32=0\r\n",
         [](const std::string& m) { rewrite_keeping_time(m + "/a.txt", "alphA"); }, ""},
        {"removed file", "CRC32=0\r\n", [](const std::string& m) { fs::remove(m + "/sub/b.txt"); },
         "missing sub/b.txt\n"},
        {"file where a folder was", "CRC32=0\r\n",
         [](const std::string& m) {
             fs::remove_all(m + "/sub/deep");
             write_file_atomic(m + "/sub/deep", "now a file");
         },
         "missing sub/deep/\nnew sub/deep\n"},
    };
    for (const Case& c : cases) {
        VerifyHome h(c.settings);
        c.change(h.medium());
        const auto r = h.run({"verify", "0"});
        EXPECT_EQ(r.out, c.expected) << c.name;
        EXPECT_EQ(r.status, *c.expected ? 1 : 0) << c.name << r.err;
    }
}

TEST(VerifyCommand, AnExpandedArchiveIsPresentAsTheFileOnDisk) {
    if (std::system("command -v zip >/dev/null && command -v unzip >/dev/null") != 0) {
        GTEST_SKIP() << "zip or unzip missing";
    }
    VerifyHome h("CRC32=1\r\nCDentpacken=2056\r\n", [](const std::string& m) {
        ASSERT_EQ(std::system(("cd " + m + "/sub && zip -q ../pack.zip b.txt").c_str()), 0);
    });
    auto r = h.run({"verify", "0"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "");
    fs::remove(h.medium() + "/pack.zip");
    r = h.run({"verify", "0"});
    EXPECT_EQ(r.out, "missing pack.zip/\n");
}

TEST(VerifyCommand, RefusesWhatItCannotCompareWithExitTwoInBothLanguages) {
    VerifyHome h;
    struct Case {
        std::vector<std::string> args;
        const char* en;
        const char* de;
    } cases[] = {
        {{"verify"}, "which medium?", "welches Medium?"},
        {{"verify", "0", "a", "b"},
         "Try 'orbisto verify --help'",
         "Hilfe: 'orbisto verify --help'"},
        {{"verify", "7"}, "no medium '7'", "kein Medium '7'"},
        {{"verify", "0", "/nonexistent/orbisto"}, "No such file", "/nonexistent/orbisto"},
        {{"verify", "0", h.home.file("orbisto.INI")}, "not a folder", "kein Ordner"},
    };
    for (const Case& c : cases) {
        const auto en = h.run(c.args);
        EXPECT_EQ(en.status, 2) << c.args.size() << en.err;
        EXPECT_NE(en.err.find(c.en), std::string::npos) << en.err;
        EXPECT_EQ(en.out, "");
        const auto de = h.run(c.args, "de_DE.UTF-8");
        EXPECT_EQ(de.status, 2);
        EXPECT_NE(de.err.find(c.de), std::string::npos) << de.err;
    }
}

TEST(CheckCommand, NamesTruncatedAndGarbageCataloguesWithTheirReason) {
    VerifyHome h;
    // Two more media: catalogues 1 and 2 and 3.
    for (int i = 0; i < 3; ++i) ASSERT_EQ(h.run({"--drive", h.medium()}).status, 0);
    auto r = h.run({"check"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "");

    const auto whole = read_file(h.home.file("cds/1.cd"));
    ASSERT_TRUE(whole.has_value());
    ASSERT_TRUE(write_file_atomic(h.home.file("cds/1.cd"), whole->substr(0, 1200)));
    // Cut inside the comments, which a load takes as they come.
    ASSERT_TRUE(write_file_atomic(h.home.file("cds/2.cd"), whole->substr(0, whole->size() - 1)));
    ASSERT_TRUE(write_file_atomic(h.home.file("cds/3.cd"), std::string(5000, '\x7f')));
    ASSERT_TRUE(write_file_atomic(h.home.file("cds/4.cd"), ""));

    r = h.run({"check"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "1.cd: read error FILES (the file ends too early)\n"
              "2.cd: the comments end inside a text (the file ends too early)\n"
              "3.cd: wrong database version 32639\n"
              "4.cd: too short for a catalogue\n");
    r = h.run({"check"}, "de_DE.UTF-8");
    EXPECT_NE(r.out.find("1.cd: Lesefehler FILES (Datei zu kurz)\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("3.cd: falsche Datenbankversion 32639\n"), std::string::npos);

    // Named ones only; a number names its file even when the media list
    // leaves it out.
    r = h.run({"check", "0"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    r = h.run({"check", "3", "9"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "3.cd: wrong database version 32639\n");
    EXPECT_NE(r.err.find("no catalogue 9"), std::string::npos) << r.err;
    EXPECT_EQ(h.run({"check", "--all"}).status, 2);
}

}  // namespace
}  // namespace orbisto
