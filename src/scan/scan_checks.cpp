#include "scan/scan_checks.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "catalog/catalog_compact.h"
#include "catalog/catalog_context.h"
#include "catalog/catalog_edit.h"
#include "catalog/catalog_store.h"
#include "scan/medium_identify.h"
#include "scan/scan_context.h"
#include "scan/scan_steps.h"

namespace orbisto {

void keep_described_files(ScanContext& ctx) {
    if (!ctx.settings.options.only_listed_files) return;
    Catalog& cat = ctx.catalog;
    const auto files = cat.files();
    const bool any_comment = std::any_of(
        files.begin(), files.end(), [](const FileRecord& f) { return f.comment != COMMENT_NONE; });
    if (!any_comment) {
        // Dropping every file would leave nothing of the medium: ask, and
        // keep them all either way.
        ctx.frontend.message(
            ctx.tr(" Alle Dateien \303\274bernehmen? ", " should I take all files? "),
            ctx.tr(" Keine passende Datei gefunden ", " no correct file found "), Buttons::YesNo,
            Icon::Question);
        return;
    }
    if (delete_files_without_comment(cat) == 0) return;
    compact_records_and_names(cat, ctx.frontend, ctx.english());
    compact_comments(cat, ctx.frontend, ctx.english());
    // The totals were made with the dropped files.
    finish_scanned_records(ctx);
}

void report_scan_limits(ScanContext& ctx) {
    const char* aborted = ctx.tr(" Scan abgebrochen ", " scan abbort ");
    const auto inform = [&](const char* caption) {
        ctx.frontend.message(aborted, caption, Buttons::Ok, Icon::Information);
    };
    const ScanLimitsHit& hit = ctx.limits_hit;
    if (ctx.frontend.abort_requested()) inform(ctx.tr(" Benutzeraktion ", " userinteraction "));
    if (hit.dirs) inform(ctx.tr(" Zu viele Verzeichnisse ", " to many directories "));
    if (hit.files) inform(ctx.tr(" Zu viele Dateien ", " to many files "));
    if (hit.comments) inform(ctx.tr(" Zu viele Kommentare ", " comments to long "));
    if (hit.names) inform(ctx.tr(" Zu lange Dateinamen ", " names to long "));
}

void report_scan_omissions(ScanContext& ctx) {
    const ScanOmissions& o = ctx.scan.omissions;
    if (!o.any()) return;
    const char* caption = ctx.tr(" Nicht eingelesen ", " left out ");
    for (const ScanOmission& m : o.named) {
        std::string text = m.path + ": ";
        switch (m.reason) {
            case OmissionReason::Unreadable:
                text += ctx.tr("nicht lesbar (", "not readable (");
                text += std::strerror(m.error);
                text += ")";
                break;
            case OmissionReason::TooDeep:
                text += ctx.tr("zu tief verschachtelt", "nested too deep");
                break;
            case OmissionReason::LimitHit:
                text += ctx.tr("nicht vollst\xC3\xA4ndig, ein Arbeitsbereich ist voll",
                               "not read in full, a work area is full");
                break;
        }
        ctx.frontend.message(text, caption, Buttons::Ok, Icon::Information);
    }
    if (o.count > o.named.size()) {
        char text[96];
        std::snprintf(text, sizeof text, ctx.tr("und %llu weitere", "and %llu more"),
                      static_cast<unsigned long long>(o.count - o.named.size()));
        ctx.frontend.message(text, caption, Buttons::Ok, Icon::Information);
    }
}

bool confirm_empty_medium(ScanContext& ctx) {
    if (ctx.catalog.file_count() > 0) return true;
    return ctx.frontend.message(" trotzdem aufnehmen? ", " Medium enth\xC3\xA4lt keine Dateien ",
                                Buttons::YesNo, Icon::Question) != Answer::No;
}

bool confirm_not_duplicate(ScanContext& ctx) {
    const std::ptrdiff_t found = FindDuplicateMedium(ctx);
    if (found < 0 || static_cast<std::size_t>(found) >= ctx.media.entries.size()) return true;
    const Answer a = ctx.frontend.message(
        ctx.tr(" trotzdem aufnehmen? ", " take it nevertheless? "),
        ctx.tr(" Medium wahrscheinlich schon gelesen ", " Medium might be already in database "),
        Buttons::YesNo, Icon::Question);
    if (a != Answer::No) return true;
    // The scanned Catalog is dropped for the catalogued one, without a save
    // question for it.
    ctx.catalog.set_changed(false);
    LoadCatalog(ctx, static_cast<int>(ctx.media.entries[found].catalog_number & 0xFFFF));
    return false;
}

}  // namespace orbisto
