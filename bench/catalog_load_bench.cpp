// Times saving and loading a catalogue of 1,000,000 files in 20,000
// directories (short names, a short comment on every tenth file), plain and
// compressed. Loads are timed with a warm cache, best of several runs.
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "app/console_frontend.h"
#include "bench_clock.h"
#include "catalog/catalog.h"
#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "platform/files.h"
#include "session/context.h"

namespace {

using namespace orbisto;
using bench::Clock;
using bench::seconds_since;

// CPU time of this process: on a busy machine it shows what the work itself
// costs, apart from the time spent waiting for a processor.
double cpu_seconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

struct Timing {
    double wall = 1e9;
    double cpu = 1e9;
};

Catalog build_catalog(std::uint32_t dirs, std::uint32_t files) {
    Catalog c;
    set_fixed_text(c.header.medium_name, "bench");
    char name[32];
    for (std::uint32_t d = 1; d < dirs; ++d) {
        std::snprintf(name, sizeof name, "d%05u", d);
        DirRecord r;
        r.name = c.append_name(name).value;
        r.parent = d <= 100 ? 0 : 1 + (d % 100);  // two levels
        c.append_dir(r);
    }
    for (std::uint32_t f = 0; f < files; ++f) {
        std::snprintf(name, sizeof name, "f%07u.txt", f);
        FileRecord r;
        r.name = c.append_name(name).value;
        r.parent = f % dirs;
        r.size_kb = static_cast<float>(f % 5000) / 4.0f;
        r.time.set(130000000000000000ULL + f);
        if (f % 10 == 0) {
            std::snprintf(name, sizeof name, "note %u", f);
            r.comment = c.append_comment(name).value;
        }
        c.append_file(r);
    }
    return c;
}

// Best of `runs` loads of catalogue 0.
Timing best_load(Context& ctx, int runs) {
    Timing best;
    for (int i = 0; i < runs; ++i) {
        ctx.catalog.set_current_number(-1);
        const auto start = Clock::now();
        const double cpu_start = cpu_seconds();
        const bool ok = LoadCatalog(ctx, 0);
        const double cpu = cpu_seconds() - cpu_start;
        const double wall = seconds_since(start);
        if (!ok || ctx.catalog.file_count() != 1000000) {
            std::fprintf(stderr, "load failed\n");
            std::exit(1);
        }
        best.wall = std::min(best.wall, wall);
        best.cpu = std::min(best.cpu, cpu);
    }
    return best;
}

long file_size(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

}  // namespace

int main(int argc, char** argv) {
    // --plain: leave out the compressed storage.
    const bool plain_only = argc > 1 && std::string(argv[1]) == "--plain";
    const char* base = std::getenv("TMPDIR");
    std::string dir = std::string(base && *base ? base : "/tmp") + "/orbisto-bench-XXXXXX";
    if (!::mkdtemp(dir.data())) return 1;

    ConsoleFrontend fe;
    Context ctx(fe);
    ctx.paths.catalog_dir = dir;
    ctx.media.entries.resize(1);
    ctx.media.entries[0].catalog_number = 0;

    auto start = Clock::now();
    const Catalog built = build_catalog(20000, 1000000);
    std::printf(
        "build:             %.3f s (%u dirs, %u files, names %zu bytes, comments %zu bytes)\n",
        seconds_since(start), built.dir_count(), built.file_count(), built.names_used(),
        built.comments_used());

    for (const int packed : {0, 1}) {
        if (packed && plain_only) break;
        ctx.settings.options.store_compressed = packed;
        ctx.catalog = built;
        start = Clock::now();
        const double cpu_start = cpu_seconds();
        if (SaveCatalog(ctx, 0) != 0) return 1;
        const double save_cpu = cpu_seconds() - cpu_start;
        const double save = seconds_since(start);
        const Timing load = best_load(ctx, 7);
        const char* kind = packed ? "compressed" : "plain     ";
        std::printf("%s save:  %.3f s wall, %.3f s cpu, file %.1f MB\n", kind, save, save_cpu,
                    static_cast<double>(file_size(catalog_path(ctx.paths.catalog_dir, 0))) / 1e6);
        std::printf("%s load:  %.3f s wall, %.3f s cpu (best of 7, warm cache)\n", kind, load.wall,
                    load.cpu);
    }
    remove_tree(dir);
    return 0;
}
