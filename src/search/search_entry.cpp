#include "search/search_entry.h"

#include "search/search_confirm.h"
#include "search/search_context.h"
#include "search/search_engine.h"
#include "search/search_time.h"
#include "settings/environment.h"
#include "settings/settings_io.h"

namespace orbisto {

namespace {

// The settings every search without the dialog starts from.
void force_plain_name_search(SearchContext& ctx) {
    SearchSettings& s = ctx.settings.search;
    s.mode = SearchMode::Normal;
    s.scope = kScopeDirs | kScopeFiles;
    s.include_subcategories = true;
    s.flags &= ~kSearchFlagLoadedOnly;
    SearchState& st = ctx.search;
    st.only_with_comment = false;
    st.date_filter = false;
    st.MinKB = 0;
    st.MaxKB = 0;
    st.exact_size = false;
}

const FileRecord* file_of(const SearchContext& ctx, std::uint32_t object) {
    if (is_dir_object(object)) return nullptr;
    const auto files = ctx.catalog.files();
    const std::uint32_t i = object_index(object);
    return i < files.size() ? &files[i] : nullptr;
}

// Runs a context-menu search whose settings have been forced, then takes the
// stored search settings back.
bool run_context_search(SearchContext& ctx, std::string_view text, bool shift_held) {
    SearchSettings& s = ctx.settings.search;
    s.category = shift_held ? (ctx.settings.state.last_category & 0xFFFF) : 0;
    const bool prepared = !PrepareSearch(ctx, text).has_value();
    const bool ran = prepared && RunSearch(ctx);
    read_search(ctx);
    return ran;
}

}  // namespace

bool SearchSameName(SearchContext& ctx, std::uint32_t object, bool shift_held) {
    const FileRecord* f = file_of(ctx, object);
    if (!f) return false;
    const std::string name(ctx.catalog.name_at(f->name));
    force_plain_name_search(ctx);
    ctx.settings.search.ignore_case = true;
    return run_context_search(ctx, name, shift_held);
}

bool SearchSameLength(SearchContext& ctx, std::uint32_t object, bool shift_held) {
    const FileRecord* f = file_of(ctx, object);
    if (!f) return false;
    force_plain_name_search(ctx);
    ctx.settings.search.ignore_case = false;
    ctx.search.MinKB = ctx.search.MaxKB = f->size_kb;
    ctx.search.exact_size = true;
    return run_context_search(ctx, "?", shift_held);
}

bool SearchSameDate(SearchContext& ctx, std::uint32_t object, bool shift_held) {
    const FileRecord* f = file_of(ctx, object);
    if (!f) return false;
    force_plain_name_search(ctx);
    ctx.settings.search.ignore_case = false;
    SearchState& st = ctx.search;
    st.date_filter = true;
    st.from = filetime_day_start(f->time.value());
    st.to = st.from + kFileTimePerDay - kFileTimePerMs;
    return run_context_search(ctx, "?", shift_held);
}

std::string_view search_file_name_part(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash != std::string_view::npos) return path.substr(slash + 1);
    if (path.size() >= 2 && path[1] == ':') return path.substr(2);
    return path;
}

bool PrepareCommandLineSearch(SearchContext& ctx) {
    const RunMode mode = ctx.command_line.run_mode;
    if (mode != RunMode::Search && mode != RunMode::SearchCategory) return false;
    force_plain_name_search(ctx);
    SearchSettings& s = ctx.settings.search;
    s.ignore_case = true;
    if (mode == RunMode::Search) s.category = 0;
    return !PrepareSearch(ctx, search_file_name_part(ctx.command_line.run_argument)).has_value();
}

}  // namespace orbisto
