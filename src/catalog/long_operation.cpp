#include "catalog/long_operation.h"

#include <linux/capability.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#include "catalog/catalog_context.h"
#include "catalog/save_question.h"
#include "settings/environment.h"
#include "settings/settings_io.h"

namespace orbisto {

namespace {

// Leaving idle scheduling again is allowed only to a process that may raise
// its nice value back to where it is now: with CAP_SYS_NICE, or when
// RLIMIT_NICE reaches that far (an idle process counts as nice 20). Without
// either, the first long operation would leave the whole program idle for
// good.
bool idle_can_be_left() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct caps[2]{};
    if (::syscall(SYS_capget, &header, caps) == 0 &&
        (caps[CAP_TO_INDEX(CAP_SYS_NICE)].effective & CAP_TO_MASK(CAP_SYS_NICE)) != 0) {
        return true;
    }
    rlimit limit{};
    if (::getrlimit(RLIMIT_NICE, &limit) != 0) return false;
    if (limit.rlim_cur == RLIM_INFINITY) return true;
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, 0);
    if (nice == -1 && errno != 0) return false;
    return static_cast<long long>(20 - nice) <= static_cast<long long>(limit.rlim_cur);
}

}  // namespace

ProgressTexts LongOperation::texts(bool english, std::string text) {
    ProgressTexts t;
    t.text = text.empty() ? tr(english, "Einlesen l\xC3\xA4uft.", "scan in progress.") : text;
    t.pause = tr(english, "&Pause", "&pause");
    t.go_on = tr(english, "&Weiter", "&go on");
    t.abort = tr(english, "&Abbruch", "&abort");
    t.aborting = tr(english, "Operation wird abgebrochen!", "operation will be interrupted");
    t.paused = "PAUSE!";
    return t;
}

LongOperation::LongOperation(CatalogContext& ctx, LongOperationOptions options) : ctx_(ctx) {
    if (options.replaces_catalog) {
        ask_save_if_changed(ctx_);
        ctx_.catalog.info = MediumInfo{};
        ctx_.catalog.set_description({});
    }
    ctx_.busy = true;
    ctx_.frontend.clear_abort();
    dialog_pos_ = read_dialog_pos(ctx_, "Abbruch");
    ctx_.frontend.progress_open(texts(ctx_.english(), std::move(options.text)), options.range,
                                dialog_pos_);
    const auto& o = ctx_.settings.options;
    if (o.minimize_during_long_operations) ctx_.frontend.main_window(WindowAction::Minimize);
    if (ctx_.command_line.hide) ctx_.frontend.main_window(WindowAction::Hide);
    if (o.idle_priority) {
        if (idle_can_be_left()) {
            old_policy_ = sched_getscheduler(0);
            sched_param param{};
            idle_ = sched_setscheduler(0, SCHED_IDLE, &param) == 0;
        } else if (!ctx_.idle_refusal_logged) {
            ctx_.idle_refusal_logged = true;
            ctx_.log.always(
                "Idle: Priorit\xC3\xA4t nicht gesenkt - der Prozess k\xC3\xA4me ohne "
                "Berechtigung (CAP_SYS_NICE oder RLIMIT_NICE) nicht zur\xC3\xBC"
                "ck; nur Packer laufen mit niedriger Priorit\xC3\xA4t\r\n");
        }
    }
    open_ = true;
    ctx_.observer.long_operation_started();
}

LongOperation::~LongOperation() {
    finish();
}

bool LongOperation::step() {
    ctx_.frontend.pump();
    return !aborted();
}

void LongOperation::progress(int value) {
    ctx_.frontend.progress_value(value);
}

void LongOperation::text(std::string_view text) {
    ctx_.frontend.progress_text(text);
}

void LongOperation::finish() {
    if (!open_) return;
    open_ = false;
    // The position is written only when the dialog was moved, so runs without
    // a window leave the settings file alone.
    const DialogPos pos = ctx_.frontend.progress_close();
    if (pos.x != dialog_pos_.x || pos.y != dialog_pos_.y) write_dialog_pos(ctx_, "Abbruch", pos);
    const auto& o = ctx_.settings.options;
    if (o.minimize_during_long_operations && o.restore_after_long_operations) {
        ctx_.frontend.main_window(WindowAction::Restore);
    }
    ctx_.frontend.beep();
    ctx_.busy = false;
    if (idle_) {
        sched_param param{};
        sched_setscheduler(0, old_policy_ >= 0 ? old_policy_ : SCHED_OTHER, &param);
        idle_ = false;
    }
    ctx_.observer.long_operation_ended();
}

}  // namespace orbisto
