// Output of 1,000,000 files in 200 catalogues (5,000 files in 50
// directories each, with short comments) as a file list, a CSV table and a
// dBase table, warm cache. Each output runs in a child process, so its peak
// resident memory is its own; the child that only reads the media list
// gives the base line the outputs are compared with (a streamed output
// stays near it, whatever the number of files).
//
// Usage: output_bench [media] [files per medium]
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "app/console_frontend.h"
#include "bench_clock.h"
#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "catalog/media_list.h"
#include "session/context.h"
#include "session/output_run.h"

using namespace orbisto;

namespace {

const char* const kWords[] = {"holiday", "report", "invoice", "track", "photo",
                              "backup",  "setup",  "readme",  "scan",  "letter"};
const char* const kExts[] = {"jpg", "txt", "doc", "mp3", "zip", "exe", "pdf", "png"};

std::uint32_t rng_state = 4711;
std::uint32_t rnd() {
    rng_state = rng_state * 1664525u + 1013904223u;
    return rng_state >> 8;
}

void generate(Context& ctx, int media, int files) {
    constexpr int kDirs = 50;
    for (int n = 0; n < media; ++n) {
        Catalog& c = ctx.catalog;
        c.reset(false);
        c.set_current_number(-1);
        set_fixed_text(c.header.medium_name, "medium " + std::to_string(n));
        for (int d = 0; d < kDirs; ++d) {
            DirRecord r;
            r.name = c.append_name(std::string(kWords[rnd() % 10]) + "_" + std::to_string(d)).value;
            r.parent = d < 10 ? 0 : 1 + static_cast<std::uint32_t>(d % 10);
            c.append_dir(r);
        }
        for (int i = 0; i < files; ++i) {
            char name[96];
            std::snprintf(name, sizeof name, "%s_%s_%05u.%s", kWords[rnd() % 10],
                          kWords[rnd() % 10], rnd() % 100000, kExts[rnd() % 8]);
            FileRecord f;
            f.name = c.append_name(name).value;
            char comment[48];
            std::snprintf(comment, sizeof comment, "%s %u", kWords[rnd() % 10], rnd() % 1000);
            if (i % 4 == 0) f.comment = c.append_comment(comment).value;
            f.size_kb = static_cast<float>(rnd() % 100000) / 10.0f;
            f.time.set(133'000'000'000'000'000ULL + rnd());
            f.parent = 1 + static_cast<std::uint32_t>(i % kDirs);
            c.append_file(f);
        }
        if (SaveCatalog(ctx, n) != n) {
            std::fprintf(stderr, "cannot save catalogue %d\n", n);
            std::exit(1);
        }
    }
    ctx.catalog.reset(false);
    ctx.catalog.set_current_number(-1);
}

struct ChildRun {
    double seconds = -1;
    long peak_kb = 0;
    int status = -1;
};

// Runs the work in a child process; its wall time and peak resident memory.
ChildRun in_child(const std::function<int()>& work) {
    std::fflush(nullptr);
    const auto start = bench::Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(work());
    ChildRun r;
    int status = 0;
    struct rusage usage {};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid) return r;
    r.seconds = bench::seconds_since(start);
    r.peak_kb = usage.ru_maxrss;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

long long file_size(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

}  // namespace

int main(int argc, char** argv) {
    const int media = argc > 1 ? std::atoi(argv[1]) : 200;
    const int files = argc > 2 ? std::atoi(argv[2]) : 5000;
    char tmpl[] = "/tmp/orbisto-output-bench-XXXXXX";
    if (!::mkdtemp(tmpl)) return 1;
    const std::string dir = tmpl;

    ConsoleFrontend fe;
    Context ctx(fe);
    ctx.paths.catalog_dir = dir;
    ctx.paths.settings_file = dir + "/orbisto.INI";
    auto start = bench::Clock::now();
    generate(ctx, media, files);
    std::printf("generated %d catalogues of %d files in %.1f s\n", media, files,
                bench::seconds_since(start));

    const ChildRun base = in_child([&] { return BuildMediaList(ctx) ? 0 : 1; });
    std::printf("media list alone:   %.3f s, peak %ld KB\n", base.seconds, base.peak_kb);

    struct Format {
        const char* name;
        OutputFormat format;
        const char* file;
    };
    const Format formats[] = {{"file list", OutputFormat::Files, "/out.TXT"},
                              {"CSV", OutputFormat::Csv, "/out.CSV"},
                              {"dBase", OutputFormat::Dbase, "/out.DBF"}};
    for (const Format& f : formats) {
        ChildRun best;
        for (int run = 0; run < 3; ++run) {
            const ChildRun r = in_child([&] {
                if (!BuildMediaList(ctx)) return 1;
                OutputSettings s;
                s.scope = OutputScope::AllMedia;
                s.format = f.format;
                s.file_name = dir + "/out.lst";
                OutputRequest request;
                request.existing = ExistingFile::Replace;
                return RunOutputTo(ctx, s, request).status == OutputStatus::Written ? 0 : 1;
            });
            if (r.status != 0) {
                std::fprintf(stderr, "%s output failed\n", f.name);
                return 1;
            }
            if (best.seconds < 0 || r.seconds < best.seconds) best = r;
        }
        std::printf("%-10s %6.3f s (target < 3 s), peak %ld KB, %lld bytes\n", f.name, best.seconds,
                    best.peak_kb, file_size(dir + f.file));
    }
    std::string cleanup = "rm -rf '" + dir + "'";
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
