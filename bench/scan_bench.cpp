// Times the walk of a generated tree against find(1), the walk with CRC32
// against zlib's raw CRC over the same bytes, and the peak memory of a walk
// over a large tree.
//
//   scan_bench                 300,000 files in 20,000 directories (sizes 0..4095 bytes)
//   scan_bench --memory        1,000,000 empty files in 50,000 directories, peak RSS
//   scan_bench --files N --dirs M   another size
//
// The CRC comparison runs twice: over the small files of the tree above
// (where opening 300,000 files dominates) and over 300 files of 2 MiB in
// 100 directories (where reading and the CRC itself dominate).
//
// The trees are made once below $TMPDIR (or /tmp) and kept for later runs
// (remove orbisto-scan-bench-* to free the space). All timings are best of
// several runs on a warm cache.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/console_frontend.h"
#include "bench_clock.h"
#include "platform/files.h"
#include "scan/scan_context.h"
#include "scan/scan_walk.h"
#include "session/context.h"

namespace {

using namespace orbisto;
using bench::best_of;
using bench::Clock;
using bench::seconds_since;

std::string dir_name(unsigned d) {
    // Two levels: 100 top directories, the rest spread below them.
    char buf[64];
    if (d < 100) {
        std::snprintf(buf, sizeof buf, "top%03u", d);
    } else {
        std::snprintf(buf, sizeof buf, "top%03u/sub%06u", d % 100, d);
    }
    return buf;
}

// Makes the tree unless a finished one is there (marked by a file ".done").
std::string make_tree(unsigned files, unsigned dirs, bool with_data, size_t file_bytes = 4096) {
    const char* base = std::getenv("TMPDIR");
    const std::string root = std::string(base && *base ? base : "/tmp") + "/orbisto-scan-bench-" +
                             std::to_string(files) + "-" + std::to_string(dirs) +
                             (with_data ? "-data" : "-empty") +
                             (file_bytes != 4096 ? "-" + std::to_string(file_bytes) : "");
    if (file_exists(root + "/.done")) return root;
    remove_tree(root);
    std::printf("making %s ...\n", root.c_str());
    std::fflush(stdout);
    const auto start = Clock::now();
    make_directory(root);
    for (unsigned d = 0; d < dirs; ++d) make_directory(root + "/" + dir_name(d));
    std::vector<char> data(file_bytes);
    unsigned seed = 12345;
    for (auto& c : data) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
    for (unsigned f = 0; f < files; ++f) {
        char name[32];
        std::snprintf(name, sizeof name, "/file%07u.dat", f);
        const std::string path = root + "/" + dir_name(f % dirs) + name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) {
            std::perror(path.c_str());
            std::exit(1);
        }
        if (with_data) {
            // Small files get sizes 0..4095; large ones all the full size.
            const size_t n = file_bytes == 4096 ? (f * 2654435761u) % 4096 : file_bytes;
            if (::write(fd, data.data() + (file_bytes - n), n) != static_cast<ssize_t>(n)) {
                std::exit(1);
            }
        }
        ::close(fd);
    }
    write_file_atomic(root + "/.done", "");
    std::printf("made in %.1f s\n", seconds_since(start));
    return root;
}

struct WalkResult {
    std::uint32_t dirs = 0;
    std::uint32_t files = 0;
};

WalkResult walk(const std::string& root, bool crc) {
    ConsoleFrontend fe;
    Context ctx(fe);
    ctx.settings.options.compute_crc32 = crc;
    ctx.catalog.reset(false);
    Mp3Totals mp3;
    ScanDirectory(ctx, root, 0, 0, 0, mp3);
    return {ctx.catalog.dir_count(), ctx.catalog.file_count()};
}

double time_find(const std::string& root) {
    const std::string cmd = "find '" + root + "' -printf '%s %T@ %p\\n' > /dev/null";
    return best_of(3, [&] {
        if (std::system(cmd.c_str()) != 0) std::exit(1);
    });
}

// Reads every regular file below root and computes its CRC with zlib, as a
// program that knew the file list in advance would.
std::uint64_t raw_crc(const std::string& root, const std::vector<std::string>& paths) {
    (void)root;
    std::vector<unsigned char> buf(0x40000);
    std::uint64_t bytes = 0;
    uLong sum = 0;
    for (const auto& p : paths) {
        const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        uLong crc = crc32(0L, Z_NULL, 0);
        ssize_t n;
        while ((n = ::read(fd, buf.data(), buf.size())) > 0) {
            crc = crc32(crc, buf.data(), static_cast<uInt>(n));
            bytes += static_cast<std::uint64_t>(n);
        }
        ::close(fd);
        sum += crc;
    }
    if (sum == 1) std::printf(" ");  // keep the work
    return bytes;
}

std::vector<std::string> list_files(const std::string& root, unsigned files, unsigned dirs) {
    std::vector<std::string> out;
    out.reserve(files);
    for (unsigned f = 0; f < files; ++f) {
        char name[32];
        std::snprintf(name, sizeof name, "/file%07u.dat", f);
        out.push_back(root + "/" + dir_name(f % dirs) + name);
    }
    return out;
}

// Raw zlib CRC over every file of the tree against the walk with CRC on.
void compare_crc(const char* what, const std::string& root, unsigned files, unsigned dirs) {
    const auto paths = list_files(root, files, dirs);
    std::uint64_t bytes = 0;
    raw_crc(root, paths);
    const double raw_s = best_of(3, [&] { bytes = raw_crc(root, paths); });
    const double crc_walk_s = best_of(3, [&] { walk(root, true); });
    std::printf(
        "%s: zlib crc32 raw %.3f s (%.1f MB, %.0f MB/s); walk with CRC %.3f s (%.2f x raw)\n", what,
        raw_s, bytes / 1e6, bytes / 1e6 / raw_s, crc_walk_s, crc_walk_s / raw_s);
}

long peak_rss_kb_of_child(const std::function<void()>& work) {
    std::fflush(stdout);  // the child must not print the parent's buffer again
    const pid_t pid = ::fork();
    if (pid == 0) {
        work();
        ::_exit(0);
    }
    int status = 0;
    rusage ru{};
    ::wait4(pid, &status, 0, &ru);
    return ru.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    unsigned files = 300000, dirs = 20000;
    bool memory = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--memory") {
            memory = true;
            files = 1000000;
            dirs = 50000;
        } else if (a == "--files" && i + 1 < argc) {
            files = static_cast<unsigned>(std::atoi(argv[++i]));
        } else if (a == "--dirs" && i + 1 < argc) {
            dirs = static_cast<unsigned>(std::atoi(argv[++i]));
        }
    }
    if (dirs < 100 || files < dirs) {
        std::fprintf(stderr, "need at least 100 directories and one file per directory\n");
        return 2;
    }

    if (memory) {
        const std::string root = make_tree(files, dirs, false);
        WalkResult r;
        const long base_kb = peak_rss_kb_of_child([] {});
        const long kb = peak_rss_kb_of_child([&] {
            r = walk(root, false);
            std::printf("walked %u directories, %u files\n", r.dirs, r.files);
            std::fflush(stdout);
        });
        std::printf("peak memory: %.1f MB (an empty child: %.1f MB)\n", kb / 1024.0,
                    base_kb / 1024.0);
        return 0;
    }

    const std::string root = make_tree(files, dirs, true);
    walk(root, false);  // warm the cache
    const double find_s = time_find(root);
    WalkResult r;
    const double walk_s = best_of(3, [&] { r = walk(root, false); });
    std::printf("tree: %u directories, %u files recorded\n", r.dirs, r.files);
    std::printf("find -printf:        %.3f s\n", find_s);
    std::printf("walk without CRC:    %.3f s  (%.2f x find)\n", walk_s, walk_s / find_s);

    compare_crc("small files", root, files, dirs);
    const unsigned large_files = 300, large_dirs = 100;
    compare_crc("2 MiB files", make_tree(large_files, large_dirs, true, 2u << 20), large_files,
                large_dirs);
    return 0;
}
