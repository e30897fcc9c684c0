// The test of one Catalog against a prepared search: the medium information,
// directory names, directory comments, file names and file comments in this
// fixed order, or the thumbnail and favourite records, each object through
// the size and date filters. Hits go to ctx.search.
#pragma once

#include <cstdint>

#include "catalog/catalog.h"
#include "search/search_state.h"

namespace orbisto {

struct SearchContext;

// The filters and switches of one run, taken from the settings and the
// search state when the run starts.
struct ScanParams {
    SearchMode mode = SearchMode::Normal;
    int scope = 7;
    bool only_with_comment = false;
    bool min_on = false;
    bool max_on = false;
    float min_kb = 0;
    float max_kb = 0;
    bool date_on = false;
    std::uint64_t from = 0;
    std::uint64_t to = 0;
    int max_errors = 0;  // mode 508

    static ScanParams from_context(const SearchContext& ctx);

    bool size_ok(float size_kb, bool strict_min) const {
        if (min_on && (strict_min ? !(size_kb > min_kb) : !(min_kb <= size_kb))) return false;
        return !max_on || size_kb <= max_kb;
    }
    bool date_ok(std::uint64_t t) const { return !date_on || (from <= t && t <= to); }
};

// Runs the scan of `cat`, whose objects belong to catalogue `number`.
// Returns false when the run must end: the abort flag was set, or the hit
// list could not grow (the message has been shown).
class CatalogScan {
  public:
    CatalogScan(SearchContext& ctx, const ScanParams& params) : ctx_(ctx), params_(params) {}

    bool run(const Catalog& cat, std::uint32_t number);

    // Hits recorded by this scanner over all catalogues it saw.
    std::size_t hits() const { return hits_; }

  private:
    bool tick();
    bool test(std::string_view text);
    bool record(const Catalog& cat, std::uint32_t object, std::uint32_t mark, HitKind kind,
                float size_kb);

    bool medium_info(const Catalog& cat);
    bool dir_names(const Catalog& cat);
    bool dir_comments(const Catalog& cat);
    bool file_names(const Catalog& cat);
    bool file_comments(const Catalog& cat);
    bool thumbnails(const Catalog& cat);
    bool favourites(const Catalog& cat);

    SearchContext& ctx_;
    const ScanParams& params_;
    std::uint32_t number_ = 0;
    unsigned ticks_ = 0;
    double quality_ = 0;
    std::size_t hits_ = 0;
    bool full_ = false;
};

}  // namespace orbisto
