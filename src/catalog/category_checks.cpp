// Membership through the Context and the duplicate-name questions asked
// before a category or a medium is renamed.
//
// Declared in catalog/category_edit.h (with the category edits they guard).
#include <string>

#include "catalog/catalog_context.h"
#include "catalog/categories.h"
#include "catalog/category_edit.h"
#include "platform/codepage.h"

namespace orbisto {
namespace {

// Asks the rename question; true when the answer allows the rename.
bool ask_rename(CatalogContext& ctx, const char* de, const char* en) {
    const Answer a = ctx.frontend.message(ctx.tr(de, en), ctx.tr("Achtung!", "Attention!"),
                                          Buttons::YesNo, Icon::Question);
    return a == Answer::Yes;
}

}  // namespace

bool IsMemberOfCategory(const CatalogContext& ctx, const MediumHeader& m, int c) {
    return IsMemberOfCategory(ctx.categories, ctx.settings.options.include_subcategories, m, c);
}

bool CheckCategoryName(CatalogContext& ctx, int index, std::string_view name) {
    const CategoryTable& table = ctx.categories;
    const std::string wanted = upper_german(name);
    // Every entry, the pseudo entries and "! verliehen" included.
    for (int i = 0; i <= table.count(); ++i) {
        if (i == index) continue;
        if (upper_german(table.name(i)) == wanted) {
            return ask_rename(ctx, "Kategorie schon vorhanden. Umbenennen?",
                              "Kategory already exists. Rename?");
        }
    }
    return true;
}

bool CheckMediumName(CatalogContext& ctx, int index, std::string_view name) {
    // Compared as it will be stored: cut like the medium_name field cuts it.
    name = name.substr(0, name.find('\0'));
    name = name.substr(
        0, stored_prefix_length(name, decltype(MediumHeader::medium_name)::stored_size - 1));
    const std::string wanted = upper_german(name);
    const auto& entries = ctx.media.entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (index >= 0 && i == static_cast<std::size_t>(index)) continue;
        if (upper_german(fixed_text(entries[i].medium_name)) == wanted) {
            return ask_rename(ctx, "Medium schon vorhanden. Umbenennen?",
                              "Media already exists. Rename?");
        }
    }
    return true;
}

}  // namespace orbisto
