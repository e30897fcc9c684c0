#include "scan/medium_sheet.h"

#include "platform/codepage.h"
#include "scan/scan_context.h"
#include "scan/scan_steps.h"

namespace orbisto {

void CategoryOffers::operator()(std::string_view medium_name) {
    if (done_ || !ctx_.settings.options.auto_category) return;
    const std::string name = upper_german(medium_name);
    const CategoryTable& table = ctx_.categories;
    for (int i = 2; i < table.count(); ++i) {
        const std::string category = upper_german(table.name(i));
        if (category.empty() || name.find(category) == std::string::npos) continue;
        const Answer a = ctx_.frontend.message("Diese Kategorie \303\274bernehmen?", table.name(i),
                                               Buttons::YesNo, Icon::Question);
        done_ = true;
        if (a != Answer::Yes) break;
        ctx_.catalog.header.category = static_cast<std::uint32_t>(i);
    }
}

bool ShowMediumSheet(ScanContext& ctx, bool new_medium) {
    Catalog& cat = ctx.catalog;
    if (new_medium && cat.description().empty()) {
        std::string text = newest_file_text(ctx.scan);
        if (!text.empty()) text += "\r\n";
        text += mp3_totals_line(ctx.scan.mp3);
        cat.set_description(text);
    }
    CategoryOffers offers(ctx);
    const bool accepted =
        ctx.scan_dialogs.medium_information(cat, ctx.tr("CD-Informationen", "CD-information"),
                                            [&offers](std::string_view name) { offers(name); });
    if (!accepted) return false;
    const std::string_view d = cat.description();
    if (d == "noch keine Information vorhanden" || d == "no information") cat.set_description({});
    cat.sync_header();
    return true;
}

}  // namespace orbisto
