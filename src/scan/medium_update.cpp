// The copy of the old Catalog before an update walk, its index, and the two
// lookups the walk asks for every entry it finds.
#include "scan/medium_update.h"

#include <memory>
#include <new>
#include <optional>

#include "catalog/catalog_snapshot.h"
#include "scan/old_catalog_index.h"
#include "scan/scan_context.h"

namespace orbisto {

namespace {

// The path of a parent directory as the lookups see it: the path of the
// directory when the index names one, else the root's (empty) path, which is
// also what Catalog::dir_path answers for such an index.
std::string parent_path(const Catalog& old, std::uint32_t parent) {
    return parent < old.dir_count() ? old.dir_path(parent) : std::string();
}

// The reference the index must agree with: a pass over the old records in
// order. Used when no index matches the old Catalog.
template <class Records, class NameOf>
std::optional<std::uint32_t> first_in_order(const Catalog& old, const Records& records,
                                            std::uint32_t from, NameOf name_of, bool by_name,
                                            std::string_view dir_path, std::string_view name) {
    for (std::uint32_t i = from; i < records.size(); ++i) {
        if (name_of(i) != name) continue;
        if (by_name || parent_path(old, records[i].parent) == dir_path) return i;
    }
    return std::nullopt;
}

// An index that belongs to the old Catalog held in ctx, or null.
const OldCatalogIndex* index_of(const ScanContext& ctx) {
    const OldCatalogIndex* index = ctx.scan.old_index.get();
    return index && index->source == ctx.scan.old.get() ? index : nullptr;
}

std::optional<std::uint32_t> find_in(
    const std::unordered_map<OldCatalogIndex::Key, std::uint32_t, OldCatalogIndex::KeyHash>& in_dir,
    const std::unordered_map<std::string_view, std::uint32_t>& by, const OldCatalogIndex& index,
    bool by_name, std::string_view dir_path, std::string_view name) {
    if (by_name) {
        const auto it = by.find(name);
        if (it == by.end()) return std::nullopt;
        return it->second;
    }
    const auto pid = index.path_ids.find(dir_path);
    if (pid == index.path_ids.end()) return std::nullopt;
    const auto it = in_dir.find(OldCatalogIndex::Key{pid->second, name});
    if (it == in_dir.end()) return std::nullopt;
    return it->second;
}

}  // namespace

OldCatalogIndex OldCatalogIndex::build(const Catalog& old) {
    OldCatalogIndex index;
    index.source = &old;
    const std::uint32_t dirs = old.dir_count();
    const std::uint32_t files = old.file_count();

    // One path per old directory, computed once; equal paths share an id.
    std::vector<std::uint32_t> path_of_dir(dirs);
    index.path_ids.reserve(dirs + 1);
    const std::uint32_t root_id = index.path_ids.emplace(std::string(), 0).first->second;
    for (std::uint32_t d = 0; d < dirs; ++d) {
        const auto next = static_cast<std::uint32_t>(index.path_ids.size());
        path_of_dir[d] = index.path_ids.emplace(old.dir_path(d), next).first->second;
    }
    auto id_of_parent = [&](std::uint32_t parent) {
        return parent < dirs ? path_of_dir[parent] : root_id;
    };

    // emplace keeps the entry already there, so each key maps to its first
    // record in order.
    index.file_in_dir.reserve(files);
    index.file_by_name.reserve(files);
    for (std::uint32_t i = 0; i < files; ++i) {
        const std::string_view name = old.file_name(i);
        index.file_in_dir.emplace(Key{id_of_parent(old.files()[i].parent), name}, i);
        index.file_by_name.emplace(name, i);
    }
    index.dir_in_dir.reserve(dirs);
    index.dir_by_name.reserve(dirs);
    for (std::uint32_t d = 1; d < dirs; ++d) {
        const std::string_view name = old.dir_name(d);
        index.dir_in_dir.emplace(Key{id_of_parent(old.dirs()[d].parent), name}, d);
        index.dir_by_name.emplace(name, d);
    }
    return index;
}

int PrepareUpdate(ScanContext& ctx) {
    ctx.scan.old_index.reset();
    ctx.scan.old.reset();
    CatalogSnapshot snap;
    if (!take_snapshot(ctx.catalog, snap, ctx.frontend, ctx.english())) return 1;
    try {
        auto old = std::make_unique<Catalog>(std::move(snap.old));
        auto index = std::make_unique<OldCatalogIndex>(OldCatalogIndex::build(*old));
        ctx.scan.old = std::move(old);
        ctx.scan.old_index = std::move(index);
    } catch (const std::bad_alloc&) {
        ctx.scan.old_index.reset();
        ctx.scan.old.reset();
        ctx.frontend.message(ctx.tr("Zu wenig Speicher!", "out of memory!"),
                             ctx.tr("Fehler", "error"), Buttons::Ok, Icon::Stop);
        return 1;
    }
    return 0;
}

std::int64_t LookupOldFile(const ScanContext& ctx, std::string_view dir_path,
                           std::string_view name) {
    const Catalog* old = ctx.scan.old.get();
    if (!old) return -1;
    const bool by_name = ctx.settings.options.update_by_name;
    std::optional<std::uint32_t> hit;
    if (const OldCatalogIndex* index = index_of(ctx)) {
        hit = find_in(index->file_in_dir, index->file_by_name, *index, by_name, dir_path, name);
    } else {
        hit = first_in_order(
            *old, old->files(), 0, [&](std::uint32_t i) { return old->file_name(i); }, by_name,
            dir_path, name);
    }
    // The first candidate decides: one without a comment gives nothing, even
    // when a later one has a comment.
    if (!hit || old->files()[*hit].comment == COMMENT_NONE) return -1;
    return *hit;
}

std::int64_t LookupOldDir(const ScanContext& ctx, std::string_view dir_path,
                          std::string_view name) {
    const Catalog* old = ctx.scan.old.get();
    if (!old) return -1;
    const bool by_name = ctx.settings.options.update_by_name;
    std::optional<std::uint32_t> hit;
    if (const OldCatalogIndex* index = index_of(ctx)) {
        hit = find_in(index->dir_in_dir, index->dir_by_name, *index, by_name, dir_path, name);
    } else {
        hit = first_in_order(
            *old, old->dirs(), 1, [&](std::uint32_t i) { return old->dir_name(i); }, by_name,
            dir_path, name);
    }
    if (!hit || old->dirs()[*hit].comment == COMMENT_NONE) return -1;
    return *hit;
}

}  // namespace orbisto
