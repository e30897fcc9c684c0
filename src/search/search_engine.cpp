#include "search/search_engine.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <new>

#include "catalog/catalog_context.h"
#include "catalog/catalog_format.h"
#include "catalog/catalog_store.h"
#include "catalog/catalog_store_file.h"
#include "catalog/catalog_store_messages.h"
#include "catalog/long_operation.h"
#include "search/duplicates.h"
#include "search/search_confirm.h"
#include "search/search_context.h"
#include "search/search_scan.h"
#include "search/search_time.h"

namespace orbisto {

namespace {

constexpr std::size_t kHitReserve = 100'000;
constexpr std::size_t kDuplicateHitReserve = 200'000;

std::int64_t now_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

long seconds_since(std::int64_t start_ms) {
    return static_cast<long>((now_ms() - start_ms) / 1000);
}

// The catalogue file of a medium: false when it does not exist (skipped
// silently) or, with the date filter on, was last written at or before the
// from instant (it cannot hold anything newer).
bool catalogue_worth_loading(const SearchContext& ctx, const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (!ctx.search.date_filter) return true;
    const std::uint64_t written = filetime_of_unix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    return written > ctx.search.from;
}

// Reads catalogue n into cat. Failures other than a vanished file are
// reported as the loader reports them.
bool load_into(SearchContext& ctx, int n, const std::string& path, CatalogFileBytes& file,
               Catalog& cat) {
    switch (read_catalog_file(path, std::numeric_limits<std::size_t>::max(), file)) {
        case FileReadStatus::Ok:
            break;
        case FileReadStatus::NotFound:
            return false;
        case FileReadStatus::CannotOpen:
            report(ctx, StoreMessage::CannotOpen, path);
            return false;
        case FileReadStatus::VersionError:
            report_read_error(ctx, CatalogReadError::Version, path);
            return false;
        case FileReadStatus::ExpandFailed:
            report(ctx, StoreMessage::ExpandFailed, path);
            return false;
        case FileReadStatus::OutOfMemory:
            report(ctx, StoreMessage::OutOfMemory, path);
            return false;
    }
    const CatalogReadError err = read_catalog_bytes(file.data(), n, ctx.english(), ctx.limits, cat);
    report_read_error(ctx, err, path);
    return err == CatalogReadError::None;
}

void show_medium(SearchContext& ctx, std::size_t i, std::size_t n, const Catalog& cat,
                 std::int64_t start_ms) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "%zu/%zu %s", i + 1, n,
                  std::string(fixed_text(cat.header.medium_name)).c_str());
    ctx.frontend.status(0, buf);
    ctx.frontend.window_title(buf);
    std::snprintf(buf, sizeof buf, "%ld sec", seconds_since(start_ms));
    ctx.frontend.status(2, buf);
}

// One pass over the chosen media (or the loaded medium alone).
bool search_pass(SearchContext& ctx, LongOperation& op, CatalogScan& scan, std::int64_t start_ms) {
    if (ctx.settings.search.flags & kSearchFlagLoadedOnly) {
        const int current = ctx.catalog.current_number();
        const auto number =
            current >= 0 ? static_cast<std::uint32_t>(current) : ctx.catalog.header.catalog_number;
        return scan.run(ctx.catalog, number);
    }
    Catalog cat(ctx.limits, ctx.english());
    CatalogFileBytes file;
    const std::size_t n = ctx.media.entries.size();
    for (std::size_t i = 0; i < n; ++i) {
        op.progress(static_cast<int>(i));
        if (!op.step()) return false;
        // A copy: the entries may change while messages are pumped.
        const MediumHeader m = ctx.media.entries[i];
        if (!in_search_category(ctx, m)) continue;
        const int number = static_cast<int>(m.catalog_number);
        const std::string path = catalog_path(ctx.paths.catalog_dir, number);
        if (!catalogue_worth_loading(ctx, path)) continue;
        if (!load_into(ctx, number, path, file, cat)) continue;
        show_medium(ctx, i, n, cat, start_ms);
        if (!scan.run(cat, m.catalog_number)) return false;
    }
    return true;
}

// Raises the tolerance of an automatic search after a pass without hits;
// false when no wider pass is left.
bool widen(SearchContext& ctx) {
    SearchSettings& s = ctx.settings.search;
    if (!s.automatic) return false;
    if (s.mode == SearchMode::Approximate && s.max_errors < 5) {
        ++s.max_errors;
        return true;
    }
    if (s.mode == SearchMode::Similarity && s.similarity_threshold >= 26) {
        s.similarity_threshold -= 5;
        ctx.search.pattern.FuzzyTreffer = s.similarity_threshold;
        return true;
    }
    return false;
}

// Mode 513: the media that pass the category filter and the date test go to
// the duplicate search. It loads them as the current Catalog, so the user's
// Catalog is set aside meanwhile and put back afterwards, unsaved edits and
// all.
void duplicate_run(SearchContext& ctx, LongOperation& op, std::int64_t start_ms) {
    SearchState& st = ctx.search;
    DuplicateSearchOptions options;
    options.progress_range = static_cast<int>(ctx.media.entries.size());
    options.start_ms = duplicate_clock_ms() - (now_ms() - start_ms);
    for (std::size_t i = 0; i < ctx.media.entries.size(); ++i) {
        const MediumHeader& m = ctx.media.entries[i];
        if (!in_search_category(ctx, m)) continue;
        if (!catalogue_worth_loading(
                ctx, catalog_path(ctx.paths.catalog_dir, static_cast<int>(m.catalog_number)))) {
            continue;
        }
        options.media.push_back(i);
    }
    Catalog saved = std::move(ctx.catalog);
    ctx.catalog = Catalog(ctx.limits, ctx.english());
    ctx.catalog.set_current_number(-1);
    const DuplicateResult r = RunDuplicateSearch(ctx, options, st.hits, op);
    ctx.catalog = std::move(saved);
    st.details.assign(st.hits.size(), HitDetail{HitKind::Duplicate, 0.0});
    st.total_kb = r.total_kb;
}

}  // namespace

bool LoadCatalogForSearch(SearchContext& ctx, int n, Catalog& cat) {
    CatalogFileBytes file;
    return load_into(ctx, n, catalog_path(ctx.paths.catalog_dir, n), file, cat);
}

bool in_search_category(const SearchContext& ctx, const MediumHeader& m) {
    const int c = ctx.settings.search.category & 0xFFFF;
    if (c == 0) return true;
    return IsMemberOfCategory(ctx.categories, ctx.settings.search.include_subcategories ? 1 : 0, m,
                              c);
}

std::string search_status_text(const SearchContext& ctx, std::size_t hits, float total_kb,
                               long seconds) {
    const SearchSettings& s = ctx.settings.search;
    // The string as searched, its stars trimmed.
    const std::string text =
        s.mode == SearchMode::Thumbnails ? std::string("Thumbnails") : ctx.search.pattern.typed;
    const int count = static_cast<int>(std::min<std::size_t>(hits, INT32_MAX));
    const double kb = total_kb;
    char buf[1024];
    if (s.mode == SearchMode::Similarity) {
        std::snprintf(buf, sizeof buf,
                      ctx.tr("Hits:%d L\xC3\xA4nge:%.1f KB Max:%d%% Begriff:%s Zeit:%ld sec",
                             "hits:%d length:%.1f KB max:%d%% string:%s time:%ld sec"),
                      count, kb, ctx.search.pattern.MaxRate, text.c_str(), seconds);
    } else {
        std::snprintf(buf, sizeof buf,
                      ctx.tr("Hits:%d L\xC3\xA4nge:%.1f KB Begriff:%s Zeit:%ld sec",
                             "hits:%d length:%.1f KB string:%s time:%ld sec"),
                      count, kb, text.c_str(), seconds);
    }
    return buf;
}

bool RunSearch(SearchContext& ctx) {
    if (ctx.busy) return false;
    SearchSettings& s = ctx.settings.search;
    SearchState& st = ctx.search;
    const bool nothing_to_find = st.text.empty() || st.pattern.typed.empty();
    if (nothing_to_find && !search_mode_without_text(s.mode)) return false;

    LongOperationOptions options;
    options.text = ctx.tr("Suche l\xC3\xA4uft.", "search in progress.");
    options.range = static_cast<int>(std::min<std::size_t>(ctx.media.entries.size(), INT32_MAX));
    options.replaces_catalog = false;
    LongOperation op(ctx, options);

    const std::int64_t start_ms = now_ms();
    ResetSearchRun(st.pattern);
    st.total_kb = 0;
    st.aborted = false;
    st.hits.clear();
    st.details.clear();
    const bool duplicates = s.mode == SearchMode::Duplicates;
    try {
        const std::size_t reserve = duplicates ? kDuplicateHitReserve : kHitReserve;
        st.hits.reserve(reserve);
        st.details.reserve(reserve);
    } catch (const std::bad_alloc&) {
        ctx.frontend.message(ctx.tr(" zu wenig Speicher ", " out of memory "),
                             ctx.tr("Fehler!", "error!"), Buttons::Ok, Icon::Stop);
        ctx.observer.hits_changed();
        return true;
    }

    if (duplicates) {
        duplicate_run(ctx, op, start_ms);
    } else {
        const bool automatic =
            s.automatic && (s.mode == SearchMode::Approximate || s.mode == SearchMode::Similarity);
        if (automatic) {
            s.max_errors = 0;
            s.similarity_threshold = 100;
            st.pattern.FuzzyTreffer = 100;
        }
        for (;;) {
            const ScanParams params = ScanParams::from_context(ctx);
            CatalogScan scan(ctx, params);
            const bool completed = search_pass(ctx, op, scan, start_ms);
            if (!completed || scan.hits() > 0 || !automatic || !widen(ctx)) break;
        }
    }

    st.aborted = ctx.frontend.abort_requested();
    op.finish();
    st.seconds = seconds_since(start_ms);
    st.status_text = search_status_text(ctx, st.hits.size(), st.total_kb, st.seconds);
    ctx.frontend.window_title(window_title());
    ctx.status(st.status_text);
    ctx.observer.hits_changed();
    return true;
}

}  // namespace orbisto
