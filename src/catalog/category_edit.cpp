// The edits of the category tree. Each one changes the table in memory,
// writes it to the category file and, when that write fails, puts the table
// back as it was, so memory and file never disagree about the positions that
// the catalogue files refer to.
#include "catalog/category_edit.h"

#include <string>
#include <utility>
#include <vector>

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "catalog/categories.h"
#include "catalog/category_file.h"
#include "catalog/media_list.h"

namespace orbisto {
namespace {

bool blank(std::string_view s) {
    return s.find_first_not_of(" \t") == std::string_view::npos;
}

// Writes the changed table; on failure restores `before` (keeping which file
// the categories now live in, as the write may have made WICHTIG.INI).
bool store_or_restore(CatalogContext& ctx, CategoryTable before) {
    if (WriteCategories(ctx)) {
        ctx.observer.categories_changed();
        return true;
    }
    before.file = ctx.categories.file;
    before.in_settings_file = ctx.categories.in_settings_file;
    ctx.categories = std::move(before);
    return false;
}

// The remembered category and the search category are positions as well.
void remap_remembered(CatalogContext& ctx, const std::vector<int>& map) {
    auto remap_int = [&map](int& v) {
        if (v >= 0) v = static_cast<int>(remap_category(map, static_cast<std::uint32_t>(v)));
    };
    remap_int(ctx.settings.state.last_category);
    remap_int(ctx.settings.search.category);
}

// Gives catalogue `number` the category `category` in its file. A header
// that cannot be read is reported; a failed write is reported by the store.
bool rewrite_category(CatalogContext& ctx, std::uint32_t number, std::uint32_t category) {
    const int n = static_cast<int>(number & 0xFFFF);
    MediumHeader scratch;
    if (ReadCatalogHeader(ctx, n, scratch) != 1) {
        ctx.frontend.message(ctx.tr("Fehler beim Lesen des Headers", "error reading header"),
                             ctx.tr("Fehler!", "Error!"), Buttons::Ok, Icon::Stop);
        return false;
    }
    scratch.category = category;
    return WriteCatalogHeader(ctx, n, scratch) == 1;
}

}  // namespace

CategoryCreated CreateCategory(CatalogContext& ctx, std::string_view name, int parent) {
    const std::string clean = CategoryTable::clean_name(name, kCategoryNameStored);
    if (blank(clean)) return {};
    CategoryTable before = ctx.categories;
    const int old_lent = ctx.categories.lent_index();
    const int index = ctx.categories.add(clean, parent);
    if (index < 0) return {};
    if (!store_or_restore(ctx, std::move(before))) return {CategoryEdit::NotStored, -1};
    // Only "! verliehen" moved: it took the next position.
    std::vector<int> map(static_cast<std::size_t>(old_lent) + 1);
    for (int i = 0; i <= old_lent; ++i) map[static_cast<std::size_t>(i)] = i;
    map[static_cast<std::size_t>(old_lent)] = ctx.categories.lent_index();
    remap_remembered(ctx, map);
    return {CategoryEdit::Done, index};
}

CategoryEdit RenameCategory(CatalogContext& ctx, int index, std::string_view name) {
    if (!ctx.categories.is_user_category(index)) return CategoryEdit::Refused;
    const std::string clean = CategoryTable::clean_name(name, kCategoryNameStored);
    if (blank(clean) || clean == ctx.categories.name(index)) return CategoryEdit::Unchanged;
    if (!CheckCategoryName(ctx, index, clean)) return CategoryEdit::Declined;
    CategoryTable before = ctx.categories;
    ctx.categories.set_name(index, clean);
    return store_or_restore(ctx, std::move(before)) ? CategoryEdit::Done : CategoryEdit::NotStored;
}

CategoryEdit MoveCategory(CatalogContext& ctx, int index, int parent) {
    if (!ctx.categories.is_user_category(index)) return CategoryEdit::Refused;
    if (ctx.categories.parent(index) == parent) return CategoryEdit::Unchanged;
    CategoryTable before = ctx.categories;
    if (!ctx.categories.set_parent(index, parent)) return CategoryEdit::Refused;
    return store_or_restore(ctx, std::move(before)) ? CategoryEdit::Done : CategoryEdit::NotStored;
}

CategoryEdit DeleteCategory(CatalogContext& ctx, int index) {
    if (!ctx.categories.is_user_category(index)) return CategoryEdit::Refused;
    CategoryTable before = ctx.categories;
    const std::vector<int> map = ctx.categories.remove_subtree(index);
    // The table goes first: were the headers renumbered and the table write
    // then failed, every renumbered medium would name the wrong category at
    // the next start.
    if (!store_or_restore(ctx, std::move(before))) return CategoryEdit::NotStored;

    // Taken before the loop: rewriting the current medium's header updates
    // the Catalog in memory too, and must not be renumbered twice.
    const std::uint32_t current_category = ctx.catalog.header.category;
    const int current = ctx.catalog.current_number();
    bool current_kept = false;
    bool list_changed = false;
    for (MediumHeader& entry : ctx.media.entries) {
        const std::uint32_t now = remap_category(map, entry.category);
        if (now == entry.category) continue;
        // The list follows the file: a medium whose header could not be
        // rewritten keeps the position its file still names (the failure
        // has been reported), so the list never claims what no file says.
        if (!rewrite_category(ctx, entry.catalog_number, now)) {
            current_kept = current_kept || static_cast<int>(entry.catalog_number) == current;
            continue;
        }
        entry.category = now;
        list_changed = true;
    }
    if (!current_kept) ctx.catalog.header.category = remap_category(map, current_category);
    remap_remembered(ctx, map);
    if (list_changed && ctx.settings.options.fast_load) WriteFastLoadIndex(ctx);
    if (list_changed) ctx.observer.media_changed();
    if (ctx.catalog.header.category != current_category) ctx.observer.catalog_changed();
    return CategoryEdit::Done;
}

}  // namespace orbisto
