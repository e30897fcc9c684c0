#include "startup/long_operation.h"

#include <gtest/gtest.h>

#include "support/scripted_frontend.h"

namespace orbisto {
namespace {

class LongOperationTest : public ::testing::Test {
protected:
    test::ScriptedFrontend fe;
    Context ctx{fe};
};

TEST_F(LongOperationTest, FrameOpensAndClosesInOrder) {
    ctx.settings.options.Minimize = 1;
    ctx.settings.options.Restore = 1;
    fe.request_abort();  // left over from an earlier operation
    {
        LongOperation op(ctx);
        EXPECT_TRUE(ctx.busy);
        EXPECT_FALSE(op.aborted());
    }
    EXPECT_FALSE(ctx.busy);
    EXPECT_EQ(fe.beeps, 1);
    EXPECT_EQ(fe.window_actions,
              (std::vector<WindowAction>{WindowAction::Minimize, WindowAction::Restore}));
    // Hidden at the end instead of restored.
    fe.window_actions.clear();
    ctx.settings.options.Restore = 0;
    ctx.command_line.hide = true;
    { LongOperation op(ctx); }
    EXPECT_EQ(fe.window_actions,
              (std::vector<WindowAction>{WindowAction::Minimize, WindowAction::Hide}));
}

TEST_F(LongOperationTest, AbortFromThePumpStopsTheSteps) {
    fe.on_pump = [&](int n) {
        if (n == 3) fe.request_abort();
    };
    LongOperation op(ctx);
    int steps = 0;
    while (op.step()) ++steps;
    EXPECT_EQ(steps, 2);
    EXPECT_TRUE(op.aborted());
}

TEST_F(LongOperationTest, ChangedCatalogIsOfferedForSavingAndItsTextsEmptied) {
    ctx.catalog.set_changed(true);
    set_fixed_text(ctx.catalog.info.manufacturer, "ACME");
    ctx.catalog.set_description("old description");
    int saves = 0;
    ctx.save_current_catalog = [&](Context&) { return ++saves > 0; };
    fe.answers.push_back(Answer::Yes);
    { LongOperation op(ctx); }
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(fixed_text(ctx.catalog.info.manufacturer), "");
    EXPECT_EQ(ctx.catalog.description(), "");
}

}  // namespace
}  // namespace orbisto
