#include "catalog/save_question.h"

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"

namespace orbisto {

bool ask_save_if_changed(CatalogContext& ctx) {
    if (!ctx.catalog.changed()) return true;
    const Answer answer = ctx.frontend.message(ctx.tr("Datei schreiben?", "write file?"),
                                               ctx.tr("Daten geändert!", "file changed!"),
                                               Buttons::YesNo, Icon::Question);
    bool ok = true;
    if (answer == Answer::Yes) ok = SaveCatalog(ctx, ctx.catalog.current_number()) >= 0;
    ctx.catalog.set_changed(false);
    return ok;
}

}  // namespace orbisto
