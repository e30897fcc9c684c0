#include <gtest/gtest.h>

#include "catalog/catalog_store.h"
#include "platform/files.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto {
namespace {

TEST(CatalogPath, FilesCopiedFromWindowsAreFoundWhateverTheirCase) {
    test::TempDir dir;
    test::ScriptedFrontend fe;
    Context ctx{fe};
    ctx.paths.catalog_dir = dir.path();
    EXPECT_EQ(catalog_path(ctx, 7), dir.file("7.cd"));
    dir.write("7.CD", "x");
    EXPECT_EQ(catalog_path(ctx, 7), dir.file("7.CD"));
    dir.write("0.cd", "x");
    dir.write("1.Cd", "x");
    // 7.CD is taken as well, so the lowest free number is 2.
    EXPECT_EQ(find_free_catalog_number(ctx), 2);
}

}  // namespace
}  // namespace orbisto
