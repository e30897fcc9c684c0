// Search over 1,000 catalogues of 1,000 files each (1,000,000 names with
// short comments), warm cache: a plain substring search, a search with
// wildcards and operators, and the extended, similarity and regular
// languages. One name in 16 holds an umlaut and one in 64 a Greek, Cyrillic
// or CJK word (text outside Windows-1252), so the cost of such names shows.
// For comparison the same names are written as a text list and counted with
// `grep -c -F` and with `plocate` on a database built from that list by
// `plocate-build`, when those programs are present.
//
// Usage: search_bench [media] [files per medium]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/console_frontend.h"
#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "catalog/media_list.h"
#include "platform/files.h"
#include "search/search_confirm.h"
#include "search/search_context.h"
#include "search/search_engine.h"
#include "session/context.h"

using namespace orbisto;

namespace {

double now_s() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

const char* const kWords[] = {"holiday", "report", "invoice", "track",  "photo",  "backup",
                              "setup",   "readme", "scan",    "letter", "music",  "video",
                              "draft",   "final",  "notes",   "budget", "summer", "winter"};
const char* const kExts[] = {"jpg", "txt", "doc", "mp3", "zip", "exe", "pdf", "png"};
// Words added to some names: one with an umlaut, three outside Windows-1252.
const char* const kUmlaut = "_m\xC3\xBCller";
const char* const kForeign[] = {"_\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1",
                                "_\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0",
                                "_\xE6\x97\xA5\xE6\x9C\xAC"};

std::uint32_t rng_state = 12345;
std::uint32_t rnd() {
    rng_state = rng_state * 1664525u + 1013904223u;
    return rng_state >> 8;
}

// Builds the catalogues and the text list of "medium/dir/name" lines.
void generate(Context& ctx, int media, int files, const std::string& list_path) {
    std::string list;
    for (int n = 0; n < media; ++n) {
        Catalog& c = ctx.catalog;
        c.reset(false);
        c.set_current_number(-1);
        const std::string medium = "medium" + std::to_string(n);
        set_fixed_text(c.header.medium_name, medium);
        constexpr int kDirs = 20;
        for (int d = 0; d < kDirs; ++d) {
            DirRecord r;
            r.name = c.append_name(std::string(kWords[rnd() % 18]) + "_" + std::to_string(d)).value;
            c.append_dir(r);
        }
        for (int i = 0; i < files; ++i) {
            char name[128];
            // About one name in 5,000 holds the needle.
            const bool needle = rnd() % 5000 == 0;
            const std::uint32_t extra = rnd() % 64;
            const char* word = extra == 0 ? kForeign[rnd() % 3] : extra % 4 == 1 ? kUmlaut : "";
            std::snprintf(name, sizeof name, "%s_%s_%05u%s%s.%s", kWords[rnd() % 18],
                          kWords[rnd() % 18], rnd() % 100000, needle ? "_needle" : "", word,
                          kExts[rnd() % 8]);
            FileRecord f;
            f.name = c.append_name(name).value;
            char comment[64];
            std::snprintf(comment, sizeof comment, "%s %u", kWords[rnd() % 18], rnd() % 1000);
            f.comment = c.append_comment(comment).value;
            f.size_kb = static_cast<float>(rnd() % 100000) / 10.0f;
            f.parent = 1 + static_cast<std::uint32_t>(i % kDirs);
            c.append_file(f);
            list += medium;
            list += '/';
            list += c.dir_path(f.parent);
            list += '/';
            list += name;
            list += '\n';
        }
        if (SaveCatalog(ctx, n) != n) {
            std::fprintf(stderr, "cannot save catalogue %d\n", n);
            std::exit(1);
        }
    }
    ctx.catalog.reset(false);
    ctx.catalog.set_current_number(-1);
    write_file_atomic(list_path, list);
}

// Best of three timed runs after one warm-up run.
double time_search(Context& ctx, const char* text, SearchMode mode, std::size_t& hits) {
    ctx.settings.search.mode = mode;
    if (!ConfirmSearch(ctx, text)) return -1;
    double best = 1e9;
    for (int run = 0; run < 4; ++run) {
        const double t0 = now_s();
        RunSearch(ctx);
        const double t = now_s() - t0;
        if (run > 0) best = std::min(best, t);
    }
    hits = ctx.search.hits.size();
    return best;
}

// Runs a shell command three times (after one warm-up) and returns the best
// wall time, or -1 when it fails; the first line of its output goes to out.
double time_command(const std::string& command, std::string& out) {
    double best = 1e9;
    for (int run = 0; run < 4; ++run) {
        const double t0 = now_s();
        FILE* p = ::popen(command.c_str(), "r");
        if (!p) return -1;
        char buf[256] = {};
        std::string text;
        while (std::fgets(buf, sizeof buf, p)) text += buf;
        const int status = ::pclose(p);
        const double t = now_s() - t0;
        if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) > 1) return -1;
        out = text.substr(0, text.find('\n'));
        if (run > 0) best = std::min(best, t);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    const int media = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int files = argc > 2 ? std::atoi(argv[2]) : 1000;
    char tmpl[] = "/tmp/orbisto-search-bench-XXXXXX";
    if (!::mkdtemp(tmpl)) return 1;
    const std::string dir = tmpl;

    ConsoleFrontend fe;
    Context ctx(fe);
    ctx.paths.catalog_dir = dir;
    ctx.paths.settings_file = dir + "/orbisto.INI";
    const std::string list = dir + "/names.txt";
    double t0 = now_s();
    generate(ctx, media, files, list);
    std::printf("generated %d catalogues of %d files in %.1f s\n", media, files, now_s() - t0);
    t0 = now_s();
    BuildMediaList(ctx);
    std::printf("media list of %zu entries in %.3f s\n", ctx.media.count(), now_s() - t0);

    ctx.settings.search.scope = kScopeComments | kScopeDirs | kScopeFiles;
    std::size_t hits = 0;
    const double plain = time_search(ctx, "needle", SearchMode::Normal, hits);
    std::printf("plain substring \"needle\":           %.3f s, %zu hits (target < 0.5 s)\n", plain,
                hits);
    const double names_only_hits = static_cast<double>(hits);
    const double wild = time_search(ctx, "ho*ne?dle-tmp", SearchMode::Normal, hits);
    std::printf("wildcards and operators:            %.3f s, %zu hits (target < 1 s)\n", wild,
                hits);
    ctx.settings.search.scope = kScopeFiles;
    const double files_only = time_search(ctx, "needle", SearchMode::Normal, hits);
    std::printf("plain substring, file names only:   %.3f s, %zu hits\n", files_only, hits);
    (void)names_only_hits;
    const struct {
        const char* label;
        const char* text;
        SearchMode mode;
    } kLanguages[] = {
        {"extended \"needle\", 1 error:        ", "needle", SearchMode::Approximate},
        {"similarity \"needles\", 60 %:        ", "needles", SearchMode::Similarity},
        {"regular \"ne.dle\":                  ", "ne.dle", SearchMode::Regular},
        {"plain substring \"m\xC3\xBCller\":         ", "m\xC3\xBCller", SearchMode::Normal},
        {"Greek pattern \"\xCE\xA9\xCE\xBC\":              ", "\xCE\xA9\xCE\xBC",
         SearchMode::Normal},
    };
    ctx.settings.search.max_errors = 1;
    ctx.settings.search.similarity_threshold = 60;
    for (const auto& l : kLanguages) {
        const double t = time_search(ctx, l.text, l.mode, hits);
        std::printf("%s %.3f s, %zu hits\n", l.label, t, hits);
    }

    std::string out;
    const double grep = time_command("grep -c -F needle " + list, out);
    if (grep >= 0) {
        std::printf(
            "grep -c -F on the name list:        %.3f s, count %s; ratio search/grep %.1f\n", grep,
            out.c_str(), files_only / grep);
    } else {
        std::printf("grep: not available\n");
    }
    const std::string db = dir + "/names.db";
    const std::string build =
        "PATH=\"$PATH:/usr/sbin\" plocate-build -l no -p " + list + " " + db + " 2>&1";
    if (std::system(build.c_str()) == 0) {
        const double loc = time_command("plocate -d " + db + " -c needle", out);
        if (loc >= 0) {
            std::printf(
                "plocate -c on its database:         %.3f s, count %s; ratio search/plocate %.1f\n",
                loc, out.c_str(), files_only / loc);
        }
    } else {
        std::printf("plocate-build: not available\n");
    }
    remove_tree(dir);
    return 0;
}
