#include "app/scan_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "app/exit_codes.h"
#include "app/progress_line.h"
#include "catalog/media_list.h"
#include "session/context.h"
#include "session/scan_request.h"

namespace orbisto::app {

int catalogue_directory_problem(const std::string& dir, bool for_writing) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0) return errno;
    if (!S_ISDIR(st.st_mode)) return ENOTDIR;
    if (for_writing && ::access(dir.c_str(), W_OK | X_OK) != 0) return errno;
    return 0;
}

int run_scan_mode(Context& ctx) {
    const RunMode mode = ctx.command_line.run_mode;
    const int code = mode == RunMode::Update ? kRequestUpdate : kRequestScanNew;
    // A scan whose medium could not be stored is work lost: the catalogue
    // directory must be there and take files before the walk starts.
    const std::string& dir = ctx.paths.catalog_dir;
    if (const int problem = catalogue_directory_problem(dir, true)) {
        std::fprintf(stderr, "orbisto: %s %s: %s\n",
                     ctx.tr("Katalogverzeichnis", "catalogue directory"), dir.c_str(),
                     std::strerror(problem));
        return kExitFailure;
    }
    // Identification, the lowest free number and the fast-load index all
    // need the catalogued media.
    if (!BuildMediaList(ctx)) return kExitFailure;
    ctx.ready = true;
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    std::optional<ProgressLine> line;
    if (terminal || ctx.command_line.progress) {
        line.emplace(stderr, terminal, ctx.english());
        ctx.scan.on_progress = [&line](const WalkProgress& p) { line->show(p); };
    }
    const int stored = HandleScanRequest(ctx, code, ctx.command_line.run_argument);
    ctx.scan.on_progress = nullptr;
    if (line) line->finish();
    if (stored < 0) return kExitFailure;
    const Catalog& cat = ctx.catalog;
    std::printf(ctx.tr("Medium %s als Katalog %d gespeichert (%u Verzeichnisse, %u Dateien)\n",
                       "stored medium %s as catalogue %d (%u directories, %u files)\n"),
                std::string(fixed_text(cat.header.medium_name)).c_str(), stored,
                cat.dir_count() - 1, cat.file_count());
    if (code == kRequestScanNew && ctx.scan.catalogued_as >= 0) {
        std::fprintf(stderr,
                     ctx.tr("orbisto: %s war schon als Katalog %d erfasst; 'orbisto --update %s' "
                            "aktualisiert ihn, statt ein weiteres Medium anzulegen\n",
                            "orbisto: %s was already catalogued as catalogue %d; 'orbisto --update "
                            "%s' updates it instead of adding another medium\n"),
                     ctx.command_line.run_argument.c_str(), ctx.scan.catalogued_as,
                     ctx.command_line.run_argument.c_str());
    }
    if (std::fflush(stdout) != 0) return kExitFailure;
    // A medium stored without all of it is no success: what was left out has
    // been named on standard error.
    const ScanState& scan = ctx.scan;
    return scan.omissions.any() || ctx.limits_hit.any() ? kExitFailure : kExitSuccess;
}

}  // namespace orbisto::app
