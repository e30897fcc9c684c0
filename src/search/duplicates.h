// Duplicate files: every file that occurs more than once in the chosen media,
// judged by name (without case) and size. The search run (mode 513) collects
// the FileRecords of each medium into a DuplicateTable, then compares them and
// appends the rows to the hit list: each group of equal files as consecutive
// rows, its first member followed by every later member, groups in the order
// of their first members.
//
// Two files are equal when their folded names (fold_duplicate_name) are equal
// and |size_a - size_b| < 0.001 KB (computed in 32-bit floats). The size rule
// is not transitive, so the order in which files are visited matters: a file
// reported as a later member is never the first member of another group. The
// comparison groups by folded name and searches sizes within a group, which
// gives exactly the rows of the pairwise scan without its quadratic cost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog.h"
#include "catalog/long_operation.h"
#include "catalog/records.h"

namespace orbisto {

struct SearchContext;

// The case-insensitive form of a name: upper case of the letters of ASCII,
// Latin-1, Latin Extended-A, Greek and Cyrillic; every other byte, invalid
// UTF-8 included, stays. Two names are equal for the duplicate search when
// their folded forms are byte-for-byte equal.
std::string fold_duplicate_name(std::string_view name);
void fold_duplicate_name_append(std::string_view name, std::string& out);

// The size rule of the duplicate search.
bool duplicate_sizes_match(float a, float b);

// The counts the final status line needs.
struct DuplicateResult {
    std::size_t files = 0;       // entries compared (all FileRecords collected)
    std::size_t rows = 0;        // hit rows appended ("Hits:%d")
    std::size_t duplicates = 0;  // rows that are later members of a group
    float total_kb = 0;          // sum of the sizes of the later members ("Länge:%.1f KB")
    bool aborted = false;        // the abort flag ended the run early
    bool out_of_memory = false;  // a table or the hit list could not grow (message shown)
};

// The file table of one run.
class DuplicateTable {
  public:
    // Appends every FileRecord 0 .. file_count-1 of the catalog; hits name
    // the medium by catalog_number. No size, date or comment filter applies.
    // Throws std::bad_alloc when memory runs out (RunDuplicateSearch turns
    // that into its message).
    void add_medium(const Catalog& catalog, std::uint32_t catalog_number);

    std::size_t count() const { return entries_.size(); }
    // Bytes held by the table and its name pool (for the status line).
    std::size_t memory_bytes() const;

    // Compares all collected entries and appends the rows to hits. With an
    // operation frame: the progress text "Suche nach Duplikaten läuft.", the
    // status parts 1 ("Dateien:%d von %d Dups:%d %dMB") and 2 ("%ld sec",
    // since start_ms), progress over progress_range and the message pump run
    // between steps; an abort ends the comparison with the rows found so far,
    // which are then exactly the first rows of the full result. Without one
    // (op == nullptr) it runs to the end silently.
    DuplicateResult compare(SearchContext& ctx, std::vector<HitRecord>& hits, LongOperation* op,
                            int progress_range = 100, std::int64_t start_ms = 0);

  private:
    struct Entry {
        std::uint32_t name;  // offset of the folded name in names_
        std::uint32_t name_length;
        float size_kb;
        std::uint32_t file;
        std::uint32_t catalog_number;
    };
    std::vector<Entry> entries_;
    std::string names_;  // folded names, back to back
};

struct DuplicateSearchOptions {
    // The media to visit, as MediaList positions in MediaList order: the
    // caller has applied the category filter and the catalogue-date test.
    std::vector<std::size_t> media;
    // The range the caller opened the progress dialog with (the media count).
    int progress_range = 100;
    // Start of the run in milliseconds (steady clock), for the "%ld sec" part.
    std::int64_t start_ms = 0;
};

// Mode 513 inside the search run's operation frame: for each medium, loads
// its catalogue (a missing file is skipped silently, a file that cannot be
// loaded is skipped after the loader's message), shows "%d/%d %s" in status
// part 0 and the window title and the elapsed seconds in part 2, and collects
// its files; then compares and appends the rows to hits. The caller empties
// hits before, shows the final status line from the result afterwards and
// reloads the medium selected in the media box. Out of memory for the table
// shows " zu wenig Speicher " / "Fehler!" and ends the run (rows already
// appended stay).
DuplicateResult RunDuplicateSearch(SearchContext& ctx, const DuplicateSearchOptions& options,
                                   std::vector<HitRecord>& hits, LongOperation& op);

// Milliseconds of the steady clock, the time base of start_ms.
std::int64_t duplicate_clock_ms();

}  // namespace orbisto
