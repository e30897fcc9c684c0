// The CategoryTable, membership and the category file.
#include "catalog/categories.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/catalog_context.h"
#include "catalog/category_edit.h"
#include "catalog/category_file.h"
#include "category_fixture.h"
#include "settings/ini_file.h"

namespace orbisto::test {
namespace {

MediumHeader medium(std::uint32_t category, std::uint32_t flags = 0) {
    MediumHeader h;
    h.category = category;
    h.medium_flags = flags;
    return h;
}

TEST(CategoryTable, AddAndMoveRefuseImpossibleParentsRemoveSubtreeRenumbers) {
    CategoryTable t;
    for (auto [name, parent] : {std::pair{"A", 0}, {"D", 0}, {"B", 2}, {"E", 3}, {"C", 4}}) {
        t.add(name, parent);
    }
    EXPECT_EQ(t.add("x", 1), -1);  // pseudo entries and the lent entry are no parents
    EXPECT_EQ(t.add("x", 7), -1);
    EXPECT_FALSE(t.set_parent(2, 6));  // below its own grandchild

    EXPECT_EQ(t.remove_subtree(2), (std::vector<int>{0, 1, 0, 2, 0, 3, 0, 4}));
    EXPECT_TRUE(t.remove_subtree(4).empty());  // the lent entry stays
}

TEST(CategoryMembership, FollowsTheRulesAndTreatsDanglingCategoriesAsNone) {
    CategoryTable t;
    for (auto [name, parent] : {std::pair{"A", 0}, {"B", 2}, {"C", 3}, {"D", 0}})
        t.add(name, parent);
    const int lent = t.lent_index();  // 6
    const struct {
        int subkat;
        std::uint32_t category, flags;
        int shown;
        bool member;
    } rows[] = {
        {1, 4, 0, 2, true},
        {0, 4, 0, 2, false},
        {1, 4, 0, 5, false},  // grandchild with SubKat
        {1, 2, 0, 4, false},  // never downward
        {0, 4, 0, 0, true},
        {0, 0, 0, 1, true},
        {0, 4, 0, 1, false},
        {0, 6, 0, lent, false},
        {0, 4, MEDIUM_LENT, lent, true},
        {0, 4, MEDIUM_LENT, 4, true},
        {0, 0, 0, lent + 1, false},
        {1, 40000, 0, 1, true},
        {1, 0xFFFFFFFF, 0, 2, false},  // dangling: none
    };
    for (const auto& r : rows) {
        EXPECT_EQ(IsMemberOfCategory(t, r.subkat, medium(r.category, r.flags), r.shown), r.member)
            << r.category << " in " << r.shown;
    }
}

TEST(CategoryFile, DamagedFilesGiveSaneTables) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"[Kategorie]\r\nAnzahl=-7\r\nKategorie0=A\r\n", {}},
        {"[Kategorie]\r\nAnzahl=2147483647\r\nKategorie0=A\r\nKategorie2=C\r\n"
         "Kategorie2parent=-2\r\nKategorie99999=X\r\n",
         {"A<0", "<2", "C<0"}},  // an absurd count: the stored names count
        {CategoryFixture::section({{"A", 2}, {"B", 0}, {"C", 1}}), {"A<4", "B<0", "C<3"}},
        {CategoryFixture::section({{"A", -2}, {"B", 1}}), {"A<0", "B<0"}},  // its own parent
        {CategoryFixture::section({{"A", 5}, {"B", -5}, {"C", 2147483647}, {"D", -1}}),
         {"A<0", "B<0", "C<0", "D<0"}},
    };
    for (const auto& [text, tree] : cases) {
        CategoryFixture f;
        ASSERT_TRUE(write_file_atomic(f.settings(), text));
        ReadCategories(f.ctx);
        EXPECT_EQ(f.tree(), tree) << text;
        const CategoryTable& t = f.ctx.categories;
        for (int i = 2; i < t.count(); ++i) {
            EXPECT_TRUE(t.in_subtree(i, 0)) << text;  // every walk upward ends
        }
    }
}

TEST(CategoryFile, WritesBothFilesAndThenWichtigIniWins) {
    CategoryFixture f;
    ASSERT_TRUE(write_file_atomic(f.settings(), CategoryFixture::section({{"Alt", -2}})));
    ReadCategories(f.ctx);
    for (const char* n : {"Grüße", " eingerückt ", "\"zitiert\"", "a=b;c"})
        f.ctx.categories.add(n, 2);
    ASSERT_TRUE(WriteCategories(f.ctx));
    EXPECT_EQ(IniFile::load_or_empty(f.settings()).get_int("Kategorie", "Kategorie1parent", -1), 0);
    const CategoryTable written = f.ctx.categories;
    ASSERT_TRUE(write_file_atomic(f.settings(), CategoryFixture::section({{"Veraltet", -2}})));
    ReadCategories(f.ctx);
    EXPECT_EQ(f.ctx.categories, written);  // names survive the round trip exactly
}

TEST(CategoryFile, ShrunkTableLeavesNoStaleKeysAndKeepsOtherContent) {
    CategoryFixture f;
    ASSERT_TRUE(
        write_file_atomic(f.ctx.paths.catalog_dir + "/wichtig.ini",
                          CategoryFixture::section({{"A", -2}, {"B", -2}, {"C", 1}}) +
                              "Kommentar=bleibt\r\nKategorie07=fremd\r\n[Andere]\r\nx=1\r\n"));
    ReadCategories(f.ctx);  // found in any case
    f.ctx.categories.remove_subtree(3);
    ASSERT_TRUE(WriteCategories(f.ctx));
    const IniFile ini = IniFile::load_or_empty(f.ctx.paths.catalog_dir + "/wichtig.ini");
    EXPECT_EQ(ini.keys("Kategorie"),
              (std::vector<std::string>{"Anzahl", "Kategorie0", "Kategorie0parent", "Kommentar",
                                        "Kategorie07"}));
    EXPECT_EQ(ini.get_int("Andere", "x", 0), 1);
    EXPECT_FALSE(file_exists(f.wichtig()));  // the existing spelling was used
}

}  // namespace
}  // namespace orbisto::test
