#include "catalog/medium_edit.h"

#include <string>

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "catalog/category_edit.h"
#include "catalog/media_list.h"

namespace orbisto {

namespace {

bool only_blanks(std::string_view s) {
    return s.find_first_not_of(" \t") == std::string_view::npos;
}

// Loads catalogue n for a change of its info block; false (the store has
// said why) when it cannot be loaded.
bool load_for_change(CatalogContext& ctx, std::uint32_t number) {
    if (!ctx.media.position_of(number)) return false;
    return LoadCatalog(ctx, static_cast<int>(number));
}

// Saves the changed current Catalog under its number; the MediaList entry
// follows in the save, the fast-load index here.
MediumEdit save_change(CatalogContext& ctx, std::uint32_t number) {
    ctx.catalog.set_changed(true);
    if (SaveCatalog(ctx, static_cast<int>(number)) != static_cast<int>(number)) {
        return MediumEdit::Failed;
    }
    WriteFastLoadIndex(ctx);
    return MediumEdit::Done;
}

}  // namespace

MediumEdit RenameMedium(CatalogContext& ctx, std::uint32_t number, std::string_view name) {
    const auto pos = ctx.media.position_of(number);
    if (!pos) return MediumEdit::Failed;
    if (only_blanks(name)) return MediumEdit::Empty;
    if (!fits_text_field(MediumHeader{}.medium_name, name)) return MediumEdit::TooLong;
    if (fixed_text(ctx.media.entries[*pos].medium_name) == name) return MediumEdit::Unchanged;
    if (!CheckMediumName(ctx, static_cast<int>(*pos), name)) return MediumEdit::Declined;

    MediumHeader header;
    const int n = static_cast<int>(number);
    if (ReadCatalogHeader(ctx, n, header) != 1) {
        ctx.frontend.message(ctx.tr("Fehler beim Lesen des Headers", "error reading header"),
                             ctx.tr("Fehler!", "Error!"), Buttons::Ok, Icon::Stop);
        return MediumEdit::Failed;
    }
    set_fixed_text(header.medium_name, name);
    // The current Catalog takes the name over in the header write.
    if (WriteCatalogHeader(ctx, n, header) != 1) return MediumEdit::Failed;
    ctx.media.entries[*pos].medium_name = header.medium_name;
    WriteFastLoadIndex(ctx);
    ctx.observer.media_changed();
    if (n == ctx.catalog.current_number()) ctx.observer.catalog_changed();
    return MediumEdit::Done;
}

MediumEdit LendMedium(CatalogContext& ctx, std::uint32_t number, const Lending& lending) {
    const auto pos = ctx.media.position_of(number);
    if (!pos) return MediumEdit::Failed;
    if (only_blanks(lending.to)) return MediumEdit::Empty;
    const MediumInfo& fields = ctx.catalog.info;
    if (!fits_text_field(fields.lent_to, lending.to) ||
        !fits_text_field(fields.lent_from, lending.from) ||
        !fits_text_field(fields.lent_until, lending.until)) {
        return MediumEdit::TooLong;
    }
    if (ctx.media.entries[*pos].medium_flags & MEDIUM_LENT) return MediumEdit::AlreadyLent;
    if (!load_for_change(ctx, number)) return MediumEdit::Failed;
    Catalog& cat = ctx.catalog;
    cat.header.medium_flags |= MEDIUM_LENT;
    set_fixed_text(cat.info.lent_to, lending.to);
    set_fixed_text(cat.info.lent_from, lending.from);
    set_fixed_text(cat.info.lent_until, lending.until);
    return save_change(ctx, number);
}

MediumEdit ReturnMedium(CatalogContext& ctx, std::uint32_t number) {
    const auto pos = ctx.media.position_of(number);
    if (!pos) return MediumEdit::Failed;
    if (!(ctx.media.entries[*pos].medium_flags & MEDIUM_LENT)) return MediumEdit::NotLent;
    if (!load_for_change(ctx, number)) return MediumEdit::Failed;
    Catalog& cat = ctx.catalog;
    cat.header.medium_flags &= ~MEDIUM_LENT;
    set_fixed_text(cat.info.lent_to, "");
    set_fixed_text(cat.info.lent_from, "");
    set_fixed_text(cat.info.lent_until, "");
    return save_change(ctx, number);
}

}  // namespace orbisto
