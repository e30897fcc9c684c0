// The question asked before the current Catalog is replaced while it holds
// unsaved changes.
#pragma once

#include "startup/context.h"

namespace orbisto {

// When the current Catalog has its changed flag: asks "Datei schreiben?"
// ("Daten geändert!", Yes/No, question icon) and on Yes saves it through
// ctx.save_current_catalog when that is installed. The flag is cleared
// either way. Returns false only when a save was attempted and failed.
bool ask_save_if_changed(Context& ctx);

}  // namespace orbisto
