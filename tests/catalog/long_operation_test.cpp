#include "catalog/long_operation.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "catalog/catalog_context.h"
#include "catalog/catalog_format.h"
#include "catalog/catalog_store.h"
#include "catalog/catalog_store_file.h"
#include "session/context.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

class LongOperationTest : public ::testing::Test {
  protected:
    test::ScriptedFrontend fe;
    Context ctx{fe};
};

TEST_F(LongOperationTest, FrameOpensAndClosesInOrder) {
    ctx.settings.options.minimize_during_long_operations = true;
    ctx.settings.options.restore_after_long_operations = true;
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
    ctx.settings.options.restore_after_long_operations = false;
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
    test::TempDir dir;
    ctx.paths.catalog_dir = dir.path();
    ctx.catalog.reset(false);
    ctx.catalog.set_current_number(5);
    ctx.catalog.set_changed(true);
    set_fixed_text(ctx.catalog.info.manufacturer, "ACME");
    ctx.catalog.set_description("old description");
    fe.answers.push_back(Answer::Yes);
    { LongOperation op(ctx); }
    // Saved under its own number before the texts were emptied.
    CatalogFileBytes file;
    ASSERT_EQ(read_catalog_file(catalog_path(ctx.paths.catalog_dir, 5), SIZE_MAX, file),
              FileReadStatus::Ok);
    Catalog saved;
    WorkLimits limits;
    ASSERT_EQ(read_catalog_bytes(file.data(), 5, false, limits, saved), CatalogReadError::None);
    EXPECT_EQ(fixed_text(saved.info.manufacturer), "ACME");
    EXPECT_EQ(saved.description(), "old description");
    EXPECT_EQ(fixed_text(ctx.catalog.info.manufacturer), "");
    EXPECT_EQ(ctx.catalog.description(), "");
}

// Run in a child that has no privilege to raise its priority again: with
// idle_priority, every operation must leave the process at its normal policy, so the
// second operation and everything after it do not run idle.
TEST_F(LongOperationTest, IdleNeverLeavesAnUnprivilegedProcessIdleAfterwards) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const rlimit no_raise{0, 0};
        if (::setrlimit(RLIMIT_NICE, &no_raise) != 0) ::_exit(20);
        // Root gives up CAP_SYS_NICE with its user id.
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(21);
        ctx.settings.options.idle_priority = true;
        for (int round = 0; round < 2; ++round) {
            { LongOperation op(ctx); }
            if (sched_getscheduler(0) != SCHED_OTHER) ::_exit(1 + round);
        }
        ::_exit(ctx.idle_refusal_logged ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// A process that may go back (this test process, or root) runs idle during
// the operation and normal afterwards.
TEST_F(LongOperationTest, IdleLowersAProcessThatMayRaiseItselfAgainOnlyDuringTheOperation) {
    ctx.settings.options.idle_priority = true;
    const int before = sched_getscheduler(0);
    {
        LongOperation op(ctx);
        if (!ctx.idle_refusal_logged) {
            EXPECT_EQ(sched_getscheduler(0), SCHED_IDLE);
        }
    }
    EXPECT_EQ(sched_getscheduler(0), before);
}

}  // namespace
}  // namespace orbisto
