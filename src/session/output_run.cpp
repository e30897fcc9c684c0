#include "session/output_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "catalog/catalog_store.h"
#include "catalog/catalog_tree.h"
#include "catalog/long_operation.h"
#include "catalog/media_list.h"
#include "output/csv_writer.h"
#include "output/dbase_writer.h"
#include "output/file_list_writer.h"
#include "output/media_list_writer.h"
#include "output/number_text.h"
#include "output/tree_writer.h"
#include "search/search_engine.h"
#include "search/search_time.h"
#include "session/context.h"

namespace orbisto {

namespace {

// The state of one run: the writers' style, the file, the filter, the
// progress frame and a Catalog the media of the scope are loaded into.
struct OutputWalk {
    OutputWalk(Context& c, const OutputSettings& s, const OutputRequest& r)
        : ctx(c),
          settings(s),
          request(r),
          style{s, c.english(), c.settings.options.group_digits, window_title(), created_text()},
          op(c, {c.tr("Ausgabe l\xC3\xA4uft.", "output in progress."), 100, false}),
          scratch(c.limits, c.english()) {}

    Context& ctx;
    const OutputSettings& settings;
    const OutputRequest& request;
    OutputStyle style;
    OutputFile file;
    SearchPattern filter;
    LongOperation op;
    Catalog scratch;
    bool aborted = false;
    std::uint64_t items = 0;

    // Runs the pump and shows the progress; false once the run must end.
    bool step(double done) {
        op.progress(static_cast<int>(std::clamp(done, 0.0, 1.0) * 100));
        if (!op.step()) aborted = true;
        return !aborted && file.ok();
    }
};

std::string path_text(const Catalog& cat, std::uint32_t d) {
    const std::string p = cat.dir_path(d);
    return !p.empty() && p.front() == '/' ? p : "/" + p;
}

LocalTime time_of(const FileTime& t) {
    if (t.value() == 0) return {};
    return local_time_of(unix_of_filetime(t.value()));
}

MediumFacts facts_of(const Context& ctx, const Catalog& cat) {
    MediumFacts m;
    m.name = std::string(fixed_text(cat.header.medium_name));
    m.number = std::string(fixed_text(cat.info.number));
    m.place = std::string(fixed_text(cat.info.place));
    const int c = static_cast<int>(cat.header.category);
    if (cat.header.category <= 0xFFFF && ctx.categories.is_user_category(c)) {
        m.category = std::string(ctx.categories.name(c));
    }
    m.manufacturer = std::string(fixed_text(cat.info.manufacturer));
    m.supplier = std::string(fixed_text(cat.info.supplier));
    m.order_number = std::string(fixed_text(cat.info.order_number));
    m.price = std::string(fixed_text(cat.info.price));
    m.description = std::string(cat.description());
    m.lent_to = std::string(fixed_text(cat.info.lent_to));
    m.lent_from = std::string(fixed_text(cat.info.lent_from));
    m.lent_until = std::string(fixed_text(cat.info.lent_until));
    m.free_kb = cat.header.free_kb;
    m.audio_cd = (cat.header.medium_flags & MEDIUM_AUDIO_CD) != 0;
    struct stat st {};
    const int number = static_cast<int>(cat.header.catalog_number & 0xFFFF);
    if (::stat(catalog_path(ctx.paths.catalog_dir, number).c_str(), &st) == 0) {
        m.last_change = local_time_of(st.st_mtime);
    }
    return m;
}

// The output filter's test of one file.
bool passes_filter(OutputWalk& w, const Catalog& cat, const FileRecord& f) {
    const OutputSettings& s = w.settings;
    if (!s.use_filter) return true;
    switch (s.filter) {
        case OutputFilter::Thumbnails:
            return f.thumbnail >= FIRST_IMAGE_OFFSET && f.thumbnail < cat.header.images_size;
        case OutputFilter::Favourites:
            return (f.flags & FLAG_MARKED) != 0;
        case OutputFilter::Normal:
        case OutputFilter::Regular:
            break;
    }
    if (!MatchFilter(w.filter, cat.name_at(f.name), s.filter)) return false;
    return !s.only_with_comment || (f.comment > 0 && f.comment < cat.comments_used());
}

// The subdirectories of d in record order (the tree keeps them by name).
std::vector<std::uint32_t> subdirs_in_order(const CatalogTree& tree, std::uint32_t d) {
    const auto s = tree.subdirs(d);
    std::vector<std::uint32_t> v(s.begin(), s.end());
    std::sort(v.begin(), v.end());
    return v;
}

// The medium of the loaded-medium scopes: the loaded Catalog, or the one
// the request names loaded into the scratch Catalog.
const Catalog* loaded_medium(OutputWalk& w) {
    if (w.ctx.catalog.current_number() >= 0) return &w.ctx.catalog;
    if (w.request.medium >= 0 && LoadCatalogForSearch(w.ctx, w.request.medium, w.scratch)) {
        return &w.scratch;
    }
    return nullptr;
}

// A medium of the media list: the loaded Catalog when it is that medium (so
// its unsaved edits are what is written), else loaded into the scratch one.
const Catalog* medium_at(OutputWalk& w, const MediumHeader& h) {
    const int n = static_cast<int>(h.catalog_number & 0xFFFF);
    if (w.ctx.catalog.current_number() == n) return &w.ctx.catalog;
    return LoadCatalogForSearch(w.ctx, n, w.scratch) ? &w.scratch : nullptr;
}

// The media of the multi-medium scopes, as positions into the media list,
// in list order or sorted by name.
std::vector<std::size_t> scope_media(const OutputWalk& w, bool sorted) {
    const auto& entries = w.ctx.media.entries;
    std::vector<std::size_t> order;
    if (sorted) {
        std::vector<std::string_view> names;
        names.reserve(entries.size());
        for (const auto& e : entries) names.push_back(fixed_text(e.medium_name));
        order = sorted_media_order(names);
    }
    if (order.size() != entries.size()) {
        order.resize(entries.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    }
    std::vector<std::size_t> out;
    for (const std::size_t i : order) {
        const MediumHeader& h = entries[i];
        switch (w.settings.scope) {
            case OutputScope::AllMedia:
                out.push_back(i);
                break;
            case OutputScope::LentMedia:
                if (h.medium_flags & MEDIUM_LENT) out.push_back(i);
                break;
            case OutputScope::Category:
                if (w.request.category == 0 ||
                    IsMemberOfCategory(w.ctx.categories, w.settings.include_subcategories ? 1 : 0,
                                       h, w.request.category)) {
                    out.push_back(i);
                }
                break;
            default:
                break;
        }
    }
    return out;
}

bool multi_medium(OutputScope scope) {
    return scope == OutputScope::AllMedia || scope == OutputScope::Category ||
           scope == OutputScope::LentMedia;
}

// Calls each(cat, start_dir, done_before, share) for every medium of the
// scope (lent media only for the media list); stops when it returns false.
template <class Each>
void for_each_medium(OutputWalk& w, bool sorted, Each each) {
    const OutputScope scope = w.settings.scope;
    if (scope == OutputScope::CurrentMedium || scope == OutputScope::FromPath) {
        const Catalog* cat = loaded_medium(w);
        if (!cat) return;
        const std::uint32_t start = scope == OutputScope::FromPath ? w.request.start_dir : 0;
        each(*cat, start < cat->dir_count() ? start : 0u, 0.0, 1.0);
        return;
    }
    if (!multi_medium(scope)) return;
    if (scope == OutputScope::LentMedia && w.settings.format != OutputFormat::MediaList) return;
    const auto media = scope_media(w, sorted);
    const double share = media.empty() ? 1.0 : 1.0 / static_cast<double>(media.size());
    for (std::size_t k = 0; k < media.size(); ++k) {
        const double before = static_cast<double>(k) * share;
        const MediumHeader header = w.ctx.media.entries[media[k]];
        if (const Catalog* cat = medium_at(w, header)) {
            if (!each(*cat, 0u, before, share)) return;
        }
        if (!w.step(before + share)) return;
    }
}

void write_file_list(OutputWalk& w) {
    FileListWriter out(w.file, w.style);
    const OutputScope scope = w.settings.scope;
    if (scope == OutputScope::AllMedia || scope == OutputScope::CurrentMedium ||
        scope == OutputScope::FromPath) {
        const Catalog* top = w.ctx.catalog.current_number() >= 0 ? &w.ctx.catalog : nullptr;
        if (!top && scope != OutputScope::AllMedia) top = loaded_medium(w);
        if (!top && !w.ctx.media.entries.empty()) top = medium_at(w, w.ctx.media.entries.front());
        if (top) {
            const std::uint32_t start = scope == OutputScope::FromPath ? w.request.start_dir : 0;
            out.list_header(facts_of(w.ctx, *top), path_text(*top, start));
        }
    }
    for_each_medium(
        w, false, [&](const Catalog& cat, std::uint32_t start, double before, double share) {
            const MediumFacts facts = facts_of(w.ctx, cat);
            const CatalogTree tree(cat);
            const bool audio = facts.audio_cd;
            const auto dirs = cat.dirs();
            for (std::uint32_t d = 0; d < dirs.size(); ++d) {
                if (dir_deleted(dirs[d]) || (start != 0 && !tree.is_below(d, start))) continue;
                out.directory(facts, path_text(cat, d));
                if (w.settings.show_path) {
                    for (const std::uint32_t c : subdirs_in_order(tree, d)) {
                        out.subdirectory(cat.dir_name(c), cat.dir_comment(c),
                                         (dirs[c].flags & FLAG_ARCHIVE_DIR) != 0);
                    }
                }
                for (const std::uint32_t f : tree.files(d)) {
                    const FileRecord& r = cat.files()[f];
                    if (!passes_filter(w, cat, r)) continue;
                    out.file({cat.name_at(r.name), r.size_kb, audio, time_of(r.time),
                              cat.comment_at(r.comment)});
                    ++w.items;
                }
                out.end_section();
                if (!w.step(before + share * (d + 1) / static_cast<double>(dirs.size()))) {
                    return false;
                }
            }
            return true;
        });
}

void write_tree(OutputWalk& w) {
    TreeWriter out(w.file, w.style);
    if (const Catalog* top = w.ctx.catalog.current_number() >= 0 ? &w.ctx.catalog : nullptr) {
        out.list_header(facts_of(w.ctx, *top));
    } else if (multi_medium(w.settings.scope) && !w.ctx.media.entries.empty()) {
        if (const Catalog* first = medium_at(w, w.ctx.media.entries.front())) {
            out.list_header(facts_of(w.ctx, *first));
        }
    } else if (const Catalog* cat = loaded_medium(w)) {
        out.list_header(facts_of(w.ctx, *cat));
    }
    for_each_medium(w, true, [&](const Catalog& cat, std::uint32_t start, double, double) {
        out.medium(facts_of(w.ctx, cat), path_text(cat, start));
        const CatalogTree tree(cat);
        // Depth-first with an explicit stack: a deep tree cannot exhaust the
        // call stack.
        struct Level {
            std::vector<std::uint32_t> dirs;
            std::size_t next = 0;
        };
        std::vector<Level> stack;
        stack.push_back({subdirs_in_order(tree, start), 0});
        while (!stack.empty() && w.file.ok()) {
            Level& top = stack.back();
            if (top.next == top.dirs.size()) {
                stack.pop_back();
                continue;
            }
            const std::uint32_t c = top.dirs[top.next++];
            const int depth = static_cast<int>(stack.size()) - 1;
            out.directory(depth, cat.dir_name(c), cat.dir_comment(c));
            ++w.items;
            if (out.writes_depth(depth + 1)) stack.push_back({subdirs_in_order(tree, c), 0});
        }
        out.end_medium();
        return true;
    });
}

// Every file of the scope that passes the filter, as a table record.
template <class Write>
void for_each_table_record(OutputWalk& w, Write write) {
    for_each_medium(
        w, false, [&](const Catalog& cat, std::uint32_t start, double before, double share) {
            const MediumFacts facts = facts_of(w.ctx, cat);
            const CatalogTree tree(cat);
            const auto dirs = cat.dirs();
            for (std::uint32_t d = 0; d < dirs.size(); ++d) {
                if (dir_deleted(dirs[d]) || (start != 0 && !tree.is_below(d, start))) continue;
                const auto files = tree.files(d);
                if (files.empty()) continue;
                const std::string path = path_text(cat, d);
                for (const std::uint32_t f : files) {
                    const FileRecord& r = cat.files()[f];
                    if (!passes_filter(w, cat, r)) continue;
                    const NameParts parts = split_extension(cat.name_at(r.name));
                    const std::string size =
                        size_text(r.size_kb, w.style.group_digits, facts.audio_cd);
                    const std::string date = table_date_text(time_of(r.time));
                    write(TableRecord{&facts, facts.name, parts.stem, parts.extension, size, date,
                                      path, cat.comment_at(r.comment)});
                    ++w.items;
                }
                if (!w.step(before + share * (d + 1) / static_cast<double>(dirs.size()))) {
                    return false;
                }
            }
            return true;
        });
}

// The rows of the search result, each from its medium, as the result view
// shows them.
template <class Write>
void for_each_result_row(OutputWalk& w, Write write) {
    const auto& hits = w.ctx.search.hits;
    int loaded = -1;
    const Catalog* cat = nullptr;
    for (std::size_t i = 0; i < hits.size(); ++i) {
        const int n = static_cast<int>(hits[i].catalog_number & 0xFFFF);
        if (n != loaded) {
            loaded = n;
            cat = w.ctx.catalog.current_number() == n         ? &w.ctx.catalog
                  : LoadCatalogForSearch(w.ctx, n, w.scratch) ? &w.scratch
                                                              : nullptr;
        }
        if (cat) {
            const std::uint32_t index = object_index(hits[i].object);
            const bool is_dir = is_dir_object(hits[i].object);
            const bool medium_info = i < w.ctx.search.details.size() &&
                                     w.ctx.search.details[i].kind == HitKind::MediumInfo;
            std::string_view name, comment;
            std::string path, date, size;
            const bool audio = (cat->header.medium_flags & MEDIUM_AUDIO_CD) != 0;
            if (medium_info) {
                name = fixed_text(cat->header.medium_name);
                comment = cat->description();
                size = size_text(cat->header.total_kb, w.style.group_digits, audio);
            } else if (is_dir && index < cat->dir_count()) {
                const DirRecord& d = cat->dirs()[index];
                name = cat->name_at(d.name);
                comment = cat->comment_at(d.comment);
                path = path_text(*cat, d.parent < index ? d.parent : 0);
                size = size_text(d.size_kb, w.style.group_digits, audio);
                date = list_date_text(time_of(d.time));
            } else if (!is_dir && index < cat->file_count()) {
                const FileRecord& r = cat->files()[index];
                name = cat->name_at(r.name);
                comment = cat->comment_at(r.comment);
                path = path_text(*cat, r.parent);
                size = size_text(r.size_kb, w.style.group_digits, audio);
                date = list_date_text(time_of(r.time));
            }
            const NameParts parts =
                is_dir || medium_info ? NameParts{name, {}} : split_extension(name);
            write(ResultRow{fixed_text(cat->header.medium_name), parts.stem, parts.extension, size,
                            date, path, comment});
            ++w.items;
        }
        if (!w.step(static_cast<double>(i + 1) / static_cast<double>(hits.size()))) return;
    }
}

void write_csv(OutputWalk& w) {
    const bool result = w.settings.scope == OutputScope::SearchResult;
    CsvWriter out(w.file, w.style, result);
    out.header();
    if (result) {
        for_each_result_row(w, [&](const ResultRow& r) {
            out.record({nullptr, r.medium, r.name, r.extension, r.size, r.date, r.path, r.comment});
        });
    } else {
        for_each_table_record(w, [&](const TableRecord& r) { out.record(r); });
    }
}

void write_dbase(OutputWalk& w) {
    DbaseWriter out(w.file, w.style);
    out.begin();
    if (w.settings.scope == OutputScope::SearchResult) {
        for_each_result_row(w, [&](const ResultRow& r) {
            out.record({nullptr, r.medium, r.name, r.extension, r.size, r.date, r.path, r.comment});
        });
    } else {
        for_each_table_record(w, [&](const TableRecord& r) { out.record(r); });
    }
    out.finish();
}

void write_result_list(OutputWalk& w) {
    FileListWriter out(w.file, w.style);
    const SearchPattern& p = w.ctx.search.pattern;
    out.result_header(
        {w.ctx.search.text, w.ctx.settings.search.mode == SearchMode::Approximate, p.LastErrors});
    for_each_result_row(w, [&](const ResultRow& r) { out.result_row(r); });
}

void write_media_list(OutputWalk& w) {
    MediaListWriter out(w.file, w.style);
    MediaTotals totals;
    for (const MediumHeader& h : w.ctx.media.entries) {
        ++totals.media;
        totals.dirs += h.dir_count;
        totals.files += h.file_count;
    }
    out.header(totals);
    const bool lent = w.settings.scope == OutputScope::LentMedia;
    for_each_medium(w, true, [&](const Catalog& cat, std::uint32_t, double, double) {
        const MediumFacts facts = facts_of(w.ctx, cat);
        if (lent) {
            out.lent_medium(facts);
        } else {
            out.medium(facts);
        }
        ++w.items;
        return true;
    });
}

std::string errno_text(int e) {
    return e == 0 ? std::string() : std::string(" (") + std::strerror(e) + ")";
}

}  // namespace

std::string output_file_path(const std::string& file_name, OutputFormat format) {
    const char* ext = format == OutputFormat::Csv     ? "CSV"
                      : format == OutputFormat::Dbase ? "DBF"
                                                      : "TXT";
    const std::size_t slash = file_name.rfind('/');
    const std::size_t dot = file_name.rfind('.');
    const bool has_ext =
        dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (has_ext ? file_name.substr(0, dot) : file_name) + "." + ext;
}

OutputResult RunOutputTo(Context& ctx, const OutputSettings& settings,
                         const OutputRequest& request) {
    OutputResult result;
    const auto fail = [&](OutputStatus status, std::string text, const char* title) {
        result.status = status;
        result.message = text;
        ctx.frontend.message(text, title, Buttons::Ok,
                             status == OutputStatus::Aborted ? Icon::Information : Icon::Stop);
        return result;
    };
    const char* error_title = ctx.tr(" Fehler ", " error ");
    if (settings.target == OutputTarget::Printer) {
        return fail(OutputStatus::Refused,
                    ctx.tr("Drucken ist in dieser Fassung nicht m\xC3\xB6glich",
                           "printing is not available in this build"),
                    error_title);
    }
    const bool table =
        settings.format == OutputFormat::Csv || settings.format == OutputFormat::Dbase;
    if (table && settings.scope == OutputScope::SearchResult && settings.dirs_only) {
        return fail(OutputStatus::Refused,
                    ctx.tr("Nur Verzeichnisse sollen ausgegeben werden\nAusgabe abgebrochen",
                           "only directories are to be written\noutput aborted"),
                    ctx.tr("Achtung", "attention"));
    }
    if ((settings.scope == OutputScope::CurrentMedium || settings.scope == OutputScope::FromPath) &&
        ctx.catalog.current_number() < 0 &&
        (request.medium < 0 ||
         !ctx.media.position_of(static_cast<std::uint32_t>(request.medium)))) {
        return fail(OutputStatus::Refused, ctx.tr("Kein Medium geladen", "no medium loaded"),
                    error_title);
    }
    result.path = request.exact_path ? settings.file_name
                                     : output_file_path(settings.file_name, settings.format);
    const bool append = settings.append && !table;

    struct stat st {};
    const bool exists = ::stat(result.path.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        return fail(
            OutputStatus::Refused,
            result.path + ctx.tr(": keine gew\xC3\xB6hnliche Datei", ": not a regular file"),
            error_title);
    }
    // A file nobody may write to is not replaced, even by a user (root) whom
    // the permissions would not stop.
    if (exists && ((st.st_mode & 0222) == 0 || ::access(result.path.c_str(), W_OK) != 0)) {
        return fail(OutputStatus::Refused,
                    result.path + ctx.tr(": schreibgesch\xC3\xBCtzt, nicht ersetzt",
                                         ": read-only, not replaced"),
                    error_title);
    }
    if (exists && !append) {
        if (request.existing == ExistingFile::Keep) {
            return fail(
                OutputStatus::Declined,
                result.path + ctx.tr(": Datei vorhanden, nicht ersetzt (--force ersetzt sie)",
                                     ": file exists, not replaced (--force replaces it)"),
                error_title);
        }
        if (request.existing == ExistingFile::Ask &&
            ctx.frontend.message(ctx.tr(" Datei vorhanden. \xC3\x9C"
                                        "berschreiben? ",
                                        " file already exists. overwrite? "),
                                 error_title, Buttons::YesNo, Icon::Question) != Answer::Yes) {
            result.status = OutputStatus::Declined;
            return result;
        }
    }

    OutputWalk w(ctx, settings, request);
    const TextEncoding encoding =
        settings.windows1252_text ? TextEncoding::Windows1252 : TextEncoding::Utf8;
    errno = 0;
    if (!w.file.open(result.path, append,
                     settings.format == OutputFormat::Dbase ? TextEncoding::Utf8 : encoding)) {
        const int e = errno;
        w.op.finish();
        return fail(OutputStatus::Failed,
                    ctx.tr(" Datei konnte nicht ge\xC3\xB6\x66\x66net werden ",
                           " file could not be opened ") +
                        std::string(": ") + result.path + errno_text(e),
                    error_title);
    }
    if (settings.use_filter) {
        w.filter.IgnoreCase = settings.ignore_case;
        PrepareFilterString(w.filter, request.filter_text);
    }
    switch (settings.format) {
        case OutputFormat::Files:
            if (settings.scope == OutputScope::SearchResult) {
                write_result_list(w);
            } else {
                write_file_list(w);
            }
            break;
        case OutputFormat::Tree:
            write_tree(w);
            break;
        case OutputFormat::Csv:
            write_csv(w);
            break;
        case OutputFormat::Dbase:
            write_dbase(w);
            break;
        case OutputFormat::MediaList:
            write_media_list(w);
            break;
    }
    errno = 0;
    const bool written = w.file.close();
    const int e = errno;
    w.op.finish();
    result.items = w.items;
    if (!written) {
        return fail(
            OutputStatus::Failed,
            ctx.tr(" Datei konnte nicht geschrieben werden ", " file could not be written ") +
                std::string(": ") + result.path + errno_text(e) +
                ctx.tr("; das bisher Geschriebene bleibt", "; what was written is kept"),
            error_title);
    }
    if (w.aborted) {
        return fail(OutputStatus::Aborted,
                    ctx.tr("Ausgabe abgebrochen; das bisher Geschriebene bleibt in ",
                           "output aborted; what was written is kept in ") +
                        result.path,
                    ctx.tr("Ausgabe", "output"));
    }
    return result;
}

OutputResult RunOutputNoDialog(Context& ctx, ExistingFile existing) {
    OutputRequest request;
    request.existing = existing;
    request.filter_text = ctx.settings.output.history[0];
    request.medium = ctx.settings.state.last_catalog;
    // Building the list empties the current Catalog: only when none is loaded.
    if (ctx.media.entries.empty() && ctx.catalog.current_number() < 0) BuildMediaList(ctx);
    return RunOutputTo(ctx, ctx.settings.output, request);
}

}  // namespace orbisto
