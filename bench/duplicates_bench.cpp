// The duplicate-file search over 1,000 catalogue files of 1,000 files each
// (1,000,000 names, short comments, about 10 % of the files copies of files
// catalogued before, plus common names of differing sizes). Warm cache, best
// of several runs: the whole run (loading every catalogue and comparing) and
// the comparison alone. Target: below 3 s for the whole run.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/console_frontend.h"
#include "bench_clock.h"
#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "catalog/long_operation.h"
#include "catalog/media_list.h"
#include "platform/files.h"
#include "search/duplicates.h"
#include "search/search_context.h"
#include "session/context.h"

using namespace orbisto;

namespace {

constexpr int kMedia = 1000;
constexpr int kFiles = 1000;
constexpr int kRuns = 3;

using bench::seconds_since;

struct Made {
    std::string name;
    float size;
};

bool make_catalogues(Context& ctx) {
    std::mt19937 rng(4711);
    const char* common[] = {"readme.txt",  "setup.exe",   "index.html",  "Thumbs.db",
                            "autorun.inf", "license.txt", "install.log", "data.cab"};
    const char* ext[] = {".jpg", ".mp3", ".txt", ".doc", ".dll", ".exe", ".html", ".png"};
    std::vector<Made> made;
    made.reserve(std::size_t{kMedia} * kFiles);
    long serial = 0;
    for (int n = 0; n < kMedia; ++n) {
        ctx.catalog.reset(false);
        ctx.catalog.set_current_number(-1);
        set_fixed_text(ctx.catalog.header.medium_name, "Medium " + std::to_string(n));
        for (int d = 1; d <= 20; ++d) {
            DirRecord dir;
            dir.name = ctx.catalog.append_name("dir" + std::to_string(d)).value;
            if (!ctx.catalog.append_dir(dir).ok()) return false;
        }
        for (int f = 0; f < kFiles; ++f) {
            Made m;
            const unsigned r = rng() % 100;
            if (r < 10 && !made.empty()) {
                m = made[rng() % made.size()];  // a copy of an earlier file
                if (rng() % 2) {
                    for (char& c : m.name) c = static_cast<char>(std::toupper(c));
                }
            } else if (r < 13) {
                m = {common[rng() % 8], static_cast<float>(rng() % 200000) / 1024.0f};
            } else {
                m = {"file" + std::to_string(serial++) + ext[rng() % 8],
                     static_cast<float>(rng() % 5000000) / 1024.0f};
            }
            made.push_back(m);
            FileRecord rec;
            rec.name = ctx.catalog.append_name(m.name).value;
            rec.comment = ctx.catalog.append_comment("c" + std::to_string(f)).value;
            rec.size_kb = m.size;
            rec.parent = 1 + static_cast<std::uint32_t>(f % 20);
            if (!ctx.catalog.append_file(rec).ok()) return false;
        }
        if (SaveCatalog(ctx, n) != n) return false;
    }
    ctx.catalog.reset(false);
    ctx.catalog.set_current_number(-1);
    return true;
}

}  // namespace

int main() {
    char tmpl[] = "/tmp/orbisto-dups-bench-XXXXXX";
    const char* dir = ::mkdtemp(tmpl);
    if (!dir) return 1;
    ConsoleFrontend fe;
    Context ctx(fe);
    ctx.paths.catalog_dir = dir;

    std::printf("writing %d catalogues of %d files ...\n", kMedia, kFiles);
    if (!make_catalogues(ctx) || !BuildMediaList(ctx)) {
        std::fprintf(stderr, "setup failed\n");
        remove_tree(dir);
        return 1;
    }

    DuplicateSearchOptions options;
    for (std::size_t i = 0; i < ctx.media.count(); ++i) options.media.push_back(i);
    options.progress_range = static_cast<int>(ctx.media.count());

    double best_run = 1e9;
    DuplicateResult result;
    for (int run = 0; run < kRuns; ++run) {
        std::vector<HitRecord> hits;
        const auto t0 = std::chrono::steady_clock::now();
        {
            LongOperation op(ctx, {"", options.progress_range, false});
            options.start_ms = duplicate_clock_ms();
            result = RunDuplicateSearch(ctx, options, hits, op);
        }
        best_run = std::min(best_run, seconds_since(t0));
    }

    // The comparison alone, over a table filled from the same catalogues.
    DuplicateTable table;
    for (const auto& m : ctx.media.entries) {
        LoadCatalog(ctx, static_cast<int>(m.catalog_number));
        table.add_medium(ctx.catalog, m.catalog_number);
    }
    double best_compare = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        std::vector<HitRecord> hits;
        const auto t0 = std::chrono::steady_clock::now();
        table.compare(ctx, hits, nullptr);
        best_compare = std::min(best_compare, seconds_since(t0));
    }

    std::printf("files: %zu  rows: %zu  duplicates: %zu  total: %.1f KB\n", result.files,
                result.rows, result.duplicates, static_cast<double>(result.total_kb));
    std::printf("whole run (load + compare): %.3f s   (target < 3 s)\n", best_run);
    std::printf("comparison alone:           %.3f s\n", best_compare);
    remove_tree(dir);
    return 0;
}
