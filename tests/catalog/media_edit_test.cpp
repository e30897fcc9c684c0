// Showing a category, deleting media and moving them between categories.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "catalog/fastload.h"
#include "media_fixture.h"

namespace orbisto {
namespace {

using test::MediaFixture;

// Categories 2 "Games", 3 "Old games" (under Games), 4 "Music", 5 lent.
// Media: 0 in Games, 1 in Old games, 2 without, 3 in Music and lent, 4 in Music.
struct MoveFixture : MediaFixture {
    static constexpr int kGames = 2, kOldGames = 3, kMusic = 4, kLent = 5;

    MoveFixture() {
        ctx.categories.assign({{"Games", 0}, {"Old games", kGames}, {"Music", 0}});
        add_medium(0, "zero", kGames);
        add_medium(1, "one", kOldGames);
        add_medium(2, "two", 0);
        add_medium(3, "three", kMusic, MEDIUM_LENT);
        add_medium(4, "four", kMusic);
        EXPECT_TRUE(BuildMediaList(ctx));
    }
    MoveResult move(std::vector<std::size_t> positions, int c, int shown) {
        return MoveMediaToCategory(ctx, positions, c, shown);
    }
};

TEST(DeleteMedia, OthersKeepTheirNumbersChangesAreSavedAndStuckFilesKeepTheirEntry) {
    MediaFixture f;
    for (int n = 0; n <= 4; ++n) f.add_medium(n, "m" + std::to_string(n));
    f.ctx.settings.options.fast_load = true;
    ASSERT_TRUE(BuildMediaList(f.ctx));
    ASSERT_TRUE(LoadCatalog(f.ctx, 2));
    set_fixed_text(f.ctx.catalog.header.medium_name, "renamed");
    f.ctx.catalog.set_changed(true);
    // A directory in place of file 1: unlink fails whatever the rights.
    ASSERT_EQ(::unlink(f.path(1).c_str()), 0);
    ASSERT_EQ(::mkdir(f.path(1).c_str(), 0755), 0);

    const std::size_t pos[] = {3, 1, 3, 99};
    EXPECT_EQ(DeleteMedia(f.ctx, pos, true), 1u);
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{0, 1, 2, 4}));
    EXPECT_EQ(f.dir_listing(),
              (std::vector<std::string>{"0.cd", "1.cd", "2.cd", "4.cd", "fastload.cds"}));
    EXPECT_EQ(fixed_text(f.on_disk(2).medium_name), "renamed");

    const std::size_t loaded[] = {2};
    ASSERT_TRUE(LoadCatalog(f.ctx, 2));
    EXPECT_EQ(DeleteMedia(f.ctx, loaded, true), 1u);
    EXPECT_EQ(f.ctx.catalog.current_number(), -1);  // the emptied Catalog belongs to no file
}

TEST(MoveMedia, LentViewReturnsLentEntryLendsOthersGetTheCategoryADropEndsAtAMediumThere) {
    MoveFixture f;
    f.ctx.settings.options.fast_load = true;
    // Dragged out of "! verliehen": returned, the category stays.
    MoveResult r = f.move({3}, MoveFixture::kGames, MoveFixture::kLent);
    EXPECT_EQ(r.dropped, (std::vector<std::size_t>{3}));
    EXPECT_EQ(f.on_disk(3).medium_flags & MEDIUM_LENT, 0u);
    EXPECT_EQ(f.on_disk(3).category, 4u);

    // Onto "! verliehen": lent, still in Music.
    r = f.move({4}, MoveFixture::kLent, MoveFixture::kMusic);
    EXPECT_TRUE(r.dropped.empty());
    EXPECT_NE(f.on_disk(4).medium_flags & MEDIUM_LENT, 0u);

    // From "! restliche Medien" into a category: it leaves the view.
    r = f.move({2}, MoveFixture::kMusic, 1);
    EXPECT_EQ(r.dropped, (std::vector<std::size_t>{2}));
    EXPECT_EQ((*read_fastload_entries(f.dir.file("fastload.cds")))[2].category, 4u);

    // With include_subcategories a medium moved into a subcategory stays under its parent.
    f.ctx.settings.options.include_subcategories = true;
    EXPECT_TRUE(f.move({0}, MoveFixture::kOldGames, MoveFixture::kGames).dropped.empty());

    // A drop ends at a medium already there; unreadable headers are skipped.
    f.ctx.settings.options.include_subcategories = false;
    ASSERT_EQ(::unlink(f.path(0).c_str()), 0);
    r = f.move({0, 2, 1, 4}, MoveFixture::kMusic, 0);  // 2 is in Music by now
    EXPECT_TRUE(r.moved.empty());
    EXPECT_EQ(f.on_disk(1).category, 3u);
    EXPECT_TRUE(f.fe.saw_message("Fehler beim Lesen des Headers"));
    EXPECT_TRUE(f.move({1}, MoveFixture::kLent + 1, 0).moved.empty());
}

}  // namespace
}  // namespace orbisto
