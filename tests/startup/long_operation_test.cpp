#include "startup/long_operation.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "startup/settings_io.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

class LongOperationTest : public ::testing::Test {
protected:
    test::TempDir home;
    test::ScriptedFrontend fe;
    Context ctx{fe};

    void SetUp() override {
        ctx.paths.program_dir = home.path() + "/";
        ctx.paths.settings_file = home.file("orbisto.INI");
    }
};

TEST_F(LongOperationTest, FrameOpensAndClosesInOrder) {
    ctx.settings.options.Minimize = 1;
    ctx.settings.options.Restore = 1;
    fe.request_abort();  // left over from an earlier operation
    {
        LongOperation op(ctx);
        EXPECT_TRUE(ctx.busy);
        EXPECT_FALSE(op.aborted());
        EXPECT_TRUE(fe.progress_shown);
        EXPECT_EQ(fe.progress_range, 100);
    }
    EXPECT_FALSE(ctx.busy);
    EXPECT_FALSE(fe.progress_shown);
    EXPECT_EQ(fe.beeps, 1);
    EXPECT_EQ(fe.window_actions,
              (std::vector<WindowAction>{WindowAction::Minimize, WindowAction::Restore}));
}

TEST_F(LongOperationTest, HideWithoutRestore) {
    ctx.settings.options.Minimize = 1;
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
    std::snprintf(ctx.catalog.info.manufacturer, sizeof ctx.catalog.info.manufacturer, "ACME");
    ctx.catalog.set_description("old description");
    int saves = 0;
    ctx.save_current_catalog = [&](Context&) {
        ++saves;
        return true;
    };
    fe.answers.push_back(Answer::Yes);
    { LongOperation op(ctx); }
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(fe.saw_message("Datei schreiben?"));
    EXPECT_STREQ(ctx.catalog.info.manufacturer, "");
    EXPECT_EQ(ctx.catalog.description(), "");
    EXPECT_EQ(ctx.catalog.info.description_length, 0u);
}

TEST_F(LongOperationTest, DialogPositionIsRememberedOnlyWhenMoved) {
    { LongOperation op(ctx); }
    EXPECT_FALSE(file_exists(ctx.paths.settings_file));
    write_dialog_pos(ctx, "Abbruch", {120, 80});
    {
        LongOperation op(ctx);
        EXPECT_EQ(fe.progress_pos.x, 120);
        fe.progress_pos = {300, 200};  // the user moved the dialog
    }
    EXPECT_EQ(read_dialog_pos(ctx, "Abbruch").y, 200);
}

}  // namespace
}  // namespace orbisto
