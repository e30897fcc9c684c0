// The pieces of the walk that work without a tree: the archive and extension
// rules, and the growth of small work areas.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "scan/scan_context.h"
#include "scan/scan_entry_rules.h"
#include "scan/scan_growth.h"
#include "session/context.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

TEST(ScanWalkParts, ArchiveAndExtensionRules) {
    EXPECT_TRUE(is_expandable_archive("a.7Z", ""));
    EXPECT_FALSE(is_expandable_archive("notes.txt", "doc txtx"));
    EXPECT_TRUE(is_expandable_archive("notes.TXTX", "*.doc;*.txtx"));
    EXPECT_FALSE(extension_in_list("abc", "noext"));
    std::vector<ListedEntry> entries(1);
    entries[0].name = "NoPack.Flg";
    EXPECT_FALSE(lists_kill_file(entries, {"nopack.fl"}));
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
    EXPECT_GE(ctx.catalog.names_capacity(), kNameStep);
    EXPECT_GE(ctx.catalog.files_capacity(), kFileStep);
    EXPECT_EQ(ctx.catalog.name_at(1), "kept");
    EXPECT_NE(read_file(tmp.file("log")).value_or("").find("\r\nfiles - max:"), std::string::npos);
    // With head-room left nothing grows again.
    const std::size_t files = ctx.catalog.files_capacity();
    ASSERT_TRUE(GrowWorkAreas(ctx));
    EXPECT_EQ(ctx.catalog.files_capacity(), files);
    EXPECT_FALSE(ctx.limits_hit.any());
}

}  // namespace
}  // namespace orbisto
