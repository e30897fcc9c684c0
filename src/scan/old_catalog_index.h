// The index over the old Catalog's names that makes the update lookups fast.
#pragma once

namespace orbisto {

struct OldCatalogIndex {};

}  // namespace orbisto
