// Renaming, lending and returning a medium through the real catalogue store.
#include "catalog/medium_edit.h"

#include <gtest/gtest.h>

#include "catalog/media_fixture.h"

namespace orbisto {
namespace {

using test::MediaFixture;

TEST(MediumEdit, RenameTakesWhatTheFieldHoldsAndAsksAboutANameInUse) {
    const std::string umlauts57 = [] {
        std::string s;
        for (int i = 0; i < 57; ++i) s += "\xC3\xA4";
        return s;
    }();
    // Not Windows-1252: counted in UTF-8 bytes.
    const auto kana = [](int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += "\xE3\x81\x82";
        return s;
    };
    struct Case {
        const char* what;
        std::string name;
        std::deque<Answer> answers;
        MediumEdit result;
        std::string stored;  // the name on disk afterwards
    } cases[] = {
        // 57 Windows-1252 characters fit although they are 114 UTF-8 bytes.
        {"57 umlauts", umlauts57, {}, MediumEdit::Done, umlauts57},
        {"58 umlauts", umlauts57 + "\xC3\xA4", {}, MediumEdit::TooLong, "first"},
        {"19 kana of 3 bytes", kana(19), {}, MediumEdit::Done, kana(19)},
        {"20 kana of 3 bytes", kana(20), {}, MediumEdit::TooLong, "first"},
        {"in use, No", "SECOND", {Answer::No}, MediumEdit::Declined, "first"},
        {"in use, Yes", "SECOND", {Answer::Yes}, MediumEdit::Done, "SECOND"},
        {"blanks", "  \t", {}, MediumEdit::Empty, "first"},
        {"same", "first", {}, MediumEdit::Unchanged, "first"},
    };
    for (const Case& c : cases) {
        MediaFixture f;
        f.add_medium(0, "first");
        f.add_medium(1, "second");
        ASSERT_TRUE(BuildMediaList(f.ctx));
        f.fe.answers = c.answers;
        EXPECT_EQ(RenameMedium(f.ctx, 0, c.name), c.result) << c.what;
        EXPECT_EQ(fixed_text(f.on_disk(0).medium_name), c.stored) << c.what;
        EXPECT_EQ(fixed_text(f.ctx.media.entries[0].medium_name), c.stored) << c.what;
        EXPECT_EQ(fixed_text(f.on_disk(1).medium_name), "second");
    }
}

TEST(MediumEdit, ALaterSaveOfTheLoadedMediumKeepsTheNewName) {
    MediaFixture f;
    f.add_medium(0, "first");
    ASSERT_TRUE(BuildMediaList(f.ctx));
    ASSERT_TRUE(LoadCatalog(f.ctx, 0));
    f.ctx.catalog.set_changed(true);  // an unsaved edit of the window
    ASSERT_EQ(RenameMedium(f.ctx, 0, "renamed"), MediumEdit::Done);
    ASSERT_EQ(SaveCatalog(f.ctx, 0), 0);
    EXPECT_EQ(fixed_text(f.on_disk(0).medium_name), "renamed");
}

TEST(MediumEdit, LendingAndReturningGoThroughTheFileAndRefuseTheWrongState) {
    MediaFixture f;
    f.add_medium(0, "first");
    f.add_medium(1, "second", 0, MEDIUM_LENT);
    ASSERT_TRUE(BuildMediaList(f.ctx));
    EXPECT_EQ(ReturnMedium(f.ctx, 0), MediumEdit::NotLent);
    EXPECT_EQ(LendMedium(f.ctx, 1, {"Ann", "", ""}), MediumEdit::AlreadyLent);
    EXPECT_EQ(LendMedium(f.ctx, 0, {" ", "", ""}), MediumEdit::Empty);
    EXPECT_EQ(LendMedium(f.ctx, 0, {"Ann", std::string(32, '1'), ""}), MediumEdit::TooLong);
    EXPECT_EQ(LendMedium(f.ctx, 7, {"Ann", "", ""}), MediumEdit::Failed);
    EXPECT_FALSE(f.on_disk(0).medium_flags & MEDIUM_LENT);

    ASSERT_EQ(LendMedium(f.ctx, 0, {"Ann", std::string(31, '1'), "May"}), MediumEdit::Done);
    EXPECT_TRUE(f.on_disk(0).medium_flags & MEDIUM_LENT);
    EXPECT_TRUE(f.ctx.media.entries[0].medium_flags & MEDIUM_LENT);
    EXPECT_EQ(fixed_text(f.ctx.catalog.info.lent_from), std::string(31, '1'));
    ASSERT_EQ(ReturnMedium(f.ctx, 1), MediumEdit::Done);
    EXPECT_FALSE(f.on_disk(1).medium_flags & MEDIUM_LENT);
    EXPECT_FALSE(f.ctx.media.entries[1].medium_flags & MEDIUM_LENT);
}

}  // namespace
}  // namespace orbisto
