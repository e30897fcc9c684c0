// Duplicate files: the table of a run and its comparison.
//
// The rows are those of the pairwise scan "for each file i not yet reported,
// every later file j not yet reported with an equal name and a matching size
// is a duplicate of i". Equal names have equal folded names, so only files of
// one folded-name group can match. Within a group the files are kept sorted
// by size, and a skip list over that order drops every file once it has been
// visited as i or reported as j. Visiting i in table order, the candidates of
// i are then exactly the live files of its group within the size tolerance,
// all of them later than i, as the pairwise scan requires.
#include "search/duplicates.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <new>

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "platform/files.h"
#include "search/search_context.h"

namespace orbisto {

namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFFu;
// Sizes that can match differ by less than 0.001 KB; the window looked at is
// wider, and the size rule itself decides.
constexpr double kWindow = 0.002;
// Entries compared between two runs of the message pump.
constexpr std::size_t kEntriesPerPump = 4096;

bool comparable_size(float s) {
    return std::isfinite(s) && s >= 0.0f;
}

// "Next live position at or after p" with path compression; removing p links
// it to p + 1.
class SkipList {
  public:
    explicit SkipList(std::size_t n) : next_(n + 1) {
        for (std::size_t i = 0; i <= n; ++i) next_[i] = static_cast<std::uint32_t>(i);
    }
    void remove(std::uint32_t p) { next_[p] = p + 1; }
    std::uint32_t find(std::uint32_t p) {
        std::uint32_t root = p;
        while (next_[root] != root) root = next_[root];
        while (next_[p] != root) {
            const std::uint32_t up = next_[p];
            next_[p] = root;
            p = up;
        }
        return root;
    }

  private:
    std::vector<std::uint32_t> next_;
};

// Appends rows with room for `more` of them first, so that a group is either
// appended whole or not at all. False when memory ran out (message shown).
bool make_room(SearchContext& ctx, std::vector<HitRecord>& hits, std::size_t more) {
    try {
        if (hits.capacity() - hits.size() < more) {
            hits.reserve(std::max(hits.capacity() * 2, hits.size() + more));
        }
        return true;
    } catch (const std::bad_alloc&) {
        ctx.frontend.message(ctx.tr("Zu wenig Speicher!", "out of memory!"),
                             ctx.tr("Fehler", "error"), Buttons::Ok, Icon::Stop);
        return false;
    }
}

void table_memory_message(SearchContext& ctx) {
    ctx.frontend.message(ctx.tr(" zu wenig Speicher ", " out of memory "),
                         ctx.tr("Fehler!", "error!"), Buttons::Ok, Icon::Stop);
}

std::string format(const char* fmt, auto... args) {
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

}  // namespace

std::int64_t duplicate_clock_ms() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void DuplicateTable::add_medium(const Catalog& catalog, std::uint32_t catalog_number) {
    const auto files = catalog.files();
    if (entries_.capacity() - entries_.size() < files.size()) {
        entries_.reserve(std::max(entries_.capacity() * 2, entries_.size() + files.size() + 10));
    }
    for (std::uint32_t f = 0; f < files.size(); ++f) {
        const std::string_view name = catalog.file_name(f);
        // Offsets and counts are 32-bit; a table past that is out of memory.
        if (names_.size() + name.size() >= kNone || entries_.size() >= kNone - 1) {
            throw std::bad_alloc();
        }
        const std::size_t offset = names_.size();
        fold_duplicate_name_append(name, names_);
        entries_.push_back({static_cast<std::uint32_t>(offset),
                            static_cast<std::uint32_t>(names_.size() - offset), files[f].size_kb, f,
                            catalog_number});
    }
}

std::size_t DuplicateTable::memory_bytes() const {
    return entries_.size() * 24 + names_.size();
}

DuplicateResult DuplicateTable::compare(SearchContext& ctx, std::vector<HitRecord>& hits,
                                        LongOperation* op, int progress_range,
                                        std::int64_t start_ms) {
    DuplicateResult result;
    const std::size_t n = entries_.size();
    result.files = n;
    if (op)
        op->text(
            ctx.tr("Suche nach Duplikaten l\xC3\xA4uft.", "search for duplicates in progress."));
    if (n > kNone - 1) {
        table_memory_message(ctx);
        result.out_of_memory = true;
        return result;
    }

    std::vector<std::uint32_t> sorted;     // group segments, each ordered by size
    std::vector<std::uint32_t> where;      // entry -> position in sorted, or kNone
    std::vector<std::uint32_t> seg_begin;  // entry -> its group's segment
    std::vector<std::uint32_t> seg_end;
    std::vector<char> reported;
    try {
        // Group ids by folded name; only sizes that can match count.
        std::vector<std::uint32_t> group(n, kNone);
        std::vector<std::uint32_t> members;
        {
            // Open addressing over the first entry of each group: slot holds
            // that entry + 1, or 0 when free. Load factor at most 1/2.
            std::size_t cap = 16;
            while (cap < 2 * n) cap *= 2;
            std::vector<std::uint32_t> slots(cap, 0);
            std::vector<std::uint32_t> hashes(n);
            const auto key = [this](std::size_t e) {
                return std::string_view(names_.data() + entries_[e].name, entries_[e].name_length);
            };
            for (std::size_t e = 0; e < n; ++e) {
                if (!comparable_size(entries_[e].size_kb)) continue;
                const std::string_view k = key(e);
                const std::size_t h = std::hash<std::string_view>{}(k);
                hashes[e] = static_cast<std::uint32_t>(h);
                std::size_t s = h & (cap - 1);
                while (true) {
                    const std::uint32_t other = slots[s];
                    if (other == 0) {
                        slots[s] = static_cast<std::uint32_t>(e + 1);
                        group[e] = static_cast<std::uint32_t>(members.size());
                        members.push_back(1);
                        break;
                    }
                    if (hashes[other - 1] == hashes[e] && key(other - 1) == k) {
                        group[e] = group[other - 1];
                        ++members[group[e]];
                        break;
                    }
                    s = (s + 1) & (cap - 1);
                }
            }
        }
        // Segment starts of the groups with two or more members.
        std::vector<std::uint32_t> start(members.size(), kNone);
        std::uint32_t total = 0;
        for (std::size_t g = 0; g < members.size(); ++g) {
            if (members[g] >= 2) {
                start[g] = total;
                total += members[g];
            }
        }
        sorted.resize(total);
        where.assign(n, kNone);
        seg_begin.assign(n, 0);
        seg_end.assign(n, 0);
        std::vector<std::uint32_t> fill(start);
        for (std::size_t e = 0; e < n; ++e) {
            const std::uint32_t g = group[e];
            if (g == kNone || start[g] == kNone) continue;
            sorted[fill[g]++] = static_cast<std::uint32_t>(e);
        }
        for (std::size_t g = 0; g < members.size(); ++g) {
            if (start[g] == kNone) continue;
            const auto b = sorted.begin() + start[g];
            const auto en = b + members[g];
            std::sort(b, en, [this](std::uint32_t x, std::uint32_t y) {
                const float sx = entries_[x].size_kb, sy = entries_[y].size_kb;
                return sx < sy || (sx == sy && x < y);
            });
        }
        for (std::uint32_t p = 0; p < total; ++p) {
            const std::uint32_t e = sorted[p];
            where[e] = p;
            seg_begin[e] = start[group[e]];
            seg_end[e] = start[group[e]] + members[group[e]];
        }
        reported.assign(n, 0);
    } catch (const std::bad_alloc&) {
        table_memory_message(ctx);
        result.out_of_memory = true;
        return result;
    }

    SkipList live(sorted.size());
    std::vector<std::uint32_t> found;
    const double mb = static_cast<double>(memory_bytes()) / (1024.0 * 1024.0);

    for (std::size_t i = 0; i < n; ++i) {
        if (op && i % kEntriesPerPump == 0) {
            if (progress_range > 0) {
                op->progress(static_cast<int>(static_cast<double>(i) * progress_range /
                                              static_cast<double>(n)));
            }
            ctx.frontend.status(1, format("Dateien:%d von %d Dups:%d %dMB", static_cast<int>(i),
                                          static_cast<int>(n), static_cast<int>(result.duplicates),
                                          static_cast<int>(mb)));
            ctx.frontend.status(
                2, format("%ld sec", static_cast<long>((duplicate_clock_ms() - start_ms) / 1000)));
            if (!op->step()) {
                result.aborted = true;
                break;
            }
        }
        const std::uint32_t p = where[i];
        if (p == kNone || reported[i]) continue;
        live.remove(p);

        const float size = entries_[i].size_kb;
        const std::uint32_t end = seg_end[i];
        // The first position of the segment whose size reaches the window
        // (the segment is ordered by size, so it lies at or before p).
        const double low = static_cast<double>(size) - kWindow;
        const double high = static_cast<double>(size) + kWindow;
        const auto lo = std::partition_point(
            sorted.begin() + seg_begin[i], sorted.begin() + p,
            [&](std::uint32_t e) { return static_cast<double>(entries_[e].size_kb) < low; });
        found.clear();
        for (std::uint32_t q = live.find(static_cast<std::uint32_t>(lo - sorted.begin())); q < end;
             q = live.find(q + 1)) {
            const float other = entries_[sorted[q]].size_kb;
            if (static_cast<double>(other) > high) break;
            if (duplicate_sizes_match(size, other)) found.push_back(sorted[q]);
        }
        if (found.empty()) continue;
        std::sort(found.begin(), found.end());
        if (!make_room(ctx, hits, found.size() + 1)) {
            result.out_of_memory = true;
            break;
        }
        const auto row = [&](std::uint32_t e) {
            hits.push_back({file_object(entries_[e].file), 0, entries_[e].catalog_number});
        };
        row(static_cast<std::uint32_t>(i));
        ++result.rows;
        for (std::uint32_t j : found) {
            row(j);
            ++result.rows;
            ++result.duplicates;
            result.total_kb += entries_[j].size_kb;
            reported[j] = 1;
            live.remove(where[j]);
        }
    }
    if (op && !result.aborted && progress_range > 0) op->progress(progress_range);
    return result;
}

DuplicateResult RunDuplicateSearch(SearchContext& ctx, const DuplicateSearchOptions& options,
                                   std::vector<HitRecord>& hits, LongOperation& op) {
    DuplicateResult result;
    DuplicateTable table;
    try {
        hits.reserve(hits.size() + 200000);
        const std::size_t n = ctx.media.count();
        for (std::size_t pos : options.media) {
            if (pos >= n) continue;
            op.progress(static_cast<int>(pos));
            if (op.aborted()) break;
            const MediumHeader& m = ctx.media.entries[pos];
            const int number = static_cast<int>(m.catalog_number & 0xFFFF);
            if (!file_exists(catalog_path(ctx.paths.catalog_dir, number))) continue;
            if (!LoadCatalog(ctx, number)) continue;
            const std::string line =
                format("%d/%d %s", static_cast<int>(pos + 1), static_cast<int>(n),
                       std::string(fixed_text(m.medium_name)).c_str());
            ctx.status(line);
            ctx.frontend.window_title(line);
            ctx.frontend.status(
                2, format("%ld sec",
                          static_cast<long>((duplicate_clock_ms() - options.start_ms) / 1000)));
            table.add_medium(ctx.catalog, m.catalog_number);
            op.step();
        }
    } catch (const std::bad_alloc&) {
        table_memory_message(ctx);
        result.out_of_memory = true;
        result.files = table.count();
        return result;
    }
    if (op.aborted()) {
        result.aborted = true;
        result.files = table.count();
        return result;
    }
    return table.compare(ctx, hits, &op, options.progress_range, options.start_ms);
}

}  // namespace orbisto
