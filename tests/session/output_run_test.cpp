// The output run over stored media: which media and files each scope and
// filter writes, the loaded medium left as it was, and the rules for an
// existing target file.
#include "session/output_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "catalog/catalog_store.h"
#include "platform/files.h"
#include "search/search_fixture.h"

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

}  // namespace
}  // namespace orbisto
