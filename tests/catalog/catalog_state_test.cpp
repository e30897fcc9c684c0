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

    fe.answers = {Answer::No, Answer::Yes, Answer::Yes};
    for (const bool expected : {true, true, false}) {  // no; yes; yes but the save fails
        ctx.catalog.set_changed(true);
        EXPECT_EQ(ask_save_if_changed(ctx), expected);
        EXPECT_FALSE(ctx.catalog.changed());
    }
    EXPECT_EQ(saves, 2);
}

}  // namespace
}  // namespace orbisto
