// What happens when the search dialog is opened and confirmed: the dates
// become FILETIME bounds, an empty search string is refused, the history is
// updated and written, and the pattern is prepared.
#pragma once

#include <optional>
#include <string_view>

#include "search/search_pattern.h"

namespace orbisto {

struct SearchContext;

// True for the modes that test no text (thumbnails, favourites), where an
// empty search string is allowed.
bool search_mode_without_text(SearchMode mode);

// Opening the first page of the dialog: the size bounds start at 0; a new
// search (refine false, Shift not held) starts in category 0 with the date
// filter off.
void BeginSearchDialog(SearchContext& ctx, bool refine, bool shift_held);

// The from and to dates of the settings as FILETIMEs: from at 00:00:00.000,
// to at 23:59:59.999, both taken as UTC.
void SetSearchDates(SearchContext& ctx);

// The history of search strings: a string already present swaps places with
// entry 0; otherwise entries 0-8 move down one place and the string becomes
// entry 0. An empty string leaves the history alone. Memory only.
void UpdateSearchHistory(SearchContext& ctx, std::string_view text);

// Sets ctx.search.text (cut to 127 characters) and prepares the pattern with
// the mode, case option and thresholds of the settings. Returns the message
// to show when the pattern cannot be used (nothing is shown here).
std::optional<PatternError> PrepareSearch(SearchContext& ctx, std::string_view text);

// The confirmation of the dialog, in order: dates, the refusal of a string
// that is empty once its stars are trimmed ("Das ist mir zu wenig;-{)}"), the history with a write
// of the settings, and the preparation (an illegal approximate pattern shows "Suchbegriff falsch").
// True when the search may run.
bool ConfirmSearch(SearchContext& ctx, std::string_view text);

}  // namespace orbisto
