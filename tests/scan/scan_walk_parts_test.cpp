// The pieces of the walk that work without a tree: the estimate and path
// texts, the archive and extension rules, and the growth of small work areas.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "scan/scan_entry_rules.h"
#include "scan/scan_growth.h"
#include "scan/scan_progress.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

TEST(ScanWalkParts, EstimateOfTheTimeLeft) {
    EXPECT_EQ(estimate_text(false, 10000, 0, 1e6), "");
    // A tenth done after 10 s: 90 s left.
    EXPECT_EQ(estimate_text(false, 10000, 1e5, 1e6), "einlesen dauert noch ca. 90 sec");
    EXPECT_EQ(estimate_text(true, 10000, 5e4, 1e6), "still scanning for about 3 min 10 sec");
    EXPECT_EQ(estimate_text(false, 10000, 2e6, 1e6), "einlesen dauert noch ca. 0 sec");
}

TEST(ScanWalkParts, ShortenedPathKeepsRootFirstAndLastComponent) {
    const struct {
        const char *root, *dir, *shown;
    } cases[] = {
        {"/media/cd", "/media/cd", "/media/cd"},
        {"/media/cd", "/media/cd/a", "/media/cd/a"},
        {"/media/cd", "/media/cd/a/b/c/d", "/media/cd/a/././d"},
        {"/", "/home/u/x", "/home/./x"},
        {"/media/cd", "/media/cdrom/a/b/c", "/media/./././c"},  // not below the root
        {"/", "/", "/"},
        {"/", "/caf\xE9", "/caf\xC3\xA9"},
    };
    for (const auto& c : cases) EXPECT_EQ(shortened_directory(c.root, c.dir), c.shown) << c.dir;
}

TEST(ScanWalkParts, ArchiveAndExtensionRules) {
    for (const char* yes : {"SETUP.EXE", "a.7Z"}) EXPECT_TRUE(is_expandable_archive(yes, ""));
    EXPECT_FALSE(is_expandable_archive("zip", ""));
    EXPECT_FALSE(is_expandable_archive("notes.txt", "doc txtx"));
    EXPECT_TRUE(is_expandable_archive("notes.TXTX", "*.doc;*.txtx"));
    EXPECT_FALSE(may_hold_description("setup.exe", false));
    EXPECT_TRUE(may_hold_description("setup.exe", true));
    EXPECT_FALSE(extension_in_list("abc", "noext"));
    EXPECT_FALSE(extension_in_list("abc", "dot."));

    std::vector<ListedEntry> entries(2);
    entries[0].name = "a.txt";
    entries[1].name = "NoPack.Flg";
    EXPECT_TRUE(lists_kill_file(entries, {"other", "nopack.flg"}));
    EXPECT_FALSE(lists_kill_file(entries, {"nopack.fl"}));
    EXPECT_FALSE(lists_kill_file(entries, {}));
}

TEST(ScanWalkParts, SmallWorkAreasGrowInLargeStepsAndAreLogged) {
    test::ScriptedFrontend fe;
    Context ctx(fe);
    test::TempDir tmp;
    ctx.log.set_path(tmp.file("log"));
    ctx.log.set_enabled(true);
    ctx.catalog = Catalog(WorkLimits{.files = 16, .directories = 4, .names = 64, .comments = 64});
    // The start sizes get a little head-room of their own; use some of it.
    ctx.catalog.append_name("kept");
    ctx.catalog.append_name(std::string(100, 'n'));
    for (int i = 0; i < 3; ++i) ctx.catalog.append_dir(DirRecord{});

    ASSERT_TRUE(GrowWorkAreas(ctx));
    EXPECT_GE(ctx.catalog.comments_capacity(), kCommentStep);
    EXPECT_GE(ctx.catalog.names_capacity(), kNameStep);
    EXPECT_GE(ctx.catalog.dirs_capacity(), kDirStep);
    EXPECT_GE(ctx.catalog.files_capacity(), kFileStep);
    EXPECT_EQ(ctx.catalog.name_at(1), "kept");
    const std::string log = read_file(tmp.file("log")).value_or("");
    for (const char* area :
         {"\r\ncomment - max:", "\r\nnamen - max:", "\r\ndirs - max:", "\r\nfiles - max:"}) {
        EXPECT_NE(log.find(area), std::string::npos) << area;
    }
    // With head-room left nothing grows again.
    const std::size_t files = ctx.catalog.files_capacity();
    ASSERT_TRUE(GrowWorkAreas(ctx));
    EXPECT_EQ(ctx.catalog.files_capacity(), files);
    EXPECT_FALSE(ctx.scan.limits_hit.any());
}

}  // namespace
}  // namespace orbisto
