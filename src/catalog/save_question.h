// The question asked before the current Catalog is replaced while it holds
// unsaved changes.
#pragma once

namespace orbisto {

struct CatalogContext;

// When the current Catalog has its changed flag: asks "Datei schreiben?"
// ("Daten geändert!", Yes/No, question icon) and on Yes saves it under its
// own number (a Catalog that has none yet gets the first free one). The flag
// is cleared either way. Returns false only when a save was attempted and
// failed.
bool ask_save_if_changed(CatalogContext& ctx);

}  // namespace orbisto
