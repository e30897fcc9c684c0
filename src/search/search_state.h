// The state of the search that lives beside the persisted search settings:
// the prepared pattern, the switches and bounds that are not stored, the hit
// list and the totals of the last run. One per Context.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "catalog/catalog.h"
#include "catalog/records.h"
#include "search/search_pattern.h"

namespace orbisto {

// Bit of the `Flag` setting: search only the loaded medium.
inline constexpr int kSearchFlagLoadedOnly = 0x8000;

// Bits of SearchSettings::scope.
inline constexpr int kScopeComments = 1;
inline constexpr int kScopeDirs = 2;
inline constexpr int kScopeFiles = 4;
inline constexpr int kScopeInfo = 8;

// A size bound below this is off.
inline constexpr float kSizeBoundMin = 0.01f;

// What a hit was found in; HitRecord cannot tell a medium-information hit
// from a hit on file 0, and the two kinds of text of one object.
enum class HitKind : std::uint8_t {
    MediumInfo,
    DirName,
    DirComment,
    FileName,
    FileComment,
    Thumbnail,
    Favourite,
    Duplicate
};

// Per-hit details kept beside the hit list (same index).
struct HitDetail {
    HitKind kind = HitKind::FileName;
    // Mode 508: the error count; mode 509: the similarity rate (-1 when the
    // search string is too short to be rated); else 0.
    double quality = 0;
};

// Called for every hit as it is recorded, while the Catalog that holds the
// object is still in memory (the result view shows rows as they come).
using HitSink =
    std::function<void(const Catalog& cat, const HitRecord& hit, const HitDetail& detail)>;

struct SearchState {
    // The search string as typed (UTF-8, at most 127 characters), and the
    // pattern prepared from it.
    std::string text;
    SearchPattern pattern;

    // Not persisted.
    bool only_with_comment = false;
    bool date_filter = false;
    float MinKB = 0;  // KB; below kSizeBoundMin: off
    float MaxKB = 0;
    // The bounds apply even below kSizeBoundMin ("same length" of an empty
    // file must find the empty files, not everything).
    bool exact_size = false;
    std::uint64_t from = 0;  // FILETIME, start of the from day (UTC)
    std::uint64_t to = 0;    // FILETIME, last millisecond of the to day (UTC)

    // The result of the last run.
    std::vector<HitRecord> hits;
    std::vector<HitDetail> details;
    float total_kb = 0;
    long seconds = 0;         // duration of the last run
    bool aborted = false;     // the last run was aborted
    std::string status_text;  // the final status line of the last run

    // Receives every hit as it is recorded; may be empty.
    HitSink on_hit;
};

}  // namespace orbisto
