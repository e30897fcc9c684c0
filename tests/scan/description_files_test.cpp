// Description files: which names count, a file's own text, the description
// inside a directory, the search through an extracted tree, and comments
// taken over from an old catalogue.
#include "scan/description_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/files.h"
#include "scan/scan_seams.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

class DescriptionFilesTest : public ::testing::Test {
  protected:
    test::ScriptedFrontend fe;
    Context ctx{fe};
    test::TempDir tmp;

    std::string put(const std::string& rel, const std::string& text) {
        make_directories(dir_part(tmp.file(rel)));
        return tmp.write(rel, text);
    }
    std::string text(std::uint32_t comment) const {
        return std::string(ctx.catalog.comment_at(comment));
    }
};

TEST_F(DescriptionFilesTest, NamesThatAreDescriptionFiles) {
    Options& o = ctx.settings.options;
    EXPECT_FALSE(IsDescriptionFile(ctx, "FILE_ID.DIZ"));
    o.FILE_ID_DIZ = 1;
    o.ETX = 1;
    o.Selbst[2] = 1;
    o.Selbst_Text[2] = "liesmich";
    o.Selbst[3] = 1;  // switched on with no text: matches nothing
    for (const char* yes :
         {"file_id.diz", "Top_Id.Diz", "NOTES.etx", "LIESMICH.TXT", "x-liesmich"}) {
        EXPECT_TRUE(IsDescriptionFile(ctx, yes)) << yes;
    }
    for (const char* no : {"FILE_ID.DIZ.BAK", "NOTES.ETX.OLD", "README.TXT", "MYFILE_ID.DIZ"}) {
        EXPECT_FALSE(IsDescriptionFile(ctx, no)) << no;
    }
    EXPECT_TRUE(is_description_name(o, "NOTES.ETX.OLD", true));
}

TEST_F(DescriptionFilesTest, OwnTextKeepsBlanksDirectoryTextLosesThem) {
    Options& o = ctx.settings.options;
    o.FILE_ID_DIZ = 1;
    const std::string diz = put("game/FILE_ID.DIZ", "Super Game v1.0");
    std::uint32_t own = 0, dir = 0;
    EXPECT_TRUE(ReadDescriptionFileInto(ctx, own, diz));
    EXPECT_EQ(text(own), "Super Game v10");
    ReadDirectoryDescription(ctx, dir, tmp.file("game"));
    EXPECT_EQ(text(dir), "SuperGamev10");

    // Not text: the file keeps its record but gets no comment.
    put("bin/FILE_ID.DIZ", std::string("Tool\x01 v2", 8));
    own = dir = 0;
    EXPECT_TRUE(ReadDescriptionFileInto(ctx, own, tmp.file("bin/FILE_ID.DIZ")));
    ReadDirectoryDescription(ctx, dir, tmp.file("bin"));
    EXPECT_EQ(own, 0u);
    EXPECT_EQ(dir, 0u);
    EXPECT_FALSE(ReadDescriptionFileInto(ctx, own, tmp.file("gone/FILE_ID.DIZ")));
}

TEST_F(DescriptionFilesTest, DirectoryDescriptionTriesTheSourcesInOrder) {
    Options& o = ctx.settings.options;
    put("d/b.etx", "second etx");
    put("d/a.etx", "first etx");
    put("d/my_info.txt", "user pattern");
    o.Selbst[0] = 1;
    o.Selbst_Text[0] = "INFO";
    std::uint32_t c = 0;
    ReadDirectoryDescription(ctx, c, tmp.file("d"));
    EXPECT_EQ(text(c), "userpattern");

    o.ETX = 1;  // the first *.ETX in listing order comes before the patterns
    c = 0;
    ReadDirectoryDescription(ctx, c, tmp.file("d"));
    const std::string etx = text(c);
    EXPECT_TRUE(etx == "firstetx" || etx == "secondetx") << etx;

    o.FILE_ID_DIZ = 1;
    put("d/top_id.diz", "Top");
    c = 0;
    ReadDirectoryDescription(ctx, c, tmp.file("d"));
    EXPECT_EQ(text(c), "Top");
}

TEST_F(DescriptionFilesTest, TreeSearchTakesTheLastFindAndFollowsNoLinks) {
    Options& o = ctx.settings.options;
    o.ETX = 1;
    put("tree/a/deep/x.etx.txt", "deep one");
    put("tree/b/FILE_ID.DIZ", "not switched on");
    std::uint32_t c = 0;
    EXPECT_TRUE(FindDescriptionInTree(ctx, tmp.file("tree"), c));
    EXPECT_EQ(text(c), "deepone");

    put("outside/secret.etx", "outside");
    ASSERT_EQ(::symlink(tmp.file("outside").c_str(), tmp.file("tree/link").c_str()), 0);
    ASSERT_EQ(::symlink(tmp.file("outside/secret.etx").c_str(), tmp.file("tree/l.etx").c_str()), 0);
    o.FILE_ID_DIZ = 1;
    c = 0;
    EXPECT_TRUE(FindDescriptionInTree(ctx, tmp.file("tree"), c));
    const std::string found = text(c);
    EXPECT_TRUE(found == "deepone" || found == "notswitchedon") << found;
    c = 0;
    EXPECT_FALSE(FindDescriptionInTree(ctx, tmp.file("nowhere"), c));
    EXPECT_EQ(c, 0u);
}

TEST_F(DescriptionFilesTest, TakenOverCommentsGetTheDosUmlautsOnlyWithUmlaut) {
    // A comment stored from DOS bytes 0x84 and 0x94 reads as U+201E and U+201D.
    const std::string stored = "K\xE2\x80\x9Dnig \xE2\x80\x9E";
    EXPECT_EQ(ConvertTakenOverComment(ctx, stored), stored);
    ctx.settings.options.Umlaut = 1;
    EXPECT_EQ(ConvertTakenOverComment(ctx, stored), "K\xC3\xB6nig \xC3\xA4");
    const std::string utf8 = "\xE2\x82\xAC \xE2\x80\x9E \xD0\x96";  // beyond Windows-1252
    EXPECT_EQ(ConvertTakenOverComment(ctx, utf8), utf8);
    EXPECT_EQ(ConvertTakenOverComment(ctx, "plain"), "plain");
}

}  // namespace
}  // namespace orbisto
