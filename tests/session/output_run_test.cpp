// The output run over stored media: which media and files each scope and
// filter writes, the loaded medium left as it was, and the rules for an
// existing target file.
#include "session/output_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "catalog/catalog_store.h"
#include "platform/files.h"
#include "search/search_fixture.h"
#include "support/recording_printer.h"
#include "text/mime_types.h"

namespace orbisto {
namespace {

std::string read_all(const std::string& path) {
    return read_file(path).value_or("");
}

// Categories 2 "Games", 3 "Old games" below 2, 4 "Music". Media: 0 "Alpha"
// in Games, 1 "Beta" in Old games, 2 "Gamma" in Music (lent); each with a
// subdirectory "sub" and files of every kind the filters tell apart.
struct OutputFixture : test::SearchFixture {
    OutputSettings s;
    OutputRequest request;

    OutputFixture() {
        ctx.categories.assign({{"Games", 0}, {"Old games", 2}, {"Music", 0}});
        const char* names[] = {"Alpha", "Beta", "Gamma"};
        for (int n = 0; n < 3; ++n) {
            add(n, names[n], {{.name = "root"}, {.name = "sub", .parent = 1}},
                {{.name = "a.txt", .comment = "has comment", .parent = 1},
                 {.name = "b.jpg", .parent = 2, .thumbnail = true},
                 {.name = "c.txt", .flags = FLAG_MARKED, .parent = 2}},
                static_cast<std::uint32_t>(n + 2), [n](Catalog& c) {
                    c.header.medium_flags = n == 2 ? MEDIUM_LENT : 0;
                    set_fixed_text(c.info.lent_to, "Anna");
                });
        }
        build();
        s.file_name = dir.file("out.lst");
        s.scope = OutputScope::AllMedia;
        s.format = OutputFormat::Csv;
        s.show_medium_name = true;
        s.show_category = s.show_size = s.show_date = s.show_path = s.show_comment = false;
        s.show_extension = false;
        request.existing = ExistingFile::Replace;
    }

    // The CSV records written: "medium/name" per file, header left out.
    std::vector<std::string> records() {
        const OutputResult r = RunOutputTo(ctx, s, request);
        EXPECT_EQ(r.status, OutputStatus::Written) << r.message;
        EXPECT_EQ(r.path, dir.file("out.CSV"));
        std::vector<std::string> out;
        const std::string text = read_all(r.path);
        std::size_t at = text.find('\n') + 1;
        while (at < text.size()) {
            const std::size_t end = text.find('\n', at);
            std::string line = text.substr(at, end - at);
            std::string cleaned;
            for (char c : line) {
                if (c != '"') cleaned += c == ';' ? '/' : c;
            }
            out.push_back(cleaned);
            at = end + 1;
        }
        return out;
    }
};

using Lines = std::vector<std::string>;

TEST(OutputRun, ScopesAndFiltersChooseTheMediaAndFiles) {
    OutputFixture f;
    EXPECT_EQ(f.records(), (Lines{"Alpha/a", "Alpha/b", "Alpha/c", "Beta/a", "Beta/b", "Beta/c",
                                  "Gamma/a", "Gamma/b", "Gamma/c"}));
    f.s.scope = OutputScope::Category;
    f.request.category = 2;
    EXPECT_EQ(f.records(), (Lines{"Alpha/a", "Alpha/b", "Alpha/c", "Beta/a", "Beta/b", "Beta/c"}));
    f.s.include_subcategories = false;
    EXPECT_EQ(f.records().size(), 3u);
    // Lent media are a media-list scope: a table gets its header alone.
    f.s.scope = OutputScope::LentMedia;
    EXPECT_EQ(f.records(), Lines{});

    f.s.scope = OutputScope::CurrentMedium;
    f.request.medium = 1;
    f.s.use_filter = true;
    struct Case {
        OutputFilter filter;
        const char* text;
        bool only_with_comment;
        Lines expected;
    };
    const Case cases[] = {
        {OutputFilter::Normal, "*.txt", false, {"Beta/a", "Beta/c"}},
        {OutputFilter::Normal, "*.txt", true, {"Beta/a"}},
        {OutputFilter::Regular, "^[bc]", false, {"Beta/b", "Beta/c"}},
        {OutputFilter::Thumbnails, "", false, {"Beta/b"}},
        {OutputFilter::Favourites, "", false, {"Beta/c"}},
    };
    for (const Case& c : cases) {
        f.s.filter = c.filter;
        f.s.only_with_comment = c.only_with_comment;
        f.request.filter_text = c.text;
        EXPECT_EQ(f.records(), c.expected) << c.text;
    }
    // From a path: the directory and those below it.
    f.s.use_filter = false;
    f.s.scope = OutputScope::FromPath;
    f.request.start_dir = 2;
    EXPECT_EQ(f.records(), (Lines{"Beta/b", "Beta/c"}));
}

TEST(OutputRun, TheLoadedMediumIsWrittenWithItsEditsAndStaysLoaded) {
    OutputFixture f;
    ASSERT_TRUE(LoadCatalog(f.ctx, 1));
    set_fixed_text(f.ctx.catalog.header.medium_name, "Beta edited");
    f.ctx.catalog.set_changed(true);
    const Lines lines = f.records();
    EXPECT_EQ(lines[3], "Beta edited/a");
    EXPECT_EQ(lines[6], "Gamma/a");
    EXPECT_EQ(f.ctx.catalog.current_number(), 1);
    EXPECT_TRUE(f.ctx.catalog.changed());
    EXPECT_EQ(fixed_text(f.ctx.catalog.header.medium_name), "Beta edited");
    EXPECT_EQ(f.ctx.catalog.file_count(), 3u);
    for (const auto& m : f.fe.messages) ADD_FAILURE() << "asked: " << m.text;
}

TEST(OutputRun, AnExistingFileIsReplacedOnlyWhenAllowedAndNeverWhenReadOnly) {
    OutputFixture f;
    const std::string target = f.dir.write("out.CSV", "keep me");
    f.request.existing = ExistingFile::Keep;
    EXPECT_EQ(RunOutputTo(f.ctx, f.s, f.request).status, OutputStatus::Declined);
    f.request.existing = ExistingFile::Ask;
    f.fe.answers = {Answer::No};
    EXPECT_EQ(RunOutputTo(f.ctx, f.s, f.request).status, OutputStatus::Declined);
    EXPECT_EQ(read_all(target), "keep me");
    ASSERT_FALSE(f.fe.messages.empty());
    EXPECT_EQ(f.fe.messages.back().text,
              " Datei vorhanden. \xC3\x9C"
              "berschreiben? ");

    // Read-only: refused even for a user the permissions would not stop.
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    f.request.existing = ExistingFile::Replace;
    EXPECT_EQ(RunOutputTo(f.ctx, f.s, f.request).status, OutputStatus::Refused);
    EXPECT_EQ(read_all(target), "keep me");

    // Appending adds to a text file without a question.
    f.s.format = OutputFormat::MediaList;
    f.s.append = true;
    f.s.scope = OutputScope::LentMedia;
    const std::string list = f.dir.write("out.TXT", "before\n");
    f.request.existing = ExistingFile::Keep;
    ASSERT_EQ(RunOutputTo(f.ctx, f.s, f.request).status, OutputStatus::Written);
    const std::string text = read_all(list);
    EXPECT_EQ(text.rfind("before\n", 0), 0u);
    EXPECT_NE(text.find("\tverliehen an:Anna\n"), std::string::npos);
    EXPECT_EQ(text.find("Alpha"), std::string::npos);
}

TEST(OutputRun, AnAbortKeepsWhatWasWrittenAndSaysSo) {
    OutputFixture f;
    f.s.format = OutputFormat::Files;
    f.s.show_path = true;
    f.fe.on_pump = [&](int) { f.fe.request_abort(); };
    const OutputResult r = RunOutputTo(f.ctx, f.s, f.request);
    EXPECT_EQ(r.status, OutputStatus::Aborted);
    EXPECT_NE(r.message.find(r.path), std::string::npos) << r.message;
    // The first directory's section is there, and nothing after it.
    EXPECT_EQ(read_all(r.path), "root\n");
}

TEST(OutputRun, SearchResultRowsAsFileListAndTable) {
    OutputFixture f;
    ASSERT_TRUE(f.search("b.jpg"));
    ASSERT_EQ(f.ctx.search.hits.size(), 3u);
    f.s.scope = OutputScope::SearchResult;
    EXPECT_EQ(f.records(), (Lines{"Alpha/b", "Beta/b", "Gamma/b"}));

    f.s.format = OutputFormat::Files;
    f.s.one_line = true;
    f.s.show_comment = false;
    const OutputResult r = RunOutputTo(f.ctx, f.s, f.request);
    ASSERT_EQ(r.status, OutputStatus::Written);
    EXPECT_EQ(read_all(r.path),
              "Medium:Alpha  Name:b  \nMedium:Beta  Name:b  \nMedium:Gamma  Name:b  \n");

    // A table of directories alone is refused.
    f.s.format = OutputFormat::Dbase;
    f.s.dirs_only = true;
    EXPECT_EQ(RunOutputTo(f.ctx, f.s, f.request).status, OutputStatus::Refused);
    EXPECT_EQ(f.fe.messages.back().caption, "Achtung");
}

TEST(OutputRun, TheExtensionFollowsTheFormat) {
    struct Case {
        const char* name;
        OutputFormat format;
        const char* path;
    };
    const Case cases[] = {
        {"FILES.LST", OutputFormat::Files, "FILES.TXT"},
        {"/a.b/list", OutputFormat::Csv, "/a.b/list.CSV"},
        {"/x/t.tar.gz", OutputFormat::Dbase, "/x/t.tar.DBF"},
        {"/x/.hidden", OutputFormat::MediaList, "/x/.hidden.TXT"},
    };
    for (const Case& c : cases) EXPECT_EQ(output_file_path(c.name, c.format), c.path) << c.name;
}

// The printer target: the same walks feed the printed forms.
struct PrintFixture : OutputFixture {
    test::RecordingPrinter* device = nullptr;
    std::string asked_pdf = "unset";
    bool refuse = false;

    PrintFixture() {
        s.target = OutputTarget::Printer;
        s.print_file = dir.file("print.pdf");
        ctx.print_devices = [this](const std::string& pdf) -> std::unique_ptr<PrintDevice> {
            asked_pdf = pdf;
            if (refuse) return nullptr;
            auto d = std::make_unique<test::RecordingPrinter>();
            device = d.get();
            printed = {};
            return d;
        };
    }
    // The lines of the last print (kept after the device is gone).
    Lines printed;
    OutputResult print() {
        const OutputResult r = RunOutputTo(ctx, s, request);
        if (device) printed = device->texts();
        device = nullptr;
        return r;
    }
};

TEST(OutputPrint, TheScopesWalkIntoThePrintedForms) {
    PrintFixture f;
    // A printer and its devices see every format: tables print as the media list.
    f.ctx.print_devices = [&f](const std::string& pdf) -> std::unique_ptr<PrintDevice> {
        f.asked_pdf = pdf;
        struct Keeping final : PrintDevice {
            Lines* out;
            explicit Keeping(Lines* o) : out(o) {}
            bool begin(std::string_view) override { return true; }
            bool line(int, int, std::string_view t) override {
                out->emplace_back(t);
                return true;
            }
            bool new_page() override { return true; }
            bool end() override { return true; }
            std::string error() const override { return {}; }
        };
        f.printed.clear();
        return std::make_unique<Keeping>(&f.printed);
    };
    f.s.show_last_change = false;
    ASSERT_EQ(f.print().status, OutputStatus::Written);
    EXPECT_EQ(f.asked_pdf, f.dir.file("print.pdf"));
    ASSERT_EQ(f.printed.size(), 3u);
    EXPECT_NE(f.printed[0].find("Alpha"), std::string::npos);
    EXPECT_NE(f.printed[2].find("Gamma"), std::string::npos);

    f.s.format = OutputFormat::Files;
    f.s.scope = OutputScope::CurrentMedium;
    f.request.medium = 0;
    f.s.show_name = true;
    ASSERT_EQ(f.print().status, OutputStatus::Written);
    EXPECT_EQ(f.printed,
              (Lines{"/* --- */", "a.txt ", "/* --- */", "b.jpg ", "c.txt ", "/* --- */"}));

    f.s.format = OutputFormat::Tree;
    f.s.show_path = true;
    ASSERT_EQ(f.print().status, OutputStatus::Written);
    EXPECT_EQ(f.printed, (Lines{" root", "|--------\\ sub", "/* --- */"}));
}

TEST(OutputPrint, NoPrinterGivesTheSetupMessageAndAnExistingPdfIsKept) {
    PrintFixture f;
    f.refuse = true;
    OutputResult r = f.print();
    EXPECT_EQ(r.status, OutputStatus::Failed);
    EXPECT_EQ(r.message, "Probleme mit der Druckereinstellung");
    EXPECT_EQ(f.fe.messages.back().caption, "Fehler");

    f.refuse = false;
    f.ctx.print_devices = [](const std::string&) -> std::unique_ptr<PrintDevice> {
        auto d = std::make_unique<test::RecordingPrinter>();
        d->refuse_begin = true;
        return d;
    };
    r = f.print();
    EXPECT_EQ(r.status, OutputStatus::Failed);
    EXPECT_EQ(r.message, "Probleme mit der Druckereinstellung: paper jam");

    f.ctx.print_devices = nullptr;
    EXPECT_EQ(f.print().status, OutputStatus::Refused);

    // A PDF file in the way is not replaced without leave.
    f.dir.write("print.pdf", "mine");
    f.ctx.print_devices = [](const std::string&) {
        return std::make_unique<test::RecordingPrinter>();
    };
    f.request.existing = ExistingFile::Keep;
    EXPECT_EQ(f.print().status, OutputStatus::Declined);
    EXPECT_EQ(read_all(f.dir.file("print.pdf")), "mine");
}

TEST(OutputRun, TypeDescriptionsStandInForMissingCommentsWhenAsked) {
    OutputFixture f;
    if (shared_mime_types().description("b.jpg", false).empty()) {
        GTEST_SKIP() << "no shared MIME database (package shared-mime-info)";
    }
    f.s.scope = OutputScope::CurrentMedium;
    f.request.medium = 0;
    f.s.show_comment = true;
    EXPECT_EQ(f.records(), (Lines{"Alpha/a/has comment", "Alpha/b/", "Alpha/c/"}));
    f.ctx.settings.options.comments_from_registry = true;
    EXPECT_EQ(f.records(), (Lines{"Alpha/a/has comment", "Alpha/b/(R)JPEG-Bild",
                                  "Alpha/c/(R)Einfaches Textdokument"}));
}

TEST(OutputRun, TheStatusBarNamesTheMediumOrDirectoryBeingWritten) {
    OutputFixture f;
    f.fe.statuses.clear();
    f.records();
    EXPECT_EQ(f.fe.statuses,
              (std::vector<std::string>{"1/3 - Alpha", "2/3 - Beta", "3/3 - Gamma"}));
    f.fe.statuses.clear();
    f.s.scope = OutputScope::CurrentMedium;
    f.request.medium = 1;
    f.records();
    EXPECT_EQ(f.fe.statuses,
              (std::vector<std::string>{"2/3 - /root", "3/3 - /root/sub"}));  // "/" has no files
}

}  // namespace
}  // namespace orbisto
