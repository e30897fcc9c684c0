// The process-wide state, owned by one object that is passed by reference:
// paths, command line, settings, log, work limits, the current Catalog, the
// MediaList, the CategoryTable, the search and the scanner state. Each layer
// below sees its own part of it (Environment, CatalogContext, ArchiveContext,
// ScanContext, SearchContext). Two contexts in one process never disturb
// each other.
//
// The context reaches the user through four interfaces: the Frontend, the
// scan dialogs, the media-list dialogs and the session observer. They may be
// four objects; usually one SessionFrontend is all of them.
//
// Printing goes through the print devices the program installs (they need
// the window's toolkit); without them the printer target is refused.
#pragma once

#include "output/print_device.h"
#include "scan/scan_context.h"
#include "search/search_context.h"
#include "session/session_frontend.h"

namespace orbisto {

struct Context final : ScanContext, SearchContext {
    Context(Frontend& fe, ScanDialogs& scan_dialogs, MediaDialogs& media_dialogs,
            SessionObserver& obs)
        : CatalogContext(fe, obs),
          ScanContext(fe, obs, scan_dialogs),
          SearchContext(fe, obs, media_dialogs) {}
    explicit Context(SessionFrontend& fe) : Context(fe, fe, fe, fe) {}

    PrintDeviceFactory print_devices;
};

}  // namespace orbisto
