// The printer's page logic and the printed forms, on a device that records
// each line with its page and row.
#include "output/printed_lists.h"

#include <gtest/gtest.h>

#include "support/recording_printer.h"

namespace orbisto {
namespace {

using test::RecordingPrinter;
using Lines = std::vector<std::string>;

TEST(Printer, FiftyNineLinesAPageAndTheSixtiethStartsTheNextAtRowOne) {
    RecordingPrinter dev;
    Printer p(dev, 25, false);
    ASSERT_TRUE(p.begin("doc"));
    for (int i = 1; i <= 130; ++i) p.text("line " + std::to_string(i));
    EXPECT_TRUE(p.end());
    EXPECT_TRUE(dev.ended);
    ASSERT_EQ(dev.pages.size(), 3u);
    EXPECT_EQ(dev.pages[0].size(), 59u);
    EXPECT_EQ(dev.pages[1].size(), 59u);
    EXPECT_EQ(dev.pages[2].size(), 12u);
    EXPECT_EQ(dev.pages[0].front().row, 1);
    EXPECT_EQ(dev.pages[0].back().row, 59);
    EXPECT_EQ(dev.pages[1].front().row, 1);
    EXPECT_EQ(dev.pages[1].front().text, "line 60");
    EXPECT_EQ(dev.pages[1].front().x, 25);  // the left margin
    EXPECT_EQ(p.lines(), 130u);
}

TEST(Printer, TextsSplitAtControlCharactersOrCleanedToOneLine) {
    struct Case {
        const char* text;
        bool one_line;
        Lines printed;
    };
    const Case cases[] = {
        {"a\r\n\r\nb\tc", false, {"a", "b", "c"}},
        {"\r\n\x1b", false, {}},  // nothing printable: no empty line
        {"first  second", false, {"first  second"}},
        {"a\r\n\r\nb\tc", true, {"a  b c"}},
        {"x\x7f"
         "y",
         false,
         {"x", "y"}},
    };
    for (const Case& c : cases) {
        RecordingPrinter dev;
        Printer p(dev, 0, c.one_line);
        ASSERT_TRUE(p.begin("doc"));
        p.text(c.text);
        p.end();
        EXPECT_EQ(dev.texts(), c.printed) << c.text;
    }
}

TEST(Printer, PageBreaksNeverLeaveAnEmptyPage) {
    RecordingPrinter dev;
    Printer p(dev, 0, false);
    ASSERT_TRUE(p.begin("doc"));
    p.page_break();  // before anything is printed
    p.text("one");
    p.page_break();
    p.page_break();  // twice in a row: one new page
    p.text("two");
    p.page_break();  // at the end: no trailing empty page
    p.end();
    ASSERT_EQ(dev.pages.size(), 2u);
    EXPECT_EQ(dev.pages[1].front().row, 1);
    EXPECT_EQ(dev.pages[1].front().text, "two");
}

TEST(Printer, AFailingLineStopsThePrintWithThePrintersMessage) {
    RecordingPrinter dev;
    dev.fail_at_line = 2;
    Printer p(dev, 0, false);
    ASSERT_TRUE(p.begin("doc"));
    for (const char* t : {"a", "b", "c", "d"}) p.text(t);
    EXPECT_FALSE(p.ok());
    EXPECT_EQ(p.error(), "paper jam");
    EXPECT_FALSE(p.end());
    EXPECT_EQ(dev.texts(), (Lines{"a", "b"}));

    RecordingPrinter refusing;
    refusing.refuse_begin = true;
    Printer q(refusing, 0, false);
    EXPECT_FALSE(q.begin("doc"));
    q.text("never");
    EXPECT_FALSE(q.end());
    EXPECT_FALSE(refusing.ended);
}

struct PrintedFixture {
    OutputSettings s;
    RecordingPrinter dev;
    bool english = false;

    template <class Fill>
    Lines print(Fill fill) {
        dev = RecordingPrinter{};
        Printer p(dev, 0, s.one_line);
        EXPECT_TRUE(p.begin(print_document_name(english)));
        const OutputStyle style{s,   english, true, "Orbisto 3.6", "Mon Dec  7 11:00:00 2026\n",
                                true};
        fill(p, style);
        EXPECT_TRUE(p.end());
        return dev.texts();
    }
};

MediumFacts printed_medium() {
    MediumFacts m;
    m.name = "Disc";
    m.number = "7";
    m.place = "Shelf";
    m.description = "line one\r\nline two";
    m.lent_to = "Anna";
    return m;
}

TEST(PrintedFileList, SubdirectoriesFilesAndSectionsAsPrintedLines) {
    PrintedFixture f;
    f.s.show_name = f.s.show_size = f.s.show_comment = f.s.show_path = true;
    f.s.show_date = false;
    const auto list = [&] {
        return f.print([](Printer& p, const OutputStyle& st) {
            PrintedFileList out(p, st);
            out.subdirectory("sub", "dir\r\ncomment", false);
            out.subdirectory("pack.zip", "", true);
            out.file({"a.txt", 1.0f, false, {}, "first\r\nsecond", "Text"});
            out.file({"b.pdf", 2.0f, false, {}, "", "PDF-Dokument"});
            out.file({"c.bin", 3.0f, false, {}, "", ""});
            out.end_section();
            out.result_row({"CD1", "song", ".mp3", "1,000", "", "/music", "nice\r\nrow"});
        });
    };
    EXPECT_EQ(list(),
              (Lines{std::string(32, ' ') + "sub (Verzeichnis)", "dir", "comment",
                     std::string(27, ' ') + "pack.zip (gepackte Datei)", "a.txt ", "  1,000 ",
                     "first", "second", "b.pdf ", "  2,000 ", "(R)PDF-Dokument", "c.bin ",
                     "  3,000 ", "/* --- */", "song.mp3 p:/music CD:CD1 c:nice  row"}));
    EXPECT_EQ(f.dev.document, "Orbisto druckt");

    // One line per text with `einzeilig`, a new page after each section with
    // `FF`, and no fields but the name.
    f.s.one_line = f.s.form_feed = true;
    f.s.show_size = f.s.show_path = false;
    f.english = true;
    const Lines one = f.print([](Printer& p, const OutputStyle& st) {
        PrintedFileList out(p, st);
        out.subdirectory("sub", "x", false);  // without `Pfad`: nothing
        out.file({"a.txt", 1.0f, false, {}, "first\r\nsecond", ""});
        out.end_section();
        out.file({"b.txt", 1.0f, false, {}, "", ""});
    });
    EXPECT_EQ(one, (Lines{"a.txt ", "first  second", "/* --- */", "b.txt "}));
    ASSERT_EQ(f.dev.pages.size(), 2u);
    EXPECT_EQ(f.dev.pages[1].front().text, "b.txt ");
    EXPECT_EQ(f.dev.document, "Orbisto printing in progress");
}

TEST(PrintedFileList, HeaderLinesWithoutBreaksAndThePrintedDescriptionLine) {
    PrintedFixture f;
    f.s.header = true;
    f.s.show_comment = true;
    f.s.show_category = f.s.show_manufacturer = f.s.show_supplier = false;
    f.s.show_order_number = f.s.show_price = false;
    const auto header = [&] {
        return f.print([](Printer& p, const OutputStyle& st) {
            PrintedFileList(p, st).list_header(printed_medium(), "/");
        });
    };
    const std::string banner = "/" + std::string(70, '*') + "/";
    EXPECT_EQ(header(), (Lines{banner, "// Fileliste erzeugt von Orbisto 3.6",
                               "// Liste erzeugt am Mon Dec  7 11:00:00 2026", "// CD-Name:Disc",
                               // Cleaned after padding, as in the file's form.
                               "// CD-Beschreibung:line one  line two   */", "// Pfad:/", banner}));
    f.english = true;
    const Lines en = header();
    ASSERT_EQ(en.size(), 8u);
    EXPECT_EQ(en[4], "/* CD-comment:");
    EXPECT_EQ(en[5], "line one  line two");
}

TEST(PrintedTreeAndMediaList, TheirPrintedLines) {
    PrintedFixture f;
    f.s.form_feed = true;
    const Lines tree = f.print([](Printer& p, const OutputStyle& st) {
        PrintedTree out(p, st);
        out.directory(0, "top", "comments are not printed");
        out.directory(2, "deep", "");
        out.end_medium();
        out.directory(0, "next", "");
    });
    EXPECT_EQ(tree, (Lines{" top", "|--------|--------\\ deep", "/* --- */", " next"}));
    EXPECT_EQ(f.dev.pages.size(), 2u);

    f.s.form_feed = false;
    f.s.show_place = true;
    f.s.show_medium_name = f.s.show_medium_info = true;
    f.s.show_last_change = f.s.show_category = f.s.show_manufacturer = false;
    f.s.show_supplier = f.s.show_order_number = f.s.show_price = false;
    const Lines media = f.print([](Printer& p, const OutputStyle& st) {
        PrintedMediaList out(p, st);
        out.medium(printed_medium());
        out.lent_medium(printed_medium());
    });
    ASSERT_EQ(media.size(), 8u);
    EXPECT_EQ(media[0], "         7(               Shelf):" + std::string(36, ' ') + "Disc");
    EXPECT_EQ(media[1], std::string(62, ' ') + "line one");  // the description's own lines
    EXPECT_EQ(media[2], "line two");
    EXPECT_EQ(media[3], "7         :                          Disc line one  line two" +
                            std::string(12, ' '));
    EXPECT_EQ(media[4], "verliehen an:Anna");
    EXPECT_EQ(media[7], "/* --- */");
}

}  // namespace
}  // namespace orbisto
