// Directory totals: every directory's size_kb and time cover all files below
// it, at every level.
#pragma once

#include "catalog/catalog.h"

namespace orbisto {

// Recomputes size_kb (sum) and time (newest, as unsigned 64-bit FILETIME) of
// every directory: files add to their own directory, then every directory
// from the last down to 1 adds to its parent. Deleted files and references
// that do not name an earlier directory are left out.
void compute_directory_totals(Catalog& cat);

}  // namespace orbisto
