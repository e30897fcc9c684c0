// The frame around a walk (progress dialog, window state, priority) and the
// directory totals after it.
//
// Declared in scan/scan_medium.h and scan/scan_steps.h (with the scan steps inside it).
#include <chrono>
#include <cstring>

#include "catalog/catalog_context.h"
#include "catalog/catalog_totals.h"
#include "catalog/long_operation.h"
#include "scan/old_catalog_index.h"
#include "scan/scan_context.h"
#include "scan/scan_medium.h"
#include "scan/scan_steps.h"

namespace orbisto {

std::int64_t scan_ticks_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void BeginScan(ScanContext& ctx) {
    ScanState& scan = ctx.scan;
    scan.scanning = true;
    ctx.packers.delete_failed = false;
    if (scan.bytes_used <= 0) scan.bytes_used = 1.0;
    scan.start_ms = scan_ticks_ms();
    scan.end_ms = scan.start_ms;
    scan.last_shown_second = -1;
    scan.progress_counter = 0;
    // The scan asks its own save question before it starts, and keeps the
    // medium texts (an update needs them).
    LongOperationOptions options;
    options.replaces_catalog = false;
    scan.frame.reset();
    scan.frame = std::make_unique<LongOperation>(ctx, options);  // clears the abort flag
}

void EndScan(ScanContext& ctx) {
    ScanState& scan = ctx.scan;
    scan.scanning = false;
    scan.end_ms = scan_ticks_ms();
    if (scan.frame) {
        scan.frame->finish();
        scan.frame.reset();
    }
    // The walk has filled the Catalog with the medium just read.
    ctx.observer.catalog_replaced();
}

void EndUpdateScan(ScanContext& ctx) {
    EndScan(ctx);
    ScanState& scan = ctx.scan;
    if (scan.old) {
        Catalog& cat = ctx.catalog;
        const Catalog& old = *scan.old;
        cat.set_description(old.description());
        cat.info = old.info;
        cat.info.description_length = static_cast<std::uint32_t>(cat.description().size());
        cat.header.category = old.header.category;
        cat.header.drive_type = old.header.drive_type;
        cat.header.medium_flags = old.header.medium_flags;
        cat.header.medium_name = old.header.medium_name;
        ctx.observer.catalog_changed();
    }
    scan.old.reset();
    scan.old_index.reset();
}

void AggregateScan(Catalog& catalog) {
    // The walk records only times whose high word lies below 60,000,000 (or
    // none), so the general totals give exactly the scan's newer-time rule.
    compute_directory_totals(catalog);
    float total = 0;
    for (const FileRecord& f : catalog.files()) {
        if (!is_deleted(f)) total += f.size_kb;
    }
    catalog.header.total_kb = total;
}

}  // namespace orbisto
