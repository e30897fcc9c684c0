#include "startup/long_operation.h"

#include <sched.h>

#include "catalog/save_question.h"
#include "startup/settings_io.h"

namespace orbisto {

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

LongOperation::LongOperation(Context& ctx, LongOperationOptions options) : ctx_(ctx) {
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
    if (o.Minimize) ctx_.frontend.main_window(WindowAction::Minimize);
    if (ctx_.command_line.hide) ctx_.frontend.main_window(WindowAction::Hide);
    if (o.Idle) {
        old_policy_ = sched_getscheduler(0);
        sched_param param{};
        idle_ = sched_setscheduler(0, SCHED_IDLE, &param) == 0;
    }
    open_ = true;
}

LongOperation::~LongOperation() { finish(); }

bool LongOperation::step() {
    ctx_.frontend.pump();
    return !aborted();
}

void LongOperation::progress(int value) { ctx_.frontend.progress_value(value); }

void LongOperation::text(std::string_view text) { ctx_.frontend.progress_text(text); }

void LongOperation::finish() {
    if (!open_) return;
    open_ = false;
    // The position is written only when the dialog was moved, so runs without
    // a window leave the settings file alone.
    const DialogPos pos = ctx_.frontend.progress_close();
    if (pos.x != dialog_pos_.x || pos.y != dialog_pos_.y) write_dialog_pos(ctx_, "Abbruch", pos);
    const auto& o = ctx_.settings.options;
    if (o.Minimize && (o.Restore & 1)) ctx_.frontend.main_window(WindowAction::Restore);
    ctx_.frontend.beep();
    ctx_.busy = false;
    if (idle_) {
        sched_param param{};
        // Leaving idle scheduling may be refused to an unprivileged process
        // with a strict nice limit; the operation has ended either way.
        sched_setscheduler(0, old_policy_ >= 0 ? old_policy_ : SCHED_OTHER, &param);
        idle_ = false;
    }
}

}  // namespace orbisto
