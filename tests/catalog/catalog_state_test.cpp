#include <gtest/gtest.h>

#include "catalog/catalog_snapshot.h"
#include "catalog/save_question.h"
#include "catalog_fixture.h"
#include "support/scripted_frontend.h"

namespace orbisto {
namespace {

using test::add_dir;
using test::add_file;

TEST(SaveQuestion, AskedOnlyWhenChangedAndYesSaves) {
    test::ScriptedFrontend fe;
    Context ctx(fe);
    int saves = 0;
    ctx.save_current_catalog = [&](Context&) {
        ++saves;
        return true;
    };

    EXPECT_TRUE(ask_save_if_changed(ctx));
    EXPECT_TRUE(fe.messages.empty());

    ctx.catalog.set_changed(true);
    fe.answers = {Answer::Yes};
    EXPECT_TRUE(ask_save_if_changed(ctx));
    ASSERT_EQ(fe.messages.size(), 1u);
    EXPECT_EQ(fe.messages[0].text, "Datei schreiben?");
    EXPECT_EQ(fe.messages[0].caption, "Daten geändert!");
    EXPECT_EQ(fe.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(fe.messages[0].icon, Icon::Question);
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(ctx.catalog.changed());

    // No: nothing saved, the flag is cleared all the same
    ctx.catalog.set_changed(true);
    ctx.settings.options.language = 1;
    fe.answers = {Answer::No};
    EXPECT_TRUE(ask_save_if_changed(ctx));
    EXPECT_EQ(fe.messages.back().text, "write file?");
    EXPECT_EQ(fe.messages.back().caption, "file changed!");
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(ctx.catalog.changed());
}

TEST(SaveQuestion, AFailedSaveIsReportedAndAMissingSaverIsHarmless) {
    test::ScriptedFrontend fe;
    Context ctx(fe);
    ctx.save_current_catalog = [](Context&) { return false; };
    ctx.catalog.set_changed(true);
    EXPECT_FALSE(ask_save_if_changed(ctx));
    EXPECT_FALSE(ctx.catalog.changed());

    ctx.save_current_catalog = nullptr;
    ctx.catalog.set_changed(true);
    EXPECT_TRUE(ask_save_if_changed(ctx));
    EXPECT_FALSE(ctx.catalog.changed());
}

TEST(Snapshot, KeepsThePreviousCatalogueWhileTheCurrentOneIsRebuilt) {
    Catalog cat(test::small_limits());
    const auto d = add_dir(cat, "docs", 0, "old dir comment");
    add_file(cat, "a.txt", d, 1.5f, "old file comment");
    set_fixed_text(cat.header.medium_name, "My CD");
    set_fixed_text(cat.info.place, "shelf");
    cat.set_description("about");
    cat.append_image(std::vector<std::uint8_t>(20, 7));
    cat.set_current_number(4);
    const MediumHeader header = cat.header;

    test::ScriptedFrontend fe;
    CatalogSnapshot snap;
    ASSERT_TRUE(take_snapshot(cat, snap, fe, false));
    EXPECT_TRUE(fe.messages.empty());
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
    EXPECT_EQ(old.comment_at(1), ARCHIVE_TEXT_DE);
    EXPECT_EQ(old.images_used(), 8u);  // thumbnails are not copied

    release_snapshot(snap);
    EXPECT_FALSE(snap.taken);
    EXPECT_EQ(snap.old.file_count(), 0u);
}

}  // namespace
}  // namespace orbisto
