// Description files: which names count, texts that are not used, the search
// through an extracted tree, and comments taken over from an old catalogue.
#include "text/description_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "catalog/catalog_context.h"
#include "platform/files.h"
#include "session/context.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"
#include "text/description_files.h"

namespace orbisto {
namespace {

class DescriptionFilesTest : public ::testing::Test {
  protected:
    test::ScriptedFrontend fe;
    Context ctx{fe};
    Options& o = ctx.settings.options;
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
    EXPECT_FALSE(IsDescriptionFile(ctx, "FILE_ID.DIZ"));
    o.use_file_id_diz = o.use_etx = o.own_descriptions[2] = o.own_descriptions[3] =
        true;  // Selbst4 without a text
    o.own_description_names[2] = "liesmich";
    EXPECT_TRUE(IsDescriptionFile(ctx, "Top_Id.Diz"));
    for (const char* no : {"FILE_ID.DIZ.BAK", "README.TXT", "MYFILE_ID.DIZ"})
        EXPECT_FALSE(IsDescriptionFile(ctx, no)) << no;
}

TEST_F(DescriptionFilesTest, ControlBytesGiveNoComment) {
    o.use_file_id_diz = true;
    const std::string diz = put("bin/FILE_ID.DIZ", std::string("Tool\0 v2", 8));
    std::uint32_t own = 0, dir = 0;
    EXPECT_TRUE(ReadDescriptionFileInto(ctx, own, diz));  // the file keeps its record
    ReadDirectoryDescription(ctx, dir, tmp.file("bin"));
    EXPECT_EQ(own + dir, 0u);
}

TEST_F(DescriptionFilesTest, TreeSearchGoesDeepAndFollowsNoLinks) {
    o.use_etx = true;
    put("tree/a/deep/x.etx.txt", "deep one");
    put("tree/b/FILE_ID.DIZ", "not switched on");
    put("outside/secret.etx", "outside");
    ASSERT_EQ(::symlink(tmp.file("outside").c_str(), tmp.file("tree/link").c_str()), 0);
    ASSERT_EQ(::symlink(tmp.file("outside/secret.etx").c_str(), tmp.file("tree/l.etx").c_str()), 0);
    std::uint32_t c = 0;
    EXPECT_TRUE(FindDescriptionInTree(ctx, tmp.file("tree"), c));
    EXPECT_EQ(text(c), "deepone");
}

TEST_F(DescriptionFilesTest, TakenOverCommentsGetTheDosUmlautsOnlyWithUmlaut) {
    // DOS bytes 0x94 and 0x84 stored from a Windows-1252 catalogue read as U+201D, U+201E.
    const std::string stored = "K\xE2\x80\x9Dnig \xE2\x80\x9E";
    const std::string beyond = "\xE2\x80\x9E \xD0\x96";  // not all Windows-1252: true UTF-8
    EXPECT_EQ(ConvertTakenOverComment(ctx, stored), stored);
    o.convert_dos_text = true;
    EXPECT_EQ(ConvertTakenOverComment(ctx, stored), "K\xC3\xB6nig \xC3\xA4");
    EXPECT_EQ(ConvertTakenOverComment(ctx, beyond), beyond);
}

}  // namespace
}  // namespace orbisto
