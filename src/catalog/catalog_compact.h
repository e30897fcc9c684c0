// Compaction: removes the records marked deleted and rebuilds the pools
// without the garbage that deleting and editing leave behind.
#pragma once

#include "catalog/catalog.h"
#include "settings/frontend.h"

namespace orbisto {

// Removes every directory marked deleted (except the root) and every file
// marked deleted, renumbers the parents and rebuilds the NamePool in record
// order (directories from 1, then files). A parent that named a removed
// directory, or that did not name an earlier directory, becomes the nearest
// remaining ancestor (the root when there is none). When the rebuilt
// NamePool would not fit in the old capacity + 2,600 bytes or would pass
// 16 MiB (names shared in a pool written elsewhere), the old pool is kept
// with the old offsets. Linear in the number of records.
// Without memory: "Zu wenig Speicher!" / "Fehler" through the frontend,
// false, and the Catalog is unchanged.
bool compact_records_and_names(Catalog& cat, Frontend& fe, bool english);

// Rebuilds the CommentPool: the archive text at offset 1 (the old one, or in
// the given language when the old pool has none), then in record order each
// directory comment above 1 and each file comment other than 0. Deletion
// marks stay; offsets outside the pool become 0. When the new pool would not
// fit in the old capacity + 128 bytes (comments shared in a pool written
// elsewhere), the old pool is kept. Same memory handling as above.
bool compact_comments(Catalog& cat, Frontend& fe, bool english);

}  // namespace orbisto
