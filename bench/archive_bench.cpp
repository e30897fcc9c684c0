// Times the walk over a tree of 200 small ZIP archives in the three archive
// modes: archives as plain files, description files taken from them, and
// every archive unpacked by unzip and walked as a directory.
//
//   archive_bench              200 archives (5 to 20 members of 0..4 KiB each)
//   archive_bench --archives N another count
//
// The tree is made once with the installed zip below $TMPDIR (or /tmp) and
// kept for later runs (remove orbisto-archive-bench-* to free the space).
// Timings are best of 3 on a warm cache.
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/console_frontend.h"
#include "platform/files.h"
#include "scan/scan_context.h"
#include "scan/scan_walk.h"
#include "session/context.h"

extern char** environ;

namespace {

using namespace orbisto;
using Clock = std::chrono::steady_clock;

std::string temp_base() {
    const char* base = std::getenv("TMPDIR");
    return base && *base ? base : "/tmp";
}

// Makes the tree unless a finished one is there (marked by a file beside it).
std::string make_tree(unsigned archives) {
    const std::string root = temp_base() + "/orbisto-archive-bench-" + std::to_string(archives);
    if (file_exists(root + ".done")) return root;
    remove_tree(root);
    std::printf("making %s ...\n", root.c_str());
    std::fflush(stdout);
    const std::string stage = root + "-stage";
    make_directory(root);
    std::string data(4096, '\0');
    unsigned seed = 12345;
    for (auto& c : data)
        c = static_cast<char>('a' + ((seed = seed * 1103515245u + 12345u) >> 16) % 26);
    for (unsigned a = 0; a < archives; ++a) {
        remove_tree(stage);
        make_directories(stage + "/sub/deeper");
        const unsigned members = 5 + (a * 7) % 16;
        for (unsigned m = 0; m < members; ++m) {
            const char* folder = m % 4 == 1 ? "/sub/" : m % 4 == 3 ? "/sub/deeper/" : "/";
            const std::size_t size = (a * 131u + m * 977u) % 4097;
            write_file_atomic(stage + folder + "member" + std::to_string(m) + ".txt",
                              data.substr(0, size));
        }
        const std::string dir = root + "/group" + std::to_string(a % 10);
        make_directory(dir);
        const std::string cmd =
            "cd '" + stage + "' && zip -qr '" + dir + "/archive" + std::to_string(a) + ".zip' .";
        if (std::system(cmd.c_str()) != 0) {
            std::fprintf(stderr, "zip failed: %s\n", cmd.c_str());
            std::exit(1);
        }
    }
    remove_tree(stage);
    write_file_atomic(root + ".done", "");
    return root;
}

struct Run {
    double seconds = 1e30;
    std::uint32_t files = 0;
};

// Best of 3 walks in the archive mode `mode`.
Run walk(const std::string& root, ExpansionMode mode) {
    Run best;
    for (int i = 0; i < 3; ++i) {
        ConsoleFrontend fe;
        Context ctx(fe);
        ctx.settings.options.archive_expansion = mode;
        ctx.settings.options.real_time = false;
        std::string work = temp_base() + "/orbisto-archive-work-XXXXXX";
        if (!::mkdtemp(work.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        ctx.paths.temp_dir = work;
        ctx.catalog.reset(false);
        Mp3Totals mp3;
        const auto start = Clock::now();
        ScanDirectory(ctx, root, 0, 0, 0, mp3);
        const double s = std::chrono::duration<double>(Clock::now() - start).count();
        remove_tree(work);
        if (s < best.seconds) best = {s, ctx.catalog.file_count()};
    }
    return best;
}

// The same archives unpacked by unzip started straight from here and
// waited for without polling: what the packer runs themselves cost.
double raw_unzip(const std::string& root, unsigned archives) {
    double best = 1e30;
    for (int i = 0; i < 3; ++i) {
        std::string work = temp_base() + "/orbisto-archive-work-XXXXXX";
        if (!::mkdtemp(work.data())) std::exit(1);
        const auto start = Clock::now();
        for (unsigned a = 0; a < archives; ++a) {
            const std::string zip =
                root + "/group" + std::to_string(a % 10) + "/archive" + std::to_string(a) + ".zip";
            const std::string dir = work + "/" + std::to_string(a);
            const char* args[] = {"unzip", "-qq", "-o", zip.c_str(), "-d", dir.c_str(), nullptr};
            pid_t pid = 0;
            int status = 0;
            if (::posix_spawnp(&pid, "unzip", nullptr, nullptr, const_cast<char**>(args),
                               environ) != 0 ||
                ::waitpid(pid, &status, 0) != pid) {
                std::exit(1);
            }
        }
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
        remove_tree(work);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    unsigned archives = 200;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--archives" && i + 1 < argc) {
            archives = static_cast<unsigned>(std::atoi(argv[++i]));
        }
    }
    if (archives == 0) {
        std::fprintf(stderr, "need at least one archive\n");
        return 2;
    }
    const std::string root = make_tree(archives);
    walk(root, ExpansionMode::Nothing);  // warm the cache
    const struct {
        const char* what;
        ExpansionMode mode;
    } modes[] = {{"archives as files      ", ExpansionMode::Nothing},
                 {"description only (2055)", ExpansionMode::DescriptionOnly},
                 {"expand all (2056)      ", ExpansionMode::All}};
    std::printf("%u ZIP archives below %s\n", archives, root.c_str());
    for (const auto& m : modes) {
        const Run r = walk(root, m.mode);
        std::printf("%s  %8.3f s  %7.2f ms per archive  %6u files recorded\n", m.what, r.seconds,
                    r.seconds * 1000 / archives, r.files);
    }
    const double raw = raw_unzip(root, archives);
    std::printf("unzip alone, no walk     %8.3f s  %7.2f ms per archive\n", raw,
                raw * 1000 / archives);
    return 0;
}
