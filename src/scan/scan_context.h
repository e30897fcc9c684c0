// The scan layer's view of a run: everything below plus the scanner state.
#pragma once

#include "archive/archive_context.h"
#include "scan/scan_state.h"

namespace orbisto {

struct ScanContext : ArchiveContext {
    explicit ScanContext(Frontend& fe) : CatalogContext(fe), ArchiveContext(fe) {}

    ScanState scan;

  protected:
    ~ScanContext() = default;
};

}  // namespace orbisto
