#include "app/scan_run.h"

#include <cstdio>

#include "app/exit_codes.h"
#include "catalog/media_list.h"
#include "session/context.h"
#include "session/scan_request.h"

namespace orbisto::app {

int run_scan_mode(Context& ctx) {
    const RunMode mode = ctx.command_line.run_mode;
    const int code = mode == RunMode::Update ? kRequestUpdate : kRequestScanNew;
    // Identification, the lowest free number and the fast-load index all
    // need the catalogued media.
    if (!BuildMediaList(ctx)) return kExitFailure;
    ctx.ready = true;
    const int stored = HandleScanRequest(ctx, code, ctx.command_line.run_argument);
    if (stored < 0) return kExitFailure;
    const Catalog& cat = ctx.catalog;
    std::printf("stored medium %s as catalogue %d (%u directories, %u files)\n",
                std::string(fixed_text(cat.header.medium_name)).c_str(), stored,
                cat.dir_count() - 1, cat.file_count());
    if (std::fflush(stdout) != 0) return kExitFailure;
    // A medium stored without all of it is no success: what was left out has
    // been named on standard error.
    const ScanState& scan = ctx.scan;
    return scan.omissions.any() || ctx.limits_hit.any() ? kExitFailure : kExitSuccess;
}

}  // namespace orbisto::app
