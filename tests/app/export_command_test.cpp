// "orbisto export" and "orbisto --export" on media scanned by the program
// itself: the tables read back by Python's csv module and by dbfread, the
// text forms' layout, and the exit statuses.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "platform/files.h"
#include "support/run_program.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

namespace fs = std::filesystem;

std::string read_all(const std::string& path) {
    return read_file(path).value_or("");
}

// Two media scanned from temporary trees: "First" (a.txt, sub/q"uote.dat,
// sub/deep/ü.bin) and "Second" (one file).
struct ExportHome {
    test::TempDir home;

    ExportHome() {
        home.write("orbisto.INI", "[Optionen]\r\n");
        fs::create_directories(home.file("m1/sub/deep"));
        fs::create_directories(home.file("m2"));
        home.write("m1/a.txt", "hello");
        home.write("m1/sub/q\"uote.dat", std::string(3000, 'x'));
        home.write("m1/sub/deep/\xC3\xBC.bin", "z");
        home.write("m2/only.txt", "2");
        scan("m1", "First");
        scan("m2", "Second");
    }
    void scan(const std::string& dir, const std::string& label) {
        const auto r = run({"--drive", home.file(dir), "--label", label});
        ASSERT_EQ(r.status, 0) << r.err;
    }
    test::ProgramResult run(const std::vector<std::string>& args) const {
        return test::run_program(ORBISTO_BINARY, args, {{"ORBISTO_HOME", home.path()}});
    }
    test::ProgramResult run_export(std::vector<std::string> args) const {
        args.insert(args.begin(), "export");
        return run(args);
    }
    // Runs a Python script on a file; its standard output.
    std::string python(const std::string& script, const std::string& file) const {
        const std::string py = home.write("read.py", script);
        const std::string out = home.file("py.out");
        const std::string cmd = "/usr/bin/python3 " + py + " '" + file + "' > " + out;
        EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
        return read_all(out);
    }
};

TEST(ExportCommand, CsvReadBackByPythonsCsvModule) {
    ExportHome h;
    const std::string out = h.home.file("list.csv");
    const auto r = h.run_export(
        {"--format", "csv", "--output", out, "--columns", "medium,name,ext,size,path,comment"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string rows = h.python(
        "import csv, sys\n"
        "for row in csv.reader(open(sys.argv[1], encoding='utf-8'), delimiter=';'):\n"
        "    print(len(row), '|'.join(row[:3]), row[4].rsplit('/', 1)[-1])\n",
        out);
    EXPECT_EQ(rows,
              "6 CD-Name|Name|Erweiterung Pfad\n"
              "6 First|a|.txt m1\n"
              "6 First|q\"uote|.dat sub\n"
              "6 First|\xC3\xBC|.bin deep\n"
              "6 Second|only|.txt m2\n");
}

TEST(ExportCommand, DbaseReadBackByDbfread) {
    ExportHome h;
    const std::string out = h.home.file("list.dbf");
    ASSERT_EQ(h.run_export({"--format", "dbf", "--output", out, "--scope", "medium", "0"}).status,
              0);
    const std::string bytes = read_all(out);
    EXPECT_EQ(bytes.size(), 257u + 513u * 3 + 1);
    if (std::system("/usr/bin/python3 -c 'import dbfread' 2>/dev/null") != 0) {
        GTEST_SKIP() << "python3-dbfread is not installed (scripts/install-deps.sh)";
    }
    const std::string rows = h.python(
        "import sys, dbfread\n"
        "t = dbfread.DBF(sys.argv[1], encoding='cp1252')\n"
        "print(len(t.fields), len(t), [f.name for f in t.fields])\n"
        "for r in t: print(r['CD'], r['Dateiname'], r['ext'], r['Laenge'].strip())\n",
        out);
    EXPECT_EQ(rows,
              "7 3 ['CD', 'Dateiname', 'ext', 'Laenge', 'Datum', 'Pfad', 'info']\n"
              "First a .txt 0,005\n"
              "First q\"uote .dat 2,930\n"
              "First \xC3\xBC .bin 0,001\n");
}

TEST(ExportCommand, TextFormsKeepTheirLayout) {
    ExportHome h;
    const std::string list = h.home.file("l.txt");
    ASSERT_EQ(h.run_export({"--format", "list", "--output", list, "--columns", "name,path"}).status,
              0);
    // No header: the list starts with the first directory's lines.
    EXPECT_EQ(read_all(list).rfind(h.home.file("m1") + "\n", 0), 0u) << read_all(list);
    EXPECT_NE(read_all(list).find("\nsub\na.txt\t\n"), std::string::npos);

    const std::string tree = h.home.file("t.txt");
    ASSERT_EQ(h.run_export({"--format", "tree", "--output", tree, "--max-level", "1"}).status, 0);
    EXPECT_EQ(read_all(tree),
              " " + h.home.file("m1") + " \n|--------\\ sub \n " + h.home.file("m2") + " \n");

    const std::string media = h.home.file("m.txt");
    ASSERT_EQ(
        h.run_export({"--format", "media", "--header", "--output", media, "--columns", "medium"})
            .status,
        0);
    const std::string text = read_all(media);
    EXPECT_NE(text.find("\nGesamt:2 CDs  Verzeichnisse:6  Dateien:4\n"), std::string::npos);
    EXPECT_NE(text.find("  First  \n  Second  \n"), std::string::npos) << text;
}

TEST(ExportCommand, ExitStatusesAndTheFilesTheyLeave) {
    ExportHome h;
    const std::string out = h.home.file("x.csv");
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const Case usage[] = {
        {{"--format", "xls", "--output", out}, 2},
        {{"--format", "csv"}, 2},
        {{"--scope", "category", "--output", out}, 2},
        {{"--scope", "medium", "9", "--output", out}, 2},
        {{"--columns", "name,colour", "--output", out}, 2},
        {{"--output", h.home.file("no/such/dir/x.csv")}, 1},
    };
    for (const Case& c : usage) {
        EXPECT_EQ(h.run_export(c.args).status, c.status) << c.args[1];
        EXPECT_FALSE(file_exists(out));
    }
    ASSERT_EQ(h.run_export({"--format", "csv", "--output", out}).status, 0);
    h.home.write("x.csv", "mine");
    const auto kept = h.run_export({"--format", "csv", "--output", out});
    EXPECT_EQ(kept.status, 1);
    EXPECT_NE(kept.err.find("--force"), std::string::npos) << kept.err;
    EXPECT_EQ(read_all(out), "mine");
    ASSERT_EQ(::chmod(out.c_str(), 0444), 0);
    EXPECT_EQ(h.run_export({"--format", "csv", "--output", out, "--force"}).status, 1);
    EXPECT_EQ(read_all(out), "mine");
    ASSERT_EQ(::chmod(out.c_str(), 0644), 0);
    EXPECT_EQ(h.run_export({"--format", "csv", "--output", out, "--force"}).status, 0);
    EXPECT_NE(read_all(out), "mine");
    // The command leaves the settings file as it was.
    EXPECT_EQ(read_all(h.home.file("orbisto.INI")), "[Optionen]\r\n");
}

TEST(ExportRunMode, StoredSettingsWriteTheFileOnceAndReplaceItWithForce) {
    ExportHome h;
    const std::string base = h.home.file("stored.lst");
    h.home.write("orbisto.INI", "[Ausgabe]\r\nWas=305\r\nWie=313\r\nDatei=" + base + "\r\n");
    const std::string out = h.home.file("stored.CSV");
    const auto first = h.run({"--export"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(read_all(out).rfind("\"CD-Name\";", 0), 0u);
    h.home.write("stored.CSV", "old");
    EXPECT_EQ(h.run({"--export"}).status, 1);
    EXPECT_EQ(read_all(out), "old");
    EXPECT_EQ(h.run({"--export", "--force"}).status, 0);
    EXPECT_NE(read_all(out), "old");
}

// Printing without a display (Qt's offscreen platform) and without a
// printer system (CUPS is pointed at nothing).
const std::vector<std::pair<std::string, std::string>> kNoDisplayNoPrinter = {
    {"DISPLAY", ""},         {"WAYLAND_DISPLAY", ""},
    {"QT_QPA_PLATFORM", ""}, {"CUPS_SERVER", "/nonexistent/cups.sock"},
    {"PRINTER", ""},         {"LPDEST", ""}};

// The PDF's text as pdftotext lays it out, one entry per page with its
// non-empty lines.
std::vector<std::vector<std::string>> pdf_pages(const ExportHome& h, const std::string& pdf) {
    const std::string txt = h.home.file("pdf.txt");
    const std::string cmd = "pdftotext -layout '" + pdf + "' '" + txt + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    std::vector<std::vector<std::string>> pages(1);
    std::string line;
    for (const char c : read_all(txt)) {
        if (c == '\f') {
            pages.emplace_back();
        } else if (c == '\n') {
            if (line.find_first_not_of(' ') != std::string::npos) pages.back().push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (pages.back().empty()) pages.pop_back();  // after the last page's form feed
    return pages;
}

bool has_line(const std::vector<std::string>& lines, const std::string& part) {
    for (const auto& l : lines) {
        if (l.find(part) != std::string::npos) return true;
    }
    return false;
}

struct PrintHome : ExportHome {
    PrintHome() {
        fs::create_directories(home.file("m3"));
        for (int i = 0; i < 80; ++i) home.write("m3/f" + std::to_string(i) + ".txt", "x");
        scan("m3", "Third");
    }
    test::ProgramResult print(std::vector<std::string> args) const {
        args.insert(args.begin(), "export");
        return test::run_program(ORBISTO_BINARY, args, with_home(kNoDisplayNoPrinter));
    }
    std::vector<std::pair<std::string, std::string>> with_home(
        std::vector<std::pair<std::string, std::string>> env) const {
        env.emplace_back("ORBISTO_HOME", home.path());
        return env;
    }
};

bool printing_built(const test::ProgramResult& r) {
    return r.err.find("not available in this build") == std::string::npos;
}

TEST(ExportPrint, APdfOfFiftyNineLinesAPageWithThePrintedForms) {
    if (std::system("command -v pdftotext >/dev/null") != 0) {
        GTEST_SKIP() << "pdftotext is not installed (poppler-utils, scripts/install-deps.sh)";
    }
    PrintHome h;
    const std::string pdf = h.home.file("list.pdf");
    const auto r = h.print({"--pdf", pdf, "--header", "--columns", "medium,name,path,comment"});
    if (!printing_built(r)) GTEST_SKIP() << "built without the window's toolkit";
    ASSERT_EQ(r.status, 0) << r.err;
    const auto pages = pdf_pages(h, pdf);
    ASSERT_GE(pages.size(), 3u);
    for (std::size_t p = 0; p + 1 < pages.size(); ++p) EXPECT_EQ(pages[p].size(), 59u) << p;
    EXPECT_LE(pages.back().size(), 59u);
    const auto& first = pages.front();
    EXPECT_EQ(first[0], "/" + std::string(70, '*') + "/");
    EXPECT_TRUE(has_line(first, "// Fileliste erzeugt von Orbisto"));
    EXPECT_TRUE(has_line(first, "// CD-Beschreibung:"));
    EXPECT_TRUE(has_line(first, " */"));
    EXPECT_TRUE(has_line(first, "sub (Verzeichnis)"));
    EXPECT_TRUE(has_line(first, "/* --- */"));
    EXPECT_TRUE(has_line(first, "a.txt"));

    // A PDF in the way is kept without --force.
    const auto kept = h.print({"--pdf", pdf});
    EXPECT_EQ(kept.status, 1);
    EXPECT_NE(kept.err.find("--force"), std::string::npos) << kept.err;
}

TEST(ExportPrint, StoredSettingsPrintTheTreeIntoTheirPdf) {
    if (std::system("command -v pdftotext >/dev/null") != 0) {
        GTEST_SKIP() << "pdftotext is not installed (poppler-utils, scripts/install-deps.sh)";
    }
    PrintHome h;
    const std::string pdf = h.home.file("stored.pdf");
    h.home.write(
        "orbisto.INI",
        "[Ausgabe]\r\nWomit=304\r\nWas=305\r\nWie=312\r\nFF=1\r\nDruckdatei=" + pdf + "\r\n");
    const auto r =
        test::run_program(ORBISTO_BINARY, {"--export"}, h.with_home(kNoDisplayNoPrinter));
    if (!printing_built(r)) GTEST_SKIP() << "built without the window's toolkit";
    ASSERT_EQ(r.status, 0) << r.err;
    const auto pages = pdf_pages(h, pdf);
    // A page per medium (FF), each its tree and the separator.
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_TRUE(has_line(pages[0], "|--------\\ sub"));
    EXPECT_EQ(pages[0].back(), "/* --- */");
    EXPECT_TRUE(has_line(pages[2], h.home.file("m3")));
}

TEST(ExportPrint, NoPrinterIsTheSetupMessageAndExitOne) {
    PrintHome h;
    const auto r = h.print({"--printer"});
    if (!printing_built(r)) GTEST_SKIP() << "built without the window's toolkit";
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Probleme mit der Druckereinstellung"), std::string::npos) << r.err;
    EXPECT_EQ(h.print({"--printer", "--output", h.home.file("x.txt")}).status, 2);
}

}  // namespace
}  // namespace orbisto
