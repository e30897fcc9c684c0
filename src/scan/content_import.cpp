#include "scan/content_import.h"

#include <ctime>

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "catalog/save_question.h"
#include "platform/codepage.h"
#include "scan/scan_checks.h"
#include "scan/scan_context.h"
#include "scan/scan_growth.h"
#include "scan/scan_steps.h"
#include "scan/scan_time.h"
#include "text/description_files.h"
#include "text/description_text.h"

namespace orbisto {

namespace {

// Lists longer than this are refused rather than read half.
constexpr std::size_t kMaxImportBytes = std::size_t{256} << 20;

// The list as UTF-8: a byte-order mark dropped; a text that is not UTF-8 is
// Windows-1252, or with convert_dos_text DOS code page 850 as a whole.
std::string list_text_utf8(const ScanContext& ctx, std::string bytes) {
    if (std::string_view(bytes).starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
    if (is_valid_utf8(bytes)) return bytes;
    if (ctx.settings.options.convert_dos_text) bytes = oem850_to_cp1252(bytes);
    return cp1252_to_utf8(bytes);
}

void report_unreadable(ScanContext& ctx, const std::string& path, bool too_long) {
    std::string text =
        too_long ? ctx.tr("Datei ist zu gro\xC3\x9F f\xC3\xBCr den Import:\r\n",
                          "file is too large to import:\r\n")
                 : ctx.tr("Datei kann nicht gelesen werden:\r\n", "cannot read the file:\r\n");
    text += path;
    ctx.frontend.message(text, ctx.tr("Datei f\xC3\xBCr Import", "file for import"), Buttons::Ok,
                         Icon::Exclamation);
}

// Appends the entries as files of the root; stops where a work area is full
// (the limit flags say which).
void add_entries(ScanContext& ctx, const ContentList& list) {
    Catalog& cat = ctx.catalog;
    FileTime now = filetime_from_unix(static_cast<std::int64_t>(std::time(nullptr)), 0);
    for (const ContentEntry& e : list.entries) {
        if (!GrowWorkAreas(ctx)) return;
        FileRecord rec;
        rec.size_kb = size_kb_from_bytes(e.size_bytes);
        rec.time = now;
        rec.parent = 0;
        const AppendResult n = cat.append_name(e.name);
        if (!n.ok()) {
            ctx.limits_hit.names = true;
            return;
        }
        rec.name = n.value;
        if (!e.comment.empty() && !set_description_comment(ctx, e.comment, rec.comment) &&
            ctx.limits_hit.any()) {
            return;
        }
        if (!cat.append_file(rec).ok()) {
            ctx.limits_hit.files = true;
            return;
        }
    }
}

}  // namespace

int ImportContentFile(ScanContext& ctx, const std::string& path, ContentFormat format) {
    std::optional<std::string> bytes = read_file_prefix(path, kMaxImportBytes + 1);
    if (!bytes || bytes->size() > kMaxImportBytes) {
        report_unreadable(ctx, path, bytes.has_value());
        return -1;
    }
    if (!ask_save_if_changed(ctx)) return -1;
    const ContentList list = parse_content_list(list_text_utf8(ctx, std::move(*bytes)), format);

    const int before = ctx.catalog.current_number();
    Catalog& cat = ctx.catalog;
    cat.reset(ctx.english());
    cat.set_current_number(-1);
    ctx.limits_hit = ScanLimitsHit{};
    set_fixed_text(cat.header.medium_name, list.medium_name);
    add_entries(ctx, list);
    report_scan_limits(ctx);

    cat.set_description(kImportDescription);
    finish_scanned_records(ctx);
    const int stored = store_scanned_medium(ctx, -1);
    cat.set_changed(false);
    if (stored < 0) {
        if (before >= 0) LoadCatalog(ctx, before);
        return -1;
    }
    LoadCatalog(ctx, stored);
    return stored;
}

}  // namespace orbisto
