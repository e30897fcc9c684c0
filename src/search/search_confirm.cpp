#include "search/search_confirm.h"

#include <algorithm>
#include <string>

#include "search/search_context.h"
#include "search/search_state.h"
#include "search/search_time.h"
#include "settings/environment.h"
#include "settings/settings_io.h"

namespace orbisto {

bool search_mode_without_text(SearchMode mode) {
    return mode == SearchMode::Thumbnails || mode == SearchMode::Favourites;
}

void BeginSearchDialog(SearchContext& ctx, bool refine, bool shift_held) {
    ctx.search.MinKB = 0;
    ctx.search.MaxKB = 0;
    ctx.search.exact_size = false;
    if (!refine && !shift_held) {
        ctx.settings.search.category = 0;
        ctx.search.date_filter = false;
    }
}

void SetSearchDates(SearchContext& ctx) {
    const SearchSettings& s = ctx.settings.search;
    ctx.search.from = filetime_of_day(s.from_year, s.from_month, s.from_day, false);
    ctx.search.to = filetime_of_day(s.to_year, s.to_month, s.to_day, true);
}

void UpdateSearchHistory(SearchContext& ctx, std::string_view text) {
    if (text.empty()) return;
    auto& h = ctx.settings.search.history;
    const auto found = std::find(h.begin(), h.end(), text);
    if (found != h.end()) {
        std::swap(*found, h[0]);
        return;
    }
    std::move_backward(h.begin(), h.end() - 1, h.end());
    h[0] = std::string(text);
}

std::optional<PatternError> PrepareSearch(SearchContext& ctx, std::string_view text) {
    const SearchSettings& s = ctx.settings.search;
    SearchState& st = ctx.search;
    st.text = std::string(pattern::utf8_prefix_chars(text, kSearchTextSize - 1));
    SearchPattern& p = st.pattern;
    p.mode = s.mode;
    p.IgnoreCase = s.ignore_case;
    p.FuzzyTreffer = s.similarity_threshold;
    p.FuzzyToleranz = s.fuzzy_tolerance;
    // Messages of the regular-expression compiler go to the status line.
    p.status = [&ctx](std::string_view message) { ctx.status(message); };
    return PrepareSearchString(p, st.text, ctx.english());
}

bool ConfirmSearch(SearchContext& ctx, std::string_view text) {
    SetSearchDates(ctx);
    const SearchMode mode = ctx.settings.search.mode;
    // A string of stars alone leaves nothing to search for.
    if (TrimSearchString(text).empty() && !search_mode_without_text(mode)) {
        ctx.frontend.message(ctx.tr("Das ist mir zu wenig;-{)}", "your kidding;-{)}"),
                             ctx.tr("Weniger als 1 Buchstaben", "less then 1 character"),
                             Buttons::Ok, Icon::Exclamation);
        return false;
    }
    const std::string cut(pattern::utf8_prefix_chars(text, kSearchTextSize - 1));
    UpdateSearchHistory(ctx, cut);
    write_search(ctx);
    if (auto error = PrepareSearch(ctx, cut)) {
        ctx.frontend.message(error->text, error->title, Buttons::Ok, Icon::Stop);
        return false;
    }
    return true;
}

}  // namespace orbisto
