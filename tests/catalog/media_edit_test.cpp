// Showing a category, deleting media and moving them between categories.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "catalog/catalog_store.h"
#include "catalog/fastload.h"
#include "catalog/media_list.h"
#include "media_fixture.h"

namespace orbisto {
namespace {

using test::MediaFixture;

// Categories: 2 "Games", 3 "Old games" (under Games), 4 "Music"; 5 lent.
// Media: 0 in Games, 1 in Old games, 2 without a category, 3 lent (in Music),
// 4 in Music.
struct CategoryFixture : MediaFixture {
    static constexpr int kGames = 2, kOldGames = 3, kMusic = 4, kLent = 5;

    CategoryFixture() {
        ctx.categories.assign({{"Games", 0}, {"Old games", kGames}, {"Music", 0}});
        add_medium(0, "zero", kGames);
        add_medium(1, "one", kOldGames);
        add_medium(2, "two", 0);
        add_medium(3, "three", kMusic, MEDIUM_LENT);
        add_medium(4, "four", kMusic);
        EXPECT_TRUE(BuildMediaList(ctx));
        EXPECT_EQ(ctx.categories.lent_index(), kLent);
    }

    MediumHeader on_disk(int n) {
        MediumHeader h;
        EXPECT_EQ(ReadCatalogHeader(ctx, n, h), 1);
        return h;
    }
};

TEST(ShowCategory, MembersInListOrderAndTheCurrentOneIsLoaded) {
    CategoryFixture f;
    CategoryView v = ShowCategory(f.ctx, CategoryFixture::kGames);
    EXPECT_EQ(v.members, (std::vector<std::size_t>{0}));
    EXPECT_EQ(f.ctx.settings.state.LetzteKategorie, CategoryFixture::kGames);
    ASSERT_TRUE(v.selected);
    EXPECT_TRUE(v.loaded);
    EXPECT_EQ(f.ctx.catalog.current_number(), 0);

    f.ctx.settings.options.SubKat = 1;
    ASSERT_TRUE(LoadCatalog(f.ctx, 1));
    v = ShowCategory(f.ctx, CategoryFixture::kGames);
    EXPECT_EQ(v.members, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(v.selected, 1u);  // holds the current number
    EXPECT_EQ(f.ctx.catalog.current_number(), 1);

    v = ShowCategory(f.ctx, CategoryFixture::kLent);
    EXPECT_EQ(v.members, (std::vector<std::size_t>{3}));
    EXPECT_EQ(f.ctx.catalog.current_number(), 3);

    v = ShowCategory(f.ctx, 1);
    EXPECT_EQ(v.members, (std::vector<std::size_t>{2}));
}

TEST(ShowCategory, OutOfRangeShowsAllAndEmptyCategoriesLoadNothing) {
    CategoryFixture f;
    for (int c : {-1, CategoryFixture::kLent + 1, 1000}) {
        const CategoryView v = ShowCategory(f.ctx, c);
        EXPECT_EQ(v.category, 0);
        EXPECT_EQ(v.members.size(), 5u);
        EXPECT_EQ(f.ctx.settings.state.LetzteKategorie, 0);
    }
    f.ctx.categories.assign({{"Games", 0}, {"Old games", 2}, {"Music", 0}, {"Empty", 0}});
    const int current = f.ctx.catalog.current_number();
    const CategoryView v = ShowCategory(f.ctx, 5);
    EXPECT_TRUE(v.members.empty());
    EXPECT_FALSE(v.selected);
    EXPECT_FALSE(v.loaded);
    EXPECT_EQ(f.ctx.catalog.current_number(), current);
}

// ---- deleting media ----

struct SixMedia : MediaFixture {
    SixMedia() {
        for (int n = 0; n <= 5; ++n) add_medium(n, "m" + std::to_string(n));
        EXPECT_TRUE(BuildMediaList(ctx));
    }
};

TEST(DeleteMedia, DeletingOneKeepsTheOtherNumbersAndFreesIt) {
    SixMedia f;
    f.ctx.settings.options.FastLoad = 1;
    ASSERT_TRUE(LoadCatalog(f.ctx, 3));
    const std::size_t pos[] = {3};
    EXPECT_EQ(DeleteMedia(f.ctx, pos, true), 1u);
    ASSERT_EQ(f.fe.messages.size(), 1u);
    EXPECT_EQ(f.fe.messages[0].text, "Markierten Einträge wirklich löschen?");
    EXPECT_EQ(f.fe.messages[0].caption, "Löschen ?");

    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{0, 1, 2, 4, 5}));
    EXPECT_EQ(f.dir_listing(),
              (std::vector<std::string>{"0.cd", "1.cd", "2.cd", "4.cd", "5.cd", "fastload.cds"}));
    EXPECT_EQ(read_fastload_entries(f.dir.file("fastload.cds"))->size(), 5u);
    // The current Catalog is empty and belongs to no file.
    EXPECT_EQ(f.ctx.catalog.current_number(), -1);
    EXPECT_EQ(f.ctx.catalog.file_count(), 0u);
    EXPECT_EQ(fixed_text(f.ctx.catalog.header.medium_name), "");

    // The next new medium takes the freed number.
    set_fixed_text(f.ctx.catalog.header.medium_name, "new");
    EXPECT_EQ(SaveCatalog(f.ctx, -1), 3);
}

TEST(DeleteMedia, NoDeletesNothingAndTheSelectorAsksByName) {
    SixMedia f;
    const std::size_t pos[] = {1, 4};
    f.fe.answers = {Answer::No};
    EXPECT_EQ(DeleteMedia(f.ctx, pos, true), 0u);
    EXPECT_EQ(f.ctx.media.count(), 6u);

    f.ctx.settings.options.language = 1;
    f.fe.answers = {Answer::No};
    const std::size_t one[] = {4};
    EXPECT_EQ(DeleteMedia(f.ctx, one, false), 0u);
    EXPECT_EQ(f.fe.messages.back().text, "really delete entry?");
    EXPECT_EQ(f.fe.messages.back().caption, "m4");
    EXPECT_EQ(f.dir_listing().size(), 6u);

    // Several at once, positions out of range and repeats ignored.
    const std::size_t many[] = {5, 0, 99, 5};
    EXPECT_EQ(DeleteMedia(f.ctx, many, true), 2u);
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{1, 2, 3, 4}));
}

TEST(DeleteMedia, UnsavedChangesOfAMediumThatStaysAreOffered) {
    SixMedia f;
    ASSERT_TRUE(LoadCatalog(f.ctx, 2));
    set_fixed_text(f.ctx.catalog.header.medium_name, "renamed");
    f.ctx.catalog.set_changed(true);
    f.fe.answers = {Answer::Yes, Answer::Yes};
    const std::size_t pos[] = {0};
    EXPECT_EQ(DeleteMedia(f.ctx, pos, true), 1u);
    ASSERT_EQ(f.fe.messages.size(), 2u);
    EXPECT_EQ(f.fe.messages[1].text, "Datei schreiben?");
    MediumHeader h;
    ASSERT_EQ(ReadCatalogHeader(f.ctx, 2, h), 1);
    EXPECT_EQ(fixed_text(h.medium_name), "renamed");

    // Changes of the medium being deleted are not saved: that would bring
    // its file back.
    ASSERT_TRUE(LoadCatalog(f.ctx, 3));
    f.ctx.catalog.set_changed(true);
    f.fe.messages.clear();
    const std::size_t three[] = {f.ctx.media.position_of(3).value()};
    EXPECT_EQ(DeleteMedia(f.ctx, three, true), 1u);
    EXPECT_EQ(f.fe.messages.size(), 1u);
    EXPECT_FALSE(file_exists(f.path(3)));
}

TEST(DeleteMedia, FileThatCannotBeDeletedKeepsItsEntry) {
    SixMedia f;
    // A directory in place of the file: unlink fails whatever the rights.
    ASSERT_EQ(::unlink(f.path(2).c_str()), 0);
    ASSERT_EQ(::mkdir(f.path(2).c_str(), 0755), 0);
    const std::size_t pos[] = {1, 2};
    EXPECT_EQ(DeleteMedia(f.ctx, pos, true), 1u);
    EXPECT_EQ(f.numbers(), (std::vector<std::uint32_t>{0, 2, 3, 4, 5}));
    ASSERT_EQ(f.fe.messages.size(), 2u);
    EXPECT_EQ(f.fe.messages[1].caption, f.path(2));
    EXPECT_EQ(f.fe.messages[1].icon, Icon::Stop);
}

// ---- moving media between categories ----

TEST(MoveMedia, DragFromTheLentViewReturnsTheMediumInsteadOfMovingIt) {
    CategoryFixture f;
    const std::size_t pos[] = {3};
    const MoveResult r =
        MoveMediaToCategory(f.ctx, pos, CategoryFixture::kGames, CategoryFixture::kLent);
    EXPECT_EQ(r.dropped, (std::vector<std::size_t>{3}));
    const MediumHeader& e = f.ctx.media.entries[3];
    EXPECT_EQ(e.medium_flags & MEDIUM_LENT, 0u);
    EXPECT_EQ(e.category, static_cast<std::uint32_t>(CategoryFixture::kMusic));
    const MediumHeader disk = f.on_disk(3);
    EXPECT_EQ(disk.medium_flags & MEDIUM_LENT, 0u);
    EXPECT_EQ(disk.category, static_cast<std::uint32_t>(CategoryFixture::kMusic));
    EXPECT_EQ(fixed_text(disk.medium_name), "three");  // the rest of the header stays
}

TEST(MoveMedia, DropOnTheLentEntryLendsAndKeepsTheCategory) {
    CategoryFixture f;
    const std::size_t pos[] = {4};
    const MoveResult r =
        MoveMediaToCategory(f.ctx, pos, CategoryFixture::kLent, CategoryFixture::kMusic);
    EXPECT_TRUE(r.dropped.empty());  // still a Music medium
    EXPECT_EQ(r.moved, (std::vector<std::size_t>{4}));
    EXPECT_NE(f.on_disk(4).medium_flags & MEDIUM_LENT, 0u);
    EXPECT_EQ(f.on_disk(4).category, static_cast<std::uint32_t>(CategoryFixture::kMusic));
}

TEST(MoveMedia, CategoryChangesAndWhoLeavesTheView) {
    CategoryFixture f;
    f.ctx.settings.options.FastLoad = 1;
    // From "! restliche Medien" into a user category: it leaves the view.
    const std::size_t two[] = {2};
    MoveResult r = MoveMediaToCategory(f.ctx, two, CategoryFixture::kMusic, 1);
    EXPECT_EQ(r.dropped, (std::vector<std::size_t>{2}));
    EXPECT_EQ(f.on_disk(2).category, static_cast<std::uint32_t>(CategoryFixture::kMusic));
    const auto index = read_fastload_entries(f.dir.file("fastload.cds"));
    ASSERT_TRUE(index);
    EXPECT_EQ((*index)[2].category, static_cast<std::uint32_t>(CategoryFixture::kMusic));

    // Under "! Alle Medien" nothing leaves.
    r = MoveMediaToCategory(f.ctx, two, CategoryFixture::kGames, 0);
    EXPECT_TRUE(r.dropped.empty());
    EXPECT_EQ(r.moved.size(), 1u);

    // With SubKat a medium moved into a subcategory stays under the parent.
    f.ctx.settings.options.SubKat = 1;
    const std::size_t zero[] = {0};
    r = MoveMediaToCategory(f.ctx, zero, CategoryFixture::kOldGames, CategoryFixture::kGames);
    EXPECT_TRUE(r.dropped.empty());
    f.ctx.settings.options.SubKat = 0;
    r = MoveMediaToCategory(f.ctx, two, CategoryFixture::kOldGames, CategoryFixture::kGames);
    EXPECT_EQ(r.dropped, (std::vector<std::size_t>{2}));
}

TEST(MoveMedia, AMediumAlreadyThereOrABadTargetEndsTheDrop) {
    CategoryFixture f;
    const std::size_t pos[] = {2, 4, 0};  // 4 is already in Music
    MoveResult r = MoveMediaToCategory(f.ctx, pos, CategoryFixture::kMusic, 0);
    EXPECT_EQ(r.moved, (std::vector<std::size_t>{2}));
    EXPECT_EQ(f.on_disk(0).category, static_cast<std::uint32_t>(CategoryFixture::kGames));

    for (int c : {CategoryFixture::kLent + 1, -1}) {
        r = MoveMediaToCategory(f.ctx, pos, c, 0);
        EXPECT_TRUE(r.moved.empty());
    }
    EXPECT_TRUE(f.fe.messages.empty());
}

TEST(MoveMedia, UnreadableHeaderIsReportedAndTheNextFollows) {
    CategoryFixture f;
    ASSERT_EQ(::unlink(f.path(0).c_str()), 0);
    const std::size_t pos[] = {0, 2};
    const MoveResult r = MoveMediaToCategory(f.ctx, pos, CategoryFixture::kMusic, 0);
    ASSERT_EQ(f.fe.messages.size(), 1u);
    EXPECT_EQ(f.fe.messages[0].text, "Fehler beim Lesen des Headers");
    EXPECT_EQ(f.fe.messages[0].caption, "Fehler!");
    EXPECT_EQ(r.moved, (std::vector<std::size_t>{2}));
    EXPECT_EQ(f.ctx.media.entries[0].category, static_cast<std::uint32_t>(CategoryFixture::kGames));
}

TEST(MoveMedia, MovingTheCurrentMediumSurvivesALaterSave) {
    CategoryFixture f;
    ASSERT_TRUE(LoadCatalog(f.ctx, 2));
    const std::size_t pos[] = {2};
    const MoveResult r = MoveMediaToCategory(f.ctx, pos, CategoryFixture::kGames, 0);
    EXPECT_TRUE(r.current_moved);
    EXPECT_EQ(f.ctx.catalog.header.category, static_cast<std::uint32_t>(CategoryFixture::kGames));
    ASSERT_EQ(SaveCatalog(f.ctx, 2), 2);
    EXPECT_EQ(f.on_disk(2).category, static_cast<std::uint32_t>(CategoryFixture::kGames));
}

}  // namespace
}  // namespace orbisto
