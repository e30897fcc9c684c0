// Building the MediaList over 5,000 catalogue files: from the files (one
// header read each) and from the fast-load index, and writing the index
// (which reads every header under the directory lock). Warm cache, best of
// several runs. Targets: below 0.5 s from the files, below 0.05 s with the
// index, below 0.5 s for an index write.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/console_frontend.h"
#include "catalog/catalog_format.h"
#include "catalog/media_list.h"
#include "platform/files.h"
#include "session/context.h"

using namespace orbisto;

namespace {

constexpr int kMedia = 5000;
constexpr int kRuns = 7;

// Writes kMedia small version 3 catalogues (a few directories and files each).
bool make_catalogues(const std::string& dir) {
    for (int n = 0; n < kMedia; ++n) {
        Catalog cat;
        set_fixed_text(cat.header.medium_name, "Medium " + std::to_string(n));
        set_fixed_text(cat.header.volume_label, "LABEL" + std::to_string(n));
        cat.header.catalog_number = static_cast<std::uint32_t>(n);
        for (int d = 0; d < 4; ++d) {
            DirRecord rec;
            rec.name = cat.append_name("dir" + std::to_string(d)).value;
            cat.append_dir(rec);
            for (int f = 0; f < 8; ++f) {
                FileRecord file;
                file.name = cat.append_name("file" + std::to_string(f) + ".dat").value;
                file.parent = static_cast<std::uint32_t>(d + 1);
                file.size_kb = 12.5f;
                cat.append_file(file);
            }
        }
        const auto bytes = write_catalog_bytes(cat);
        const std::string path = dir + "/" + std::to_string(n) + ".cd";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        const bool ok =
            ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
        ::close(fd);
        if (!ok) return false;
    }
    return true;
}

double best_build_seconds(Context& ctx) {
    double best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        const auto t0 = std::chrono::steady_clock::now();
        const bool ok = BuildMediaList(ctx);
        const auto t1 = std::chrono::steady_clock::now();
        if (!ok || ctx.media.count() != static_cast<std::size_t>(kMedia)) {
            std::fprintf(stderr, "build failed: %zu media\n", ctx.media.count());
            std::exit(1);
        }
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
    }
    return best;
}

double best_index_write_seconds(Context& ctx) {
    double best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        const auto t0 = std::chrono::steady_clock::now();
        const bool ok = WriteFastLoadIndex(ctx);
        const auto t1 = std::chrono::steady_clock::now();
        if (!ok) {
            std::fprintf(stderr, "the index could not be written\n");
            std::exit(1);
        }
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
    }
    return best;
}

}  // namespace

int main() {
    const char* base = std::getenv("TMPDIR");
    std::string dir = std::string(base && *base ? base : "/tmp") + "/orbisto-bench-XXXXXX";
    if (!::mkdtemp(dir.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    if (!make_catalogues(dir)) {
        std::perror("writing catalogues");
        remove_tree(dir);
        return 1;
    }

    ConsoleFrontend fe;
    Context ctx(fe);
    ctx.paths.catalog_dir = dir;

    ctx.settings.options.fast_load = false;
    BuildMediaList(ctx);  // warm the cache
    const double from_files = best_build_seconds(ctx);

    ctx.settings.options.fast_load = true;
    if (!WriteFastLoadIndex(ctx)) {
        std::fprintf(stderr, "the index could not be written\n");
        remove_tree(dir);
        return 1;
    }
    const double from_index = best_build_seconds(ctx);
    const double index_write = best_index_write_seconds(ctx);

    std::printf("BuildMediaList, %d catalogue files, best of %d (warm cache)\n", kMedia, kRuns);
    std::printf("  from the files:      %8.4f s  (target < 0.5 s)\n", from_files);
    std::printf("  from fastload.cds:   %8.4f s  (target < 0.05 s)\n", from_index);
    std::printf("  writing fastload.cds:%8.4f s  (target < 0.5 s)\n", index_write);
    remove_tree(dir);
    return from_files < 0.5 && from_index < 0.05 && index_write < 0.5 ? 0 : 2;
}
