// Builds, saves and loads a catalogue of 10,000,000 files in 400,000
// directories (the large form: more than 65,535 directories and a name pool
// far past 16 MiB), and reports the time of each step and the peak resident
// memory after it (getrusage ru_maxrss).
//
//   large_catalog_bench              10,000,000 files, plain storage
//   large_catalog_bench --files N    another size (directories: N / 25)
//   large_catalog_bench --zip        compressed storage as well
//
// The catalogue is written below $TMPDIR (or /tmp) and removed afterwards.
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/console_frontend.h"
#include "bench_clock.h"
#include "bench_names.h"
#include "catalog/catalog.h"
#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "platform/files.h"
#include "session/context.h"

namespace {

using namespace orbisto;
using bench::Clock;
using bench::file_name;
using bench::peak_rss_mb;
using bench::seconds_since;

double file_mb(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<double>(st.st_size) / 1e6 : -1;
}

Catalog build_catalog(std::uint32_t dirs, std::uint32_t files) {
    Catalog c;
    c.reserve_dirs(dirs);
    c.reserve_files(files);
    set_fixed_text(c.header.medium_name, "large bench");
    char name[64];
    for (std::uint32_t d = 1; d < dirs; ++d) {
        std::snprintf(name, sizeof name, d % 3 ? "project-%u" : "%u-archive", d);
        DirRecord r;
        r.name = c.append_name(name).value;
        r.parent = d <= 200 ? 0 : d / 200;  // a tree about three levels deep
        c.append_dir(r);
    }
    for (std::uint32_t f = 0; f < files; ++f) {
        file_name(name, sizeof name, f);
        FileRecord r;
        r.name = c.append_name(name).value;
        r.parent = f % dirs;
        r.size_kb = static_cast<float>(f % 50000) / 4.0f;
        r.time.set(130000000000000000ULL + f * 10000000ULL);
        if (f % 20 == 0) {
            std::snprintf(name, sizeof name, "CRC:%08X", f * 2654435761u);
            r.comment = c.append_comment(name).value;
            r.flags = FLAG_CRC;
        }
        c.append_file(r);
    }
    c.sync_header();
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    std::uint32_t files = 10000000;
    bool zip = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--files") == 0 && i + 1 < argc) {
            files = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (std::strcmp(argv[i], "--zip") == 0) {
            zip = true;
        }
    }
    const std::uint32_t dirs = files / 25 > 1 ? files / 25 : 2;
    const char* base = std::getenv("TMPDIR");
    std::string dir = std::string(base && *base ? base : "/tmp") + "/orbisto-large-XXXXXX";
    if (!::mkdtemp(dir.data())) return 1;

    ConsoleFrontend fe;
    Context ctx(fe);
    ctx.paths.catalog_dir = dir;
    ctx.media.entries.resize(1);
    ctx.media.entries[0].catalog_number = 0;

    auto start = Clock::now();
    ctx.catalog = build_catalog(dirs, files);
    std::printf(
        "build: %6.2f s  peak %7.0f MB  (%u dirs, %u files, names %.1f MB, comments %.1f MB)\n",
        seconds_since(start), peak_rss_mb(), ctx.catalog.dir_count(), ctx.catalog.file_count(),
        static_cast<double>(ctx.catalog.names_used()) / 1e6,
        static_cast<double>(ctx.catalog.comments_used()) / 1e6);

    for (const int packed : {0, 1}) {
        if (packed && !zip) break;
        ctx.settings.options.store_compressed = packed;
        const char* kind = packed ? "zip  " : "plain";
        start = Clock::now();
        if (SaveCatalog(ctx, 0) != 0) return 1;
        std::printf("%s save: %6.2f s  peak %7.0f MB  (version %u, file %.1f MB)\n", kind,
                    seconds_since(start), peak_rss_mb(), ctx.catalog.header.version,
                    file_mb(catalog_path(ctx.paths.catalog_dir, 0)));
        ctx.catalog.set_current_number(-1);
        start = Clock::now();
        if (!LoadCatalog(ctx, 0) || ctx.catalog.file_count() != files) {
            std::fprintf(stderr, "load failed\n");
            return 1;
        }
        std::printf("%s load: %6.2f s  peak %7.0f MB  (%s)\n", kind, seconds_since(start),
                    peak_rss_mb(), std::string(ctx.catalog.file_path(files - 1)).c_str());
    }
    remove_tree(dir);
    return 0;
}
