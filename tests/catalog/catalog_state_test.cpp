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

    ctx.catalog.set_changed(true);
    EXPECT_TRUE(ask_save_if_changed(ctx));
    ctx.catalog.set_changed(true);
    EXPECT_FALSE(ask_save_if_changed(ctx));  // the save failed
    EXPECT_EQ(saves, 2);
    EXPECT_FALSE(ctx.catalog.changed());
}

}  // namespace
}  // namespace orbisto
