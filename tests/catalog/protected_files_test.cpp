// Files the user made read-only are never replaced: every writer of the
// catalogue store refuses them with its write-failure message and leaves
// them as they were.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "catalog/bulk.h"
#include "catalog/catalog_context.h"
#include "catalog/category_edit.h"
#include "catalog/category_file.h"
#include "catalog/media_list.h"
#include "category_fixture.h"

namespace orbisto::test {
namespace {

struct ProtectedFixture : CategoryFixture {
    TempDir elsewhere;
    ProtectedFixture() {
        ctx.settings.options.fast_load = true;
        ctx.categories.add("A", 0);
        EXPECT_TRUE(WriteCategories(ctx));  // makes WICHTIG.INI
        for (int n = 0; n < 2; ++n) add_medium(n, "m" + std::to_string(n));
        EXPECT_TRUE(BuildMediaList(ctx));
        EXPECT_TRUE(WriteFastLoadIndex(ctx));
    }
};

TEST(WriteProtection, EveryWriterRefusesAReadOnlyFileWithItsMessageAndChangesNothing) {
    ProtectedFixture f;
    const std::string export_target = f.elsewhere.write("copy.OBX", "old export");
    struct Case {
        const char* what;
        std::string file;
        std::function<bool()> write;
        std::string message;
    };
    const std::size_t first[] = {0};
    const Case cases[] = {
        {"category move", f.path(0),
         [&] { return !MoveMediaToCategory(f.ctx, first, 2, 0).moved.empty(); },
         "Schreibfehler Header"},
        {"save", f.path(1),
         [&] {
             if (!LoadCatalog(f.ctx, 1)) return true;
             set_fixed_text(f.ctx.catalog.header.medium_name, "renamed");
             return SaveCatalog(f.ctx, 1) >= 0;
         },
         "Schreibfehler Head\r\nLaufwerk voll?\r\nCDS-Verzeichnis nicht "
         "vorhanden?\r\nSchreibgesch\xC3\xBCtzt?"},
        {"fast-load index", fastload_path(f.ctx.paths.catalog_dir),
         [&] { return WriteFastLoadIndex(f.ctx); }, "Datei konnte nicht angelegt werden"},
        {"categories", f.wichtig(),
         [&] { return CreateCategory(f.ctx, "B", 0).result == CategoryEdit::Done; },
         f.wichtig() + " schreibgesch\xC3\xBCtzt?"},
        {"export", export_target,
         [&] {
             if (!LoadCatalog(f.ctx, 0)) return true;
             f.fe.chosen_paths = {export_target};
             f.fe.answers = {Answer::Yes};
             return ExportCatalogue(f.ctx);
         },
         "Fehler beim Kopieren:13"},
    };
    for (const Case& c : cases) {
        const auto before = read_file(c.file);
        ASSERT_TRUE(before) << c.what;
        f.fe.messages.clear();
        {
            ReadOnly ro(c.file);
            EXPECT_FALSE(c.write()) << c.what;
        }
        EXPECT_TRUE(f.fe.saw_message(c.message)) << c.what;
        EXPECT_EQ(read_file(c.file), before) << c.what;
    }
    // Nothing in memory claims what the files do not say.
    EXPECT_EQ(f.ctx.media.entries[0].category, 0u);
    EXPECT_EQ(f.ctx.categories.user_count(), 1);
}

}  // namespace
}  // namespace orbisto::test
