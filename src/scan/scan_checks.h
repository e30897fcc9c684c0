// The checks after an interactive scan: keeping only described files, the
// limit and abort reports, the empty-medium and the duplicate question.
#pragma once

namespace orbisto {

struct ScanContext;

// With only_listed_files on: drops every file without a comment and compacts the
// Catalog, then totals it again. When no file has a comment at all, asks
// " Alle Dateien übernehmen? " and keeps every file whatever the answer.
void keep_described_files(ScanContext& ctx);

// The information boxes for an aborted scan and for each work area that ran
// full, in that order. They only inform.
void report_scan_limits(ScanContext& ctx);

// One information line per directory the walk left out (the first
// ScanOmissions::kNamed, each with its path and reason), then the number of
// the others. Nothing when the walk left nothing out.
void report_scan_omissions(ScanContext& ctx);

// No file recorded: asks " trotzdem aufnehmen? ". False when the answer is No.
bool confirm_empty_medium(ScanContext& ctx);

// A new medium that equals a catalogued one: asks " trotzdem aufnehmen? "
// titled " Medium wahrscheinlich schon gelesen ". On No the catalogued
// medium is loaded and false returned.
bool confirm_not_duplicate(ScanContext& ctx);

}  // namespace orbisto
