// The text writers on small hand-built rows: the lines each format writes,
// the text rules they share and the dBase table read back by a real dBase
// reader.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "output/csv_writer.h"
#include "output/dbase_writer.h"
#include "output/file_list_writer.h"
#include "output/media_list_writer.h"
#include "output/output_file.h"
#include "output/tree_writer.h"
#include "platform/files.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

using test::TempDir;

std::string read_all(const std::string& path) {
    std::string out;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        std::size_t n = 0;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
        std::fclose(f);
    }
    return out;
}

// Runs a writer into a fresh file and returns the file's bytes.
template <class Fill>
std::string written(const OutputSettings& s, bool english, Fill fill,
                    TextEncoding encoding = TextEncoding::Utf8) {
    TempDir dir;
    const std::string path = dir.file("out");
    OutputFile file;
    EXPECT_TRUE(file.open(path, false, encoding));
    const OutputStyle style{s, english, true, "Orbisto 3.6", "Mon Dec  7 11:00:00 2026\n", false};
    fill(file, style);
    EXPECT_TRUE(file.close());
    return read_all(path);
}

MediumFacts sample_medium() {
    MediumFacts m;
    m.name = "Disc \"One\"";
    m.number = "7";
    m.place = "Shelf";
    m.category = "Music";
    m.manufacturer = "Maker";
    m.supplier = "Shop";
    m.order_number = "A-1";
    m.price = "9,99";
    m.description = "line one\r\nline two";
    m.free_kb = 1.5f;
    return m;
}

const LocalTime kNoon{2024, 3, 5, 12, 7, true};

TEST(OutputText, CleaningCuttingQuotingAndTheOldCodePage) {
    EXPECT_EQ(clean_text("a\tb\r\n\r\nc     d"), "a b  c  d");  // control bytes, runs of two
    // Cuts count characters and never split one.
    EXPECT_EQ(first_chars("\xC3\xA4\xC3\xB6\xC3\xBC", 2), "\xC3\xA4\xC3\xB6");
    EXPECT_EQ(first_chars("ab\xE2\x82\xAC", 3), "ab\xE2\x82\xAC");
    EXPECT_EQ(padded("\xC3\xA4", 3), "  \xC3\xA4");  // width in characters, not bytes
    EXPECT_EQ(padded("ab", 4, true), "ab  ");
    EXPECT_EQ(csv_quoted("say \"hi\"\n"), "\"say \"\"hi\"\" \"");
    EXPECT_EQ(windows1252_of("\xC3\xA4\xE2\x82\xAC\xE6\x97\xA5\xFF"), "\xE4\x80??");
}

TEST(OutputHeader, GermanAndEnglishBlocksCarryTheEnabledLines) {
    OutputSettings s;
    s.header = true;
    s.show_place = true;
    s.show_free_space = true;
    const MediumFacts m = sample_medium();
    const std::string banner = "/" + std::string(70, '*') + "/\n";
    const std::string de = written(s, false, [&](OutputFile& f, const OutputStyle& st) {
        f.text(header_block(st, m, "/", true));
    });
    EXPECT_EQ(de, banner +
                      "// Fileliste erzeugt von Orbisto 3.6\n"
                      "// Liste erzeugt am Mon Dec  7 11:00:00 2026\n"
                      "// Nummer / Ort:7 / Shelf\n"
                      "// CD-Name:Disc \"One\"\n"
                      "// frei:    1.5 KB\n"
                      "// CD-Kategorie:Music\n"
                      "// CD-Hersteller:Maker\n"
                      "// CD-Lieferant:Shop\n"
                      "// CD-Bestellnummer:A-1\n"
                      "// CD-Preis:9,99\n"
                      "// CD-Beschreibung:line one  line two  \n"
                      "// Pfad:/\n" +
                      banner);
    // The block above each directory leaves the purchase lines out.
    s.show_place = s.show_free_space = s.show_category = false;
    const std::string en = written(s, true, [&](OutputFile& f, const OutputStyle& st) {
        f.text(header_block(st, m, "/a/b", false));
    });
    EXPECT_EQ(en, banner +
                      "// filelist created out of Orbisto 3.6\n"
                      "// list created on Mon Dec  7 11:00:00 2026\n"
                      "// CD-name:Disc \"One\"\n"
                      "// path:/a/b\n" +
                      banner);
}

TEST(FileListWriter, DirectoryLinesFileLinesAndFormFeeds) {
    OutputSettings s;
    s.form_feed = true;
    const std::string out = written(s, false, [&](OutputFile& f, const OutputStyle& st) {
        FileListWriter w(f, st);
        w.directory(sample_medium(), "/");  // no header: Header is off
        w.subdirectory("docs", "", false);
        w.subdirectory("a.zip", "packed\tthings", true);
        // The type's description stands in for a missing comment only.
        w.file({"readme.txt", 1.5f, false, kNoon, "first\nline", "Text"});
        w.file({"empty", 0.5f, false, {}, "", ""});
        w.file({"doc.pdf", 0.5f, false, {}, "", "PDF\tdocument"});
        w.end_section();
    });
    EXPECT_EQ(out,
              "docs\t(Verzeichnis)\t\n"
              "a.zip\t(gepackte Datei)\t  packed things\n"
              "readme.txt\t  1,500\t05.03.2024  12:07\tfirst line\n"
              "empty\t0,500\t\t\n"
              "doc.pdf\t0,500\t\t(R)PDF document\n"
              "\f\n");

    // Without comments, subdirectories are bare names; with Dir on no files.
    s = {};
    s.show_comment = false;
    s.show_date = false;
    EXPECT_EQ(written(s, true,
                      [&](OutputFile& f, const OutputStyle& st) {
                          FileListWriter w(f, st);
                          w.subdirectory("docs", "ignored", false);
                          w.file({"a", 2, false, kNoon, "x", ""});
                      }),
              "docs\na\t  2,000\t\n");
    s.dirs_only = true;
    s.show_path = false;
    EXPECT_EQ(written(s, false,
                      [&](OutputFile& f, const OutputStyle& st) {
                          FileListWriter w(f, st);
                          w.subdirectory("docs", "", false);
                          w.file({"a", 2, false, kNoon, "", ""});
                      }),
              "");
}

TEST(FileListWriter, SearchResultRowsInBothLanguagesAndOnOneLine) {
    OutputSettings s;
    const ResultRow row{"CD1", "song", ".mp3", "  1,000", "05.03.2024  12:07", "/music", "nice"};
    const auto rows = [&](bool english) {
        return written(s, english, [&](OutputFile& f, const OutputStyle& st) {
            FileListWriter(f, st).result_row(row);
        });
    };
    EXPECT_EQ(rows(false),
              "Medium:CD1  \nName:song  .mp3    1,000  05.03.2024  12:07  \nPfad:/music  \n"
              "Kommentar:nice  \n\n");
    EXPECT_EQ(rows(true),
              "Medium:CD1  \nfilename:song.mp3   1,000 05.03.2024  12:07\npath:/music  \n"
              "comment:nice  \n\n");
    s.one_line = true;
    EXPECT_EQ(rows(false),
              "Medium:CD1  Name:song  .mp3    1,000  05.03.2024  12:07  Pfad:/music  "
              "Kommentar:nice  \n");
}

TEST(TreeWriter, IndentsByDepthAndStopsAtMaxLevelOrTheFirstLevel) {
    OutputSettings s;
    const auto tree = [&] {
        return written(s, false, [&](OutputFile& f, const OutputStyle& st) {
            TreeWriter w(f, st);
            for (int depth : {0, 1, 2}) {
                if (tree_writes_depth(s, depth))
                    w.directory(depth, "d" + std::to_string(depth), "");
            }
            w.directory(1, "c", "a\tcomment");
        });
    };
    EXPECT_EQ(tree(),
              " d0 \n|--------\\ d1 \n|--------|--------\\ d2 \n|--------\\ c \ta comment\n");
    s.max_level = 0;
    EXPECT_EQ(tree(), " d0 \n");
    s.max_level = 255;
    s.root_only = true;
    EXPECT_EQ(tree(), " d0 \n");
}

TEST(CsvWriter, HeaderAndRecordsFollowTheEnabledColumns) {
    OutputSettings s;
    s.show_place = true;
    s.show_free_space = true;
    const MediumFacts m = sample_medium();
    const std::string out = written(s, true, [&](OutputFile& f, const OutputStyle& st) {
        CsvWriter w(f, st);
        w.header();
        w.record(
            {&m, m.name, "a \"b\"", ".txt", "  1,500", "2024.03.05  12:07", "/x/y", "c;d", "T"});
        w.record({&m, m.name, "p", ".pdf", "1", "", "/", "", "PDF-Dokument"});
    });
    EXPECT_EQ(out,
              "\"Nummer\";\"Ort\";\"CD-Name\";\"frei\";\"CD-Kategorie\";\"Name\";\"Erweiterung\";"
              "\"L\xC3\xA4nge\";\"Datum\";\"Pfad\";\"Kommentar\"\n"
              "\"7\";\"Shelf\";\"Disc \"\"One\"\"\";\"    1.5\";\"Music\";\"a \"\"b\"\"\";\".txt\";"
              "\"  1,500\";\"2024.03.05  12:07\";\"/x/y\";\"c;d\"\n"
              "\"7\";\"Shelf\";\"Disc \"\"One\"\"\";\"    "
              "1.5\";\"Music\";\"p\";\".pdf\";\"1\";\"\";\"/\";"
              "\"(R)PDF-Dokument\"\n");
    // The search-result form has no medium columns; Windows-1252 on request.
    s.show_comment = false;
    const std::string result = written(
        s, false,
        [&](OutputFile& f, const OutputStyle& st) {
            CsvWriter w(f, st, true);
            w.header();
            w.record({nullptr, "CD", "\xC3\xA4", "", "1", "d", "/", "", ""});
        },
        TextEncoding::Windows1252);
    EXPECT_EQ(result,
              "\"CD-Name\";\"Name\";\"Erweiterung\";\"L\xE4nge\";\"Datum\";\"Pfad\"\n"
              "\"CD\";\"\xE4\";\"\";\"1\";\"d\";\"/\"\n");
}

TEST(DbaseWriter, LayoutSizeAndRecordsAsADbaseReaderSeesThem) {
    TempDir dir;
    const std::string path = dir.file("t.dbf");
    OutputSettings s;
    const MediumFacts m = sample_medium();
    const std::string long_name(200, 'n');
    {
        OutputFile f;
        ASSERT_TRUE(f.open(path, false, TextEncoding::Utf8));
        const OutputStyle st{s, false, true, "Orbisto 3.6", "x\n", false};
        DbaseWriter w(f, st);
        w.begin();
        w.record({&m, m.name, "\xC3\xA4pfel", ".txt", "  1,500", "2024.03.05  12:07", "/x",
                  "\xE6\x97\xA5 note\r\n", ""});
        w.record({&m, "CD2", long_name, "", "0,500", "", "/", "", ""});
        w.finish();
        ASSERT_TRUE(f.close());
        EXPECT_EQ(w.records(), 2u);
    }
    const std::string b = read_all(path);
    ASSERT_EQ(b.size(), 257u + 513u * 2 + 1);  // ends with 0x1A alone
    EXPECT_EQ(b[0], 0x03);
    EXPECT_EQ(b.substr(1, 7), std::string("\x60\x01\x01\x02\x00\x00\x00", 7));
    EXPECT_EQ(b.substr(8, 4), std::string("\x01\x01\x01\x02", 4));  // 257, 513
    EXPECT_EQ(b.substr(32, 12), std::string("CD\0\0\0\0\0\0\0\0\0C", 12));
    EXPECT_EQ(b[32 + 16], 40);
    EXPECT_EQ(b.substr(64, 9), "Dateiname");
    EXPECT_EQ(b[256], 0x0D);
    EXPECT_EQ(b.back(), 0x1A);
    // The long name is cut to its slot; the next field starts in place.
    EXPECT_EQ(b.substr(257 + 513 + 1 + 40, 112), std::string(112, 'n'));

    if (std::system("/usr/bin/python3 -c 'import dbfread' 2>/dev/null") != 0) {
        GTEST_SKIP() << "python3-dbfread is not installed (scripts/install-deps.sh)";
    }
    const std::string script = dir.write("read.py",
                                         "import sys, dbfread\n"
                                         "t = dbfread.DBF(sys.argv[1], encoding='cp1252')\n"
                                         "print(len(t.fields), len(list(t)))\n"
                                         "for r in t: print('|'.join(r.values()))\n");
    const std::string cmd = "/usr/bin/python3 " + script + " " + path + " > " + dir.file("o");
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(read_all(dir.file("o")),
              "7 2\n"
              "Disc \"One\"|\xC3\xA4pfel|.txt|  1,500|2024.03.05  12:07|/x|? note\n"
              "CD2|" +
                  long_name.substr(0, 112) + "||0,500||/|\n");
}

TEST(MediaListWriter, TextCsvAndLentForms) {
    OutputSettings s;
    s.show_place = true;
    s.show_last_change = false;
    s.show_supplier = s.show_order_number = s.show_price = false;
    MediumFacts m = sample_medium();
    m.description = "about";
    const auto line = [&] {
        return written(s, false, [&](OutputFile& f, const OutputStyle& st) {
            MediaListWriter(f, st).medium(m);
        });
    };
    EXPECT_EQ(line(), "  7(  Shelf):  Disc \"One\"  \t  about,,Music,Maker\n");
    s.media_list_csv = true;
    s.show_free_space = true;
    EXPECT_EQ(line(),
              "\"7\";\"Shelf\";\"Disc \"\"One\"\"\";\"about\";\"    1.5\";\"Music\";\"Maker\"\n");

    m.lent_to = "Anna";
    m.lent_from = "1.1.";
    m.lent_until = "2.2.";
    EXPECT_EQ(written(s, true,
                      [&](OutputFile& f, const OutputStyle& st) {
                          MediaListWriter(f, st).lent_medium(m);
                      }),
              "  7(  Shelf):  Disc \"One\"  \tabout  \n\tlent to:Anna\n\tfrom:1.1.\n"
              "\tuntil:2.2.\r\n\n");

    s.header = true;
    const std::string banner = "/" + std::string(70, '*') + "/\n";
    EXPECT_EQ(written(s, false,
                      [&](OutputFile& f, const OutputStyle& st) {
                          MediaListWriter(f, st).header({3, 10, 200});
                      }),
              banner +
                  "// Fileliste erzeugt von Orbisto 3.6\n// Liste erzeugt am Mon Dec  7 "
                  "11:00:00 2026\n" +
                  banner + "Gesamt:3 CDs  Verzeichnisse:10  Dateien:200\n" + banner);
}

TEST(MediaListWriter, SortedCopyOrdersNamesByBytesKeepingTies) {
    const std::vector<std::string_view> names = {"b", "B", "a", "b", "\xC3\xA4"};
    EXPECT_EQ(sorted_media_order(names), (std::vector<std::size_t>{1, 2, 0, 3, 4}));
}

TEST(OutputFile, AFullDeviceIsAWriteErrorAndAnAppendKeepsTheOldText) {
    TempDir dir;
    const std::string path = dir.write("a.txt", "old\n");
    OutputFile f;
    ASSERT_TRUE(f.open(path, true, TextEncoding::Utf8));
    f.text("new\n");
    ASSERT_TRUE(f.close());
    EXPECT_EQ(read_all(path), "old\nnew\n");

    OutputFile full;
    ASSERT_TRUE(full.open("/dev/full", false, TextEncoding::Utf8));
    full.text(std::string(2 << 20, 'x'));  // more than the stream buffer
    EXPECT_FALSE(full.close());
}

}  // namespace
}  // namespace orbisto
