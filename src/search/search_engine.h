// The search over all catalogues: the run loop over the MediaList with the
// category filter, the catalogue-date skip and automatic widening, the scan
// of the loaded medium alone, the duplicate search (mode 513), totals and the
// final status line.
//
// The catalogues are read into a Catalog of the run's own, never into the
// current one: a search neither asks to save unsaved edits nor replaces the
// medium the user is working on, so nothing has to be reloaded afterwards.
#pragma once

#include <string>

#include "catalog/catalog.h"
#include "catalog/records.h"

namespace orbisto {

struct SearchContext;

// Runs the search prepared in ctx.search (see ConfirmSearch and the entry
// points) with ctx.settings.search. Does nothing (false) while another long
// operation runs, or when the search string is empty (also once its stars
// are trimmed) in a mode that tests text. Otherwise empties and refills ctx.search.hits, sets the
// totals and the final status line (status part 0) and returns true, also after an abort. The
// settings changed by automatic widening stay in memory only.
//
// The main window switches its category view to the search category before
// calling this when the search is not limited to the loaded medium.
bool RunSearch(SearchContext& ctx);

// The final status line of a run with these totals, in the interface
// language.
std::string search_status_text(const SearchContext& ctx, std::size_t hits, float total_kb,
                               long seconds);

// Whether a MediaList entry passes the search's category filter: category 0
// takes every medium; otherwise the medium must be a member of the category
// as the category tree shows it (with `include_subcategories` its subcategories
// count).
bool in_search_category(const SearchContext& ctx, const MediumHeader& m);

// Reads catalogue n into cat (not into the current Catalog). A missing file
// gives false silently; other failures are reported as the loader reports
// them.
bool LoadCatalogForSearch(SearchContext& ctx, int n, Catalog& cat);

}  // namespace orbisto
