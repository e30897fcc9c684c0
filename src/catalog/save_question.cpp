#include "catalog/save_question.h"

namespace orbisto {

bool ask_save_if_changed(Context& ctx) {
    if (!ctx.catalog.changed()) return true;
    const Answer answer = ctx.frontend.message(ctx.tr("Datei schreiben?", "write file?"),
                                               ctx.tr("Daten geändert!", "file changed!"),
                                               Buttons::YesNo, Icon::Question);
    bool ok = true;
    if (answer == Answer::Yes && ctx.save_current_catalog) ok = ctx.save_current_catalog(ctx);
    ctx.catalog.set_changed(false);
    return ok;
}

}  // namespace orbisto
