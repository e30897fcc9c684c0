// The duplicate-name questions and the edits of the category tree; the
// deletion runs over real catalogue files.
#include "catalog/category_edit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/catalog_context.h"
#include "catalog/category_file.h"
#include "catalog/fastload.h"
#include "catalog/media_list.h"
#include "category_fixture.h"

namespace orbisto::test {
namespace {

// A(2) > B(3) > C(4), D(5) > E(6); "! verliehen" at 7.
struct TreeFixture : CategoryFixture {
    TreeFixture() {
        for (auto [name, parent] : {std::pair{"A", 0}, {"B", 2}, {"C", 3}, {"D", 0}, {"E", 5}}) {
            ctx.categories.add(name, parent);
        }
    }
    std::vector<std::uint32_t> listed() const {
        std::vector<std::uint32_t> out;
        for (const MediumHeader& e : ctx.media.entries) out.push_back(e.category);
        return out;
    }
};

TEST(CategoryNameCheck, DuplicatesIgnoreGermanCaseAndFollowTheAnswer) {
    CategoryFixture f;
    f.ctx.categories.add("Ärger", 0);
    f.ctx.categories.add("Bücher", 0);
    f.fe.answers = {Answer::No, Answer::Yes, Answer::No, Answer::No, Answer::No};
    EXPECT_FALSE(CheckCategoryName(f.ctx, 3, "äRGER"));
    EXPECT_TRUE(CheckCategoryName(f.ctx, 3, "ärger"));
    EXPECT_FALSE(CheckCategoryName(f.ctx, 3, "! VERLIEHEN"));
    EXPECT_TRUE(CheckCategoryName(f.ctx, 3, "BÜCHER"));  // its own name

    MediumHeader a, b;
    set_fixed_text(a.medium_name, "Urlaub Österreich");
    set_fixed_text(b.medium_name, std::string(57, 'm'));
    f.ctx.media.entries = {a, b};
    EXPECT_FALSE(CheckMediumName(f.ctx, 1, "URLAUB öSTERREICH"));
    EXPECT_FALSE(CheckMediumName(f.ctx, 0, std::string(70, 'M')));  // cut as the field cuts it
}

TEST(CategoryEdits, FailedWriteLeavesTheTableAsItWas) {
    TreeFixture f;
    ASSERT_TRUE(write_file_atomic(f.settings(), ""));
    const CategoryTable before = f.ctx.categories;
    {
        ReadOnly ro(f.settings());
        EXPECT_EQ(RenameCategory(f.ctx, 3, "Neu"), CategoryEdit::NotStored);
        EXPECT_EQ(MoveCategory(f.ctx, 5, 2), CategoryEdit::NotStored);
        EXPECT_EQ(CreateCategory(f.ctx, "Neu", 0).result, CategoryEdit::NotStored);
        EXPECT_EQ(DeleteCategory(f.ctx, 2), CategoryEdit::NotStored);
    }
    EXPECT_EQ(f.ctx.categories, before);
    EXPECT_EQ(read_file(f.settings()), "");
    EXPECT_FALSE(file_exists(f.wichtig()));
}

struct DeleteFixture : TreeFixture {
    DeleteFixture() {
        const std::uint32_t cats[] = {3, 4, 5, 6, 0, 2, 40000};
        for (int n = 0; n < 7; ++n) add_medium(n, "m", cats[n], n == 5 ? MEDIUM_LENT : 0);
        EXPECT_TRUE(BuildMediaList(ctx));
    }
};

TEST(CategoryDelete, SubtreeMediaGetNoneLaterCategoriesFollowDownFilesNotRewrittenKeepTheirs) {
    DeleteFixture f;
    f.ctx.settings.options.fast_load = true;
    f.ctx.settings.state.last_category = 6;
    f.ctx.settings.search.category = 3;
    ASSERT_TRUE(LoadCatalog(f.ctx, 3));
    // Reported, and the others go on: a header that cannot be read, one that
    // cannot be written.
    ASSERT_TRUE(write_file_atomic(catalog_path(f.ctx.paths.catalog_dir, 1), "short"));
    const auto protected_bytes = read_file(f.path(2));

    {
        ReadOnly ro(f.path(2));
        ASSERT_EQ(DeleteCategory(f.ctx, 2), CategoryEdit::Done);
    }
    EXPECT_TRUE(f.fe.saw_message("Fehler beim Lesen des Headers"));
    EXPECT_TRUE(f.fe.saw_message("Schreibfehler Header"));
    // Media 1 and 2 keep what their files still say.
    const std::vector<std::uint32_t> want = {0, 4, 5, 3, 0, 0, 40000};
    EXPECT_EQ(f.listed(), want);
    for (int n : {0, 2, 3, 4, 5, 6}) EXPECT_EQ(f.on_disk(n).category, want[n]) << n;
    EXPECT_EQ(read_file(f.path(2)), protected_bytes);
    EXPECT_EQ(f.ctx.catalog.header.category, 3u);  // the loaded medium, once
    EXPECT_EQ(f.ctx.settings.state.last_category, 3);
    EXPECT_EQ(f.ctx.settings.search.category, 0);
    const auto index = read_fastload_entries(fastload_path(f.ctx.paths.catalog_dir));
    ASSERT_TRUE(index);
    for (const MediumHeader& e : *index) EXPECT_EQ(e.category, want[e.catalog_number]);
    ReadCategories(f.ctx);
    EXPECT_EQ(f.tree(), (std::vector<std::string>{"D<0", "E<2"}));
}

}  // namespace
}  // namespace orbisto::test
