// The process-wide state, owned by one object that is passed by reference:
// paths, command line, settings, log, work limits, the current Catalog, the
// MediaList, the CategoryTable, the search and the scanner state.
// Two contexts in one process never disturb each other.
#pragma once

#include <functional>
#include <string_view>

#include "catalog/catalog.h"
#include "catalog/categories.h"
#include "catalog/media_list.h"
#include "catalog/work_limits.h"
#include "scan/scan_state.h"
#include "search/search_state.h"
#include "startup/command_line.h"
#include "startup/frontend.h"
#include "startup/lang.h"
#include "startup/log.h"
#include "startup/paths.h"
#include "startup/settings.h"

namespace orbisto {

struct Context {
    explicit Context(Frontend& fe) : frontend(fe) {}
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    Frontend& frontend;
    Paths paths;
    CommandLine command_line;
    Settings settings;
    Log log;
    WorkLimits limits;
    Catalog catalog;
    MediaList media;
    CategoryTable categories;
    SearchState search;
    ScanState scan;

    bool busy = false;   // a long operation runs
    bool ready = false;  // the main window (or the headless driver) has finished its set-up
    bool idle_refusal_logged = false;  // why Idle cannot lower this process was logged

    // Saves the current Catalog under its number; installed by the catalogue
    // store. Returns false when the save failed.
    std::function<bool(Context&)> save_current_catalog;

    bool english() const { return settings.options.language == 1; }
    const char* tr(const char* de, const char* en) const { return orbisto::tr(english(), de, en); }

    // The status-line helper: text to the first status-bar part, logged as
    // "status:%s\r\n" when logging is on.
    void status(std::string_view text);
};

}  // namespace orbisto
