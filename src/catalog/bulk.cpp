// Compressing or expanding every catalogue file in one run.
#include "catalog/bulk.h"

#include <string>

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "catalog/long_operation.h"
#include "catalog/save_question.h"

namespace orbisto {

namespace {

struct BulkTexts {
    const char* question_de;
    const char* question_en;
    const char* caption_de;
    const char* caption_en;
    const char* progress_de;
    const char* progress_en;
};

// Sets store_compressed for the run and restores it on every way out.
class ForcedStorage {
  public:
    ForcedStorage(CatalogContext& ctx, bool value)
        : setting_(ctx.settings.options.store_compressed) {
        saved_ = setting_;
        setting_ = value;
    }
    ~ForcedStorage() { setting_ = saved_; }
    ForcedStorage(const ForcedStorage&) = delete;
    ForcedStorage& operator=(const ForcedStorage&) = delete;

  private:
    bool& setting_;
    bool saved_;
};

constexpr BulkTexts kPackTexts{"Alle Dateien packen?",    "compress all files?",
                               "Katalog packen",          "compress catalog",
                               "Dateien werden gepackt.", "files will be compressed."};
constexpr BulkTexts kUnpackTexts{"Alle Dateien entpacken?",  "expand all files?",
                                 "Katalog entpacken",        "expand catalog",
                                 "Dateien werden entpackt.", "files will be expanded."};

BulkResult resave_unasked(CatalogContext& ctx, bool compress, const BulkTexts& t) {
    // Unsaved changes are offered before the first medium replaces them; if
    // that save fails the run does not start.
    if (!ask_save_if_changed(ctx)) {
        ctx.catalog.set_changed(true);
        return BulkResult::Failed;
    }
    // Every medium must really be loaded, the one in memory too: saving it
    // from memory could write a Catalog whose texts a long operation cleared.
    ctx.catalog.set_current_number(-1);

    ForcedStorage forced(ctx, compress);
    const int count = static_cast<int>(ctx.media.count());
    LongOperationOptions options;
    options.text = ctx.tr(t.progress_de, t.progress_en);
    options.range = count;
    options.replaces_catalog = false;
    LongOperation op(ctx, options);

    for (int i = 0; i < count && static_cast<std::size_t>(i) < ctx.media.count(); ++i) {
        if (op.aborted()) return BulkResult::Aborted;
        const MediumHeader& entry = ctx.media.entries[static_cast<std::size_t>(i)];
        const int n = static_cast<int>(entry.catalog_number);
        op.progress(i + 1);
        ctx.status(std::string(fixed_text(entry.medium_name)));
        if (!op.step()) return BulkResult::Aborted;
        // A catalogue that does not load stays as it is: saving the empty
        // Catalog a failed load leaves would destroy it.
        if (!LoadCatalog(ctx, n)) continue;
        if (SaveCatalog(ctx, n) != n) {
            if (compress) {
                ctx.frontend.message(
                    ctx.tr("Daten konnten nicht gepackt werden!", "files could not be compressed!"),
                    ctx.tr("Fehler!", "error!"), Buttons::Ok, Icon::Stop);
            }
            return BulkResult::Failed;
        }
    }
    return BulkResult::Done;
}

BulkResult resave_all(CatalogContext& ctx, bool compress, const BulkTexts& t) {
    const Answer answer =
        ctx.frontend.message(ctx.tr(t.question_de, t.question_en),
                             ctx.tr(t.caption_de, t.caption_en), Buttons::OkCancel, Icon::Question);
    if (answer != Answer::Ok) return BulkResult::Cancelled;
    return resave_unasked(ctx, compress, t);
}

}  // namespace

BulkResult PackAll(CatalogContext& ctx) {
    return resave_all(ctx, true, kPackTexts);
}

BulkResult UnpackAll(CatalogContext& ctx) {
    return resave_all(ctx, false, kUnpackTexts);
}

BulkResult resave_all_catalogues(CatalogContext& ctx, bool compress) {
    return resave_unasked(ctx, compress, compress ? kPackTexts : kUnpackTexts);
}

}  // namespace orbisto
