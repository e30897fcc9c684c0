// Operations on media as a whole: showing a category, deleting media and
// moving them between categories.
//
// Declared in catalog/media_list.h (with the media list they change).
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "catalog/category_edit.h"
#include "catalog/media_list.h"
#include "catalog/save_question.h"

namespace orbisto {

namespace {

// The valid positions of a selection, each once, in the order given.
std::vector<std::size_t> valid_positions(const CatalogContext& ctx,
                                         std::span<const std::size_t> positions) {
    std::vector<std::size_t> out;
    for (std::size_t p : positions) {
        if (p < ctx.media.count() && std::find(out.begin(), out.end(), p) == out.end()) {
            out.push_back(p);
        }
    }
    return out;
}

bool is_current(const CatalogContext& ctx, const MediumHeader& m) {
    return ctx.catalog.current_number() >= 0 &&
           m.catalog_number == static_cast<std::uint32_t>(ctx.catalog.current_number());
}

}  // namespace

CategoryView ShowCategory(CatalogContext& ctx, int c) {
    CategoryView view;
    if (!ctx.categories.valid(c)) c = 0;
    view.category = c;
    ctx.settings.state.last_category = c;

    const auto& entries = ctx.media.entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (IsMemberOfCategory(ctx, entries[i], c)) view.members.push_back(i);
    }
    if (view.members.empty()) return view;

    view.selected = view.members.front();
    for (std::size_t p : view.members) {
        if (is_current(ctx, entries[p])) {
            view.selected = p;
            break;
        }
    }
    view.loaded = LoadCatalog(ctx, static_cast<int>(entries[*view.selected].catalog_number));
    return view;
}

std::size_t DeleteMedia(CatalogContext& ctx, std::span<const std::size_t> positions,
                        bool from_list_view) {
    const std::vector<std::size_t> chosen = valid_positions(ctx, positions);
    if (chosen.empty()) return 0;

    Answer answer;
    if (from_list_view) {
        answer = ctx.frontend.message(
            ctx.tr("Markierten Einträge wirklich löschen?", "really delete selected entries?"),
            ctx.tr("Löschen ?", "delete ?"), Buttons::YesNo, Icon::Question);
    } else {
        const std::string name(fixed_text(ctx.media.entries[chosen.front()].medium_name));
        answer = ctx.frontend.message(ctx.tr("Eintrag wirklich löschen?", "really delete entry?"),
                                      name, Buttons::YesNo, Icon::Question);
    }
    if (answer != Answer::Yes) return 0;
    return delete_media_files(ctx, chosen);
}

std::size_t delete_media_files(CatalogContext& ctx, std::span<const std::size_t> positions) {
    const std::vector<std::size_t> chosen = valid_positions(ctx, positions);
    if (chosen.empty()) return 0;

    // The current Catalog is emptied below. Unsaved changes of a medium that
    // stays are offered for saving first; if that save fails nothing is
    // deleted, so the changes are not lost.
    const bool current_deleted = std::any_of(chosen.begin(), chosen.end(), [&](std::size_t p) {
        return is_current(ctx, ctx.media.entries[p]);
    });
    if (!current_deleted && !ask_save_if_changed(ctx)) {
        ctx.catalog.set_changed(true);
        return 0;
    }

    std::vector<std::size_t> removed;
    for (std::size_t p : chosen) {
        const std::string path = catalog_path(
            ctx.paths.catalog_dir, static_cast<int>(ctx.media.entries[p].catalog_number));
        if (::unlink(path.c_str()) == 0 || errno == ENOENT) {
            removed.push_back(p);
        } else {
            // A file that stays would bring its medium back with the next
            // list build; keep the entry so the list says what is there.
            ctx.frontend.message(
                ctx.tr("Datei konnte nicht gelöscht werden", "file could not be deleted"), path,
                Buttons::Ok, Icon::Stop);
        }
    }
    // Erase from the back so the remaining positions stay valid.
    std::sort(removed.rbegin(), removed.rend());
    for (std::size_t p : removed) {
        ctx.media.entries.erase(ctx.media.entries.begin() + static_cast<std::ptrdiff_t>(p));
    }

    ctx.catalog.reset(ctx.english());
    // The empty Catalog belongs to no file: it must never be saved over one,
    // and the next load of any number must really load.
    ctx.catalog.set_current_number(-1);
    ctx.status(ctx.catalog.status_text(0));
    ctx.observer.catalog_replaced();
    if (!removed.empty()) {
        WriteFastLoadIndex(ctx);
        ctx.observer.media_changed();
    }
    return removed.size();
}

MoveResult MoveMediaToCategory(CatalogContext& ctx, std::span<const std::size_t> positions, int c,
                               int shown_category) {
    MoveResult result;
    const int lent = ctx.categories.lent_index();
    for (std::size_t p : positions) {
        if (p >= ctx.media.count()) continue;
        if (!ctx.categories.valid(c)) break;
        MediumHeader& entry = ctx.media.entries[p];
        if (entry.category == static_cast<std::uint32_t>(c)) break;

        const int number = static_cast<int>(entry.catalog_number);
        MediumHeader header;
        if (ReadCatalogHeader(ctx, number, header) != 1) {
            ctx.frontend.message(ctx.tr("Fehler beim Lesen des Headers", "error reading header"),
                                 ctx.tr("Fehler!", "Error!"), Buttons::Ok, Icon::Stop);
            continue;
        }
        if (shown_category == lent) {
            header.medium_flags &= ~MEDIUM_LENT;  // the medium has come back
        } else if (c == lent) {
            header.medium_flags |= MEDIUM_LENT;
        } else {
            header.category = static_cast<std::uint32_t>(c);
        }
        // Only the fields changed here are taken over, from the header as it
        // is stored, and only once it has been written.
        if (WriteCatalogHeader(ctx, number, header) != 1) continue;
        entry.medium_flags = header.medium_flags;
        entry.category = header.category;
        result.moved.push_back(p);
        if (is_current(ctx, entry)) {
            result.current_moved = true;
            ctx.catalog.header.medium_flags = header.medium_flags;
            ctx.catalog.header.category = header.category;
        }
        if (!IsMemberOfCategory(ctx, entry, shown_category)) result.dropped.push_back(p);
    }
    if (!result.moved.empty()) {
        WriteFastLoadIndex(ctx);
        ctx.observer.media_changed();
    }
    if (result.current_moved) ctx.observer.catalog_changed();
    return result;
}

}  // namespace orbisto
