// The copy of the previous catalogue that an update rescan keeps, so that
// old comments can be looked up by name while the medium is scanned again.
#pragma once

#include "catalog/catalog.h"
#include "settings/frontend.h"

namespace orbisto {

struct CatalogSnapshot {
    // The previous header, info block, description, records, names and
    // comments. Thumbnails are not copied: its ImagePool holds only the
    // reserved bytes, while `old.header` keeps the previous header as it was.
    // Read it only.
    Catalog old{WorkLimits{0, 0, 0, 0, 0, 0, 0, 0, 0}};
    bool taken = false;
};

// Copies `current` into `out` (replacing what it held). Without memory: the
// copies made are dropped, "Zu wenig Speicher!" / "Fehler" is shown through
// the frontend and the result is false with `out` empty and not taken.
bool take_snapshot(const Catalog& current, CatalogSnapshot& out, Frontend& fe, bool english);

// Drops the copies.
void release_snapshot(CatalogSnapshot& snap);

}  // namespace orbisto
