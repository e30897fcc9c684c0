#include "session/output_walk.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "catalog/catalog_store.h"
#include "catalog/catalog_tree.h"
#include "catalog/media_list.h"
#include "output/csv_writer.h"
#include "output/dbase_writer.h"
#include "output/media_list_writer.h"
#include "output/number_text.h"
#include "output/print_device.h"
#include "search/search_engine.h"
#include "search/search_time.h"
#include "session/context.h"
#include "text/mime_types.h"

namespace orbisto {

OutputWalk::OutputWalk(Context& c, const OutputSettings& s, const OutputRequest& r, Printer* p)
    : ctx(c),
      settings(s),
      request(r),
      style{.settings = s,
            .english = c.english(),
            .group_digits = c.settings.options.group_digits,
            .program = window_title(),
            .created = created_text(),
            .printed = p != nullptr},
      printer(p),
      op(c, {c.tr("Ausgabe l\xC3\xA4uft.", "output in progress."), 100, false}),
      scratch(c.limits, c.english()) {}

bool OutputWalk::target_ok() const {
    return printer ? printer->ok() : file.ok();
}

bool OutputWalk::step(double done) {
    op.progress(static_cast<int>(std::clamp(done, 0.0, 1.0) * 100));
    if (!op.step()) aborted = true;
    return !aborted && target_ok();
}

void OutputWalk::status(std::size_t item, std::size_t count, std::string_view name) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%zu/%zu", item, count);
    std::string text = buf;
    if (!name.empty()) text.append(" - ").append(clean_text(first_chars(name, 40)));
    ctx.frontend.status(0, text);
}

std::string_view OutputWalk::type_description(std::string_view name, std::string_view comment) {
    if (!comment.empty() || !ctx.settings.options.comments_from_registry) return {};
    return shared_mime_types().description(name, ctx.english());
}

namespace {

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
        w.status(k + 1, media.size(), fixed_text(header.medium_name));
        if (const Catalog* cat = medium_at(w, header)) {
            if (!each(*cat, 0u, before, share)) return;
        }
        if (!w.step(before + share)) return;
    }
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
                if (!multi_medium(w.settings.scope)) w.status(d + 1, dirs.size(), path);
                for (const std::uint32_t f : files) {
                    const FileRecord& r = cat.files()[f];
                    if (!passes_filter(w, cat, r)) continue;
                    const std::string_view name = cat.name_at(r.name);
                    const std::string_view comment = cat.comment_at(r.comment);
                    const NameParts parts = split_extension(name);
                    const std::string size =
                        size_text(r.size_kb, w.style.group_digits, facts.audio_cd);
                    const std::string date = table_date_text(time_of(r.time));
                    write(TableRecord{&facts, facts.name, parts.stem, parts.extension, size, date,
                                      path, comment, w.type_description(name, comment)});
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
            w.status(i + 1, hits.size(), name);
            write(ResultRow{fixed_text(cat->header.medium_name), parts.stem, parts.extension, size,
                            date, path, comment});
            ++w.items;
        }
        if (!w.step(static_cast<double>(i + 1) / static_cast<double>(hits.size()))) return;
    }
}

}  // namespace

void write_file_list(OutputWalk& w, FileListForm& out) {
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
                const std::string path = path_text(cat, d);
                if (!multi_medium(w.settings.scope)) w.status(d + 1, dirs.size(), path);
                out.directory(facts, path);
                if (w.settings.show_path) {
                    for (const std::uint32_t c : subdirs_in_order(tree, d)) {
                        out.subdirectory(cat.dir_name(c), cat.dir_comment(c),
                                         (dirs[c].flags & FLAG_ARCHIVE_DIR) != 0);
                    }
                }
                for (const std::uint32_t f : tree.files(d)) {
                    const FileRecord& r = cat.files()[f];
                    if (!passes_filter(w, cat, r)) continue;
                    const std::string_view name = cat.name_at(r.name);
                    const std::string_view comment = cat.comment_at(r.comment);
                    out.file({name, r.size_kb, audio, time_of(r.time), comment,
                              w.type_description(name, comment)});
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

void write_tree(OutputWalk& w, TreeForm& out) {
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
        while (!stack.empty() && w.target_ok()) {
            Level& top = stack.back();
            if (top.next == top.dirs.size()) {
                stack.pop_back();
                continue;
            }
            const std::uint32_t c = top.dirs[top.next++];
            const int depth = static_cast<int>(stack.size()) - 1;
            out.directory(depth, cat.dir_name(c), cat.dir_comment(c));
            ++w.items;
            if (tree_writes_depth(w.settings, depth + 1))
                stack.push_back({subdirs_in_order(tree, c), 0});
        }
        out.end_medium();
        return true;
    });
}

void write_csv(OutputWalk& w) {
    const bool result = w.settings.scope == OutputScope::SearchResult;
    CsvWriter out(w.file, w.style, result);
    out.header();
    if (result) {
        for_each_result_row(w, [&](const ResultRow& r) {
            out.record(
                {nullptr, r.medium, r.name, r.extension, r.size, r.date, r.path, r.comment, {}});
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
            out.record(
                {nullptr, r.medium, r.name, r.extension, r.size, r.date, r.path, r.comment, {}});
        });
    } else {
        for_each_table_record(w, [&](const TableRecord& r) { out.record(r); });
    }
    out.finish();
}

void write_result_list(OutputWalk& w, FileListForm& out) {
    const SearchPattern& p = w.ctx.search.pattern;
    out.result_header(
        {w.ctx.search.text, w.ctx.settings.search.mode == SearchMode::Approximate, p.LastErrors});
    for_each_result_row(w, [&](const ResultRow& r) { out.result_row(r); });
}

void write_media_list(OutputWalk& w, MediaListForm& out) {
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

}  // namespace orbisto
