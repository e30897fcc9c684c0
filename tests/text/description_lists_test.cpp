// Comments from the per-directory lists: the lookup rules on list texts, and
// list files found and decoded in real directories.
#include "text/description_lists.h"

#include <gtest/gtest.h>

#include "catalog/catalog_context.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "session/context.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"
#include "text/list_text.h"

namespace orbisto {
namespace {

std::string lookup(std::string_view list, std::string_view name, bool multi = true,
                   std::size_t room = 4096) {
    return list_comment_text(list, upper_german(list), name, multi, room);
}

TEST(ListCommentText, NamePartFoundAnywhereLinesAndRoom) {
    const std::string list =
        "TOOLS.ZIP Tools for the game menu\r\nGAME.EXE The game\r\nINSTALL   Run me\r\n"
        "MULTI.ZIP  Line one\r\n    line two\n line three\r\nNEXT.ZIP  other\r\nLAST.TXT";
    EXPECT_EQ(lookup(list, "GAME.EXE"), "menu");  // the first occurrence, in another line
    EXPECT_EQ(lookup(list, "multi.zip", false), "Line one");
    EXPECT_EQ(lookup(list, "LAST.TXT"), "");
    const std::string big = "BIG.DAT " + std::string(1 << 20, 'x') + "\r\n y";
    EXPECT_EQ(lookup(big, "BIG.DAT", true, 100), std::string(100, 'x'));
}

TEST(DirectoryList, FoundInAnyCaseInOrderUtf8KeptDosUmlautsWithUmlaut) {
    test::ScriptedFrontend fe;
    Context ctx{fe};
    test::TempDir tmp;
    const auto comment_of = [&](std::string_view name) {
        std::uint32_t comment = 0;
        if (const auto list = LoadDirectoryList(ctx, tmp.path())) {
            LookupListComment(ctx, *list, name, comment);
        }
        return std::string(ctx.catalog.comment_at(comment));
    };
    tmp.write("00_index.txt", "A.TXT from the index\r\n");
    EXPECT_EQ(comment_of("a.txt"), "from the index");
    tmp.write("Files.Bbs", "A.TXT from files.bbs\r\n");
    make_directory(tmp.file("DESCRIPT.ION"));  // not a file: passed over
    EXPECT_EQ(comment_of("a.txt"), "from files.bbs");

    tmp.write("descript.ion", "BRIEF.TXT f\x81r K\x94ln\r\n");
    EXPECT_EQ(comment_of("BRIEF.TXT"), "f\xC2\x81r K\xE2\x80\x9Dln");  // Windows-1252
    ctx.settings.options.convert_dos_text = true;
    EXPECT_EQ(comment_of("BRIEF.TXT"), "f\xC3\xBCr K\xC3\xB6ln");
    tmp.write("descript.ion", "m\xC3\xBCll.txt Gr\xC3\xBC\xC3\x9F\r\n");
    EXPECT_EQ(comment_of("M\xC3\x9CLL.TXT"), "Gr\xC3\xBC\xC3\x9F");  // UTF-8 stays
}

}  // namespace
}  // namespace orbisto
