// The scan layer's view of a run: everything below plus the scanner state
// and the dialogs a scan asks.
#pragma once

#include "archive/archive_context.h"
#include "scan/scan_dialogs.h"
#include "scan/scan_state.h"

namespace orbisto {

struct ScanContext : ArchiveContext {
    ScanContext(Frontend& fe, SessionObserver& obs, ScanDialogs& dialogs)
        : CatalogContext(fe, obs), ArchiveContext(fe, obs), scan_dialogs(dialogs) {}

    ScanDialogs& scan_dialogs;
    ScanState scan;

  protected:
    ~ScanContext() = default;
};

}  // namespace orbisto
