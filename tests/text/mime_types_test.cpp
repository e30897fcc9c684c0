// The file-type descriptions of the shared MIME database: a small database
// made here (with damaged lines and files among the good ones) and the
// system's own.
#include "text/mime_types.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

// globs2 and three type files; the damaged lines must be passed over.
struct MimeHome {
    test::TempDir dir;

    MimeHome() {
        dir.write("globs2",
                  "# comment line\n"
                  "50:text/plain:*.txt\n"
                  "50:application/gzip:*.gz\n"
                  "50:application/x-compressed-tar:*.tar.gz\n"
                  "50:text/x-csrc:*.c\n"
                  "50:text/x-c++src:*.C:cs\n"
                  "50:text/x-makefile:makefile\n"
                  "60:text/x-weighty:*.txt\n"
                  "40:text/x-light:*.dat\n"
                  "80:text/x-heavy:*.dat\n"
                  "no colons at all\n"
                  "5x:text/x-bad:*.bad\n"
                  "50:../../etc/passwd:*.evil\n"
                  "50:text/x-pattern:*.[0-9]\n"
                  "50:text/x-cut");
        std::filesystem::create_directories(dir.file("text"));
        std::filesystem::create_directories(dir.file("application"));
        dir.write("text/x-weighty.xml",
                  "<mime-type type=\"text/x-weighty\">\n"
                  "  <comment>plain &amp; weighty</comment>\n"
                  "  <comment xml:lang=\"da\">dansk</comment>\n"
                  "  <comment xml:lang=\"de\">schwer &lt;Text&gt;</comment>\n"
                  "</mime-type>\n");
        dir.write("application/x-compressed-tar.xml",
                  "<mime-type><comment xml:lang=\"en\">tarball</comment>"
                  "<comment>Tar archive</comment></mime-type>");
        dir.write("application/gzip.xml", "<mime-type><comment>gzip archive</comment>");
        dir.write("text/x-heavy.xml", "<mime-type><comment>unterminated");
        dir.write("text/x-makefile.xml", "<comment>Makefile</comment>");
        dir.write("text/x-c++src.xml", "<comment>C++ source</comment>");
    }
};

TEST(MimeTypes, TypesByWeightLengthAndCaseAndDescriptionsByLanguage) {
    MimeHome h;
    MimeTypes types(h.dir.path());
    struct Case {
        const char* name;
        const char* type;
        const char* german;
        const char* english;
    };
    const Case cases[] = {
        {"notes.TXT", "text/x-weighty", "schwer <Text>", "plain & weighty"},     // the heavier glob
        {"a.tar.gz", "application/x-compressed-tar", "Tar archive", "tarball"},  // the longer one
        {"a.gz", "application/gzip", "gzip archive", "gzip archive"},
        {"prog.C", "text/x-c++src", "C++ source", "C++ source"},  // case-sensitive glob
        {"prog.c", "text/x-csrc", "", ""},                        // no type file
        {"Makefile", "text/x-makefile", "Makefile", "Makefile"},  // a whole name
        {"x.dat", "text/x-heavy", "", ""},                        // damaged type file
        {"x.bad", "", "", ""},
        {"x.evil", "", "", ""},
        {"x.1", "", "", ""},  // wildcard globs are not taken
        {"noextension", "", "", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(types.type_of(c.name), c.type) << c.name;
        EXPECT_EQ(types.description(c.name, false), c.german) << c.name;
        EXPECT_EQ(types.description(c.name, true), c.english) << c.name;
    }
}

TEST(MimeTypes, MissingOrOversizedDatabaseGivesNoDescriptions) {
    MimeTypes missing("/nonexistent/mime");
    EXPECT_EQ(missing.description("a.txt", false), "");
    MimeHome h;
    std::string big(5u << 20, '#');
    h.dir.write("globs2", "50:text/plain:*.txt\n" + big);
    MimeTypes oversized(h.dir.path());
    EXPECT_EQ(oversized.type_of("a.txt"), "");
}

TEST(MimeTypes, TheSystemDatabaseInGermanAndEnglish) {
    if (!file_exists("/usr/share/mime/globs2")) {
        GTEST_SKIP() << "no shared MIME database (package shared-mime-info)";
    }
    MimeTypes& types = shared_mime_types();
    struct Case {
        const char* name;
        const char* german;
        const char* english;
    };
    const Case cases[] = {
        {"report.pdf", "PDF-Dokument", "PDF document"},
        {"read.me.txt", "Einfaches Textdokument", "plain text document"},
        {"Bild.PNG", "PNG-Bild", "PNG image"},
        {"song.mp3", "MP3-Audio", "MP3 audio"},
        {"src.tar.gz", "Tar-Archiv (gzip-komprimiert)", "Tar archive (gzip-compressed)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(types.description(c.name, false), c.german) << c.name;
        EXPECT_EQ(types.description(c.name, true), c.english) << c.name;
    }
}

}  // namespace
}  // namespace orbisto
