#include <gtest/gtest.h>

#include "catalog/catalog_snapshot.h"
#include "catalog/save_question.h"
#include "catalog_fixture.h"
#include "support/scripted_frontend.h"

namespace orbisto {
namespace {

TEST(SaveQuestion, AskedOnlyWhenChangedYesSavesAndTheFlagIsClearedEitherWay) {
    test::ScriptedFrontend fe;
    Context ctx(fe);
    std::vector<bool> results = {true, false};
    int saves = 0;
    ctx.save_current_catalog = [&](Context&) { return results[saves++]; };

    EXPECT_TRUE(ask_save_if_changed(ctx));
    EXPECT_TRUE(fe.messages.empty());

    ctx.catalog.set_changed(true);
    fe.answers = {Answer::No, Answer::Yes, Answer::Yes};
    EXPECT_TRUE(ask_save_if_changed(ctx));
    EXPECT_EQ(saves, 0);
    EXPECT_FALSE(ctx.catalog.changed());
    ASSERT_EQ(fe.messages.size(), 1u);
    EXPECT_EQ(fe.messages[0].text, "Datei schreiben?");
    EXPECT_EQ(fe.messages[0].caption, "Daten geändert!");
    EXPECT_EQ(fe.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(fe.messages[0].icon, Icon::Question);

    ctx.settings.options.language = 1;
    ctx.catalog.set_changed(true);
    EXPECT_TRUE(ask_save_if_changed(ctx));
    EXPECT_EQ(fe.messages.back().text, "write file?");
    EXPECT_EQ(fe.messages.back().caption, "file changed!");
    ctx.catalog.set_changed(true);
    EXPECT_FALSE(ask_save_if_changed(ctx));  // the save failed
    EXPECT_EQ(saves, 2);
    EXPECT_FALSE(ctx.catalog.changed());
}

TEST(Snapshot, KeepsThePreviousCatalogueWhileTheCurrentOneIsRebuilt) {
    Catalog cat(test::small_limits());
    const auto d = test::add_dir(cat, "docs", 0, "old dir comment");
    test::add_file(cat, "a.txt", d, 1.5f, "old file comment");
    set_fixed_text(cat.info.place, "shelf");
    cat.set_description("about");
    cat.append_image(std::vector<std::uint8_t>(20, 7));
    cat.set_current_number(4);
    const MediumHeader header = cat.header;

    test::ScriptedFrontend fe;
    CatalogSnapshot snap;
    ASSERT_TRUE(take_snapshot(cat, snap, fe, false));
    cat.reset(false);  // the rescan starts from an empty Catalog

    ASSERT_TRUE(snap.taken);
    const Catalog& old = snap.old;
    EXPECT_EQ(std::memcmp(&old.header, &header, sizeof header), 0);
    EXPECT_EQ(fixed_text(old.info.place), "shelf");
    EXPECT_EQ(old.description(), "about");
    EXPECT_EQ(old.current_number(), 4);
    EXPECT_EQ(old.file_path(0), "docs/a.txt");
    EXPECT_EQ(old.file_comment(0), "old file comment");
    EXPECT_EQ(old.dir_comment(d), "old dir comment");

    release_snapshot(snap);
    EXPECT_FALSE(snap.taken);
    EXPECT_EQ(snap.old.file_count(), 0u);
}

}  // namespace
}  // namespace orbisto
