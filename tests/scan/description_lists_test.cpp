// Comments from the per-directory lists: the lookup rules on list texts, and
// lists read from real directories into the CommentPool.
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/files.h"
#include "scan/list_text.h"
#include "scan/scan_seams.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

std::string lookup(std::string_view list, std::string_view name, bool multiline = true,
                   std::size_t room = 4096) {
    return list_comment_text(list, upper_german(list), name, multiline, room);
}

TEST(ListCommentText, FindsTheNamePartAnywhereAndTakesTheLine) {
    const std::string list =
        "readme.txt  Read this first\r\n"
        "TOOLS.ZIP Tools for the game menu\r\n"
        "GAME.EXE The game\r\n"
        "INSTALL   Run me\r\n"
        "LAST.TXT";
    struct Case {
        const char* name;
        const char* comment;
    } cases[] = {
        {"README.TXT", "Read this first"},
        {"Install", "Run me"},  // no extension: the whole name
        {"GAME.EXE", "menu"},   // first occurrence, inside another line
        {"MISSING.DAT", ""},
        {".profile", ""},  // no name part to look for
        {"LAST.TXT", ""},  // the list ends behind the name
    };
    for (const Case& c : cases) EXPECT_EQ(lookup(list, c.name), c.comment) << c.name;
}

TEST(ListCommentText, ContinuationLinesOnlyWhenMultiLine) {
    const std::string list =
        "GAME.ZIP  Line one\r\n"
        "    line two\r\n"
        " line three\r\n"
        "NEXT.ZIP  other\n"
        "UNIX.ZIP  first\n  second\n";
    EXPECT_EQ(lookup(list, "game.zip"), "Line one\r\nline two\r\nline three");
    EXPECT_EQ(lookup(list, "game.zip", false), "Line one");
    EXPECT_EQ(lookup(list, "NEXT.ZIP"), "other");
    EXPECT_EQ(lookup(list, "UNIX.ZIP"), "first\nsecond");
}

TEST(ListCommentText, StaysWithinTheRoom) {
    const std::string list =
        "BIG.DAT " + std::string(1 << 20, 'x') + "\r\n " + std::string(100, 'y');
    EXPECT_EQ(lookup(list, "BIG.DAT", true, 100), std::string(100, 'x'));
    EXPECT_EQ(lookup(list, "BIG.DAT", false, 0), "");
    EXPECT_EQ(lookup("A B\r\n\r\n", "A", true, 3), "B");
}

class DirectoryListTest : public ::testing::Test {
  protected:
    test::ScriptedFrontend fe;
    Context ctx{fe};
    test::TempDir tmp;

    std::string comment_of(std::string_view name) {
        std::uint32_t comment = 0;
        const std::optional<DirectoryList> list = LoadDirectoryList(ctx, tmp.path());
        if (list) LookupListComment(ctx, *list, name, comment);
        return std::string(ctx.catalog.comment_at(comment));
    }
};

TEST_F(DirectoryListTest, ListFilesInAnyCaseAndTheirOrder) {
    EXPECT_FALSE(LoadDirectoryList(ctx, tmp.path()));
    tmp.write("00_index.txt", "A.TXT from the index\r\n");
    EXPECT_EQ(comment_of("a.txt"), "from the index");
    tmp.write("Files.Bbs", "A.TXT from files.bbs\r\n");
    EXPECT_EQ(comment_of("a.txt"), "from files.bbs");
    make_directory(tmp.file("DESCRIPT.ION"));  // not a file: passed over
    EXPECT_EQ(comment_of("a.txt"), "from files.bbs");
}

TEST_F(DirectoryListTest, EncodingsOfTheList) {
    tmp.write("DESCRIPT.ION",
              "m\xC3\xBC"
              "ll.txt Gr\xC3\xBC\xC3\x9F"
              "e \xE2\x82\xAC\r\n");
    EXPECT_EQ(comment_of("M\xC3\x9C"
                         "LL.TXT"),
              "Gr\xC3\xBC\xC3\x9F"
              "e \xE2\x82\xAC");

    // DOS umlauts: converted only with Umlaut on; otherwise Windows-1252.
    tmp.write("DESCRIPT.ION", "BRIEF.TXT f\x81r K\x94ln\r\n");
    EXPECT_EQ(comment_of("BRIEF.TXT"), "f\xC2\x81r K\xE2\x80\x9Dln");
    ctx.settings.options.Umlaut = 1;
    EXPECT_EQ(comment_of("BRIEF.TXT"), "f\xC3\xBCr K\xC3\xB6ln");
}

}  // namespace
}  // namespace orbisto
