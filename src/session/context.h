// The process-wide state, owned by one object that is passed by reference:
// paths, command line, settings, log, work limits, the current Catalog, the
// MediaList, the CategoryTable, the search and the scanner state. Each layer
// below sees its own part of it (Environment, CatalogContext, ArchiveContext,
// Context, SearchContext). Two contexts in one process never disturb
// each other.
#pragma once

#include "scan/scan_context.h"
#include "search/search_context.h"

namespace orbisto {

struct Context final : ScanContext, SearchContext {
    explicit Context(Frontend& fe) : CatalogContext(fe), ScanContext(fe), SearchContext(fe) {}
};

}  // namespace orbisto
