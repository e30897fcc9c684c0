// A Context over a temporary CatalogDirectory, with helpers that store media
// through the real catalogue store, for the MediaList and bulk tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "catalog/media_list.h"
#include "platform/files.h"
#include "session/context.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto::test {

struct MediaFixture {
    TempDir dir;
    ScriptedFrontend fe;
    Context ctx{fe};

    MediaFixture() { ctx.paths.catalog_dir = dir.path(); }

    // Stores a medium with one file "file<n>.txt" as catalogue n.
    void add_medium(int n, std::string_view name, std::uint32_t category = 0,
                    std::uint32_t flags = 0) {
        ctx.catalog.reset(false);
        ctx.catalog.set_current_number(-1);
        set_fixed_text(ctx.catalog.header.medium_name, name);
        ctx.catalog.header.category = category;
        ctx.catalog.header.medium_flags = flags;
        FileRecord f;
        f.name = ctx.catalog.append_name("file" + std::to_string(n) + ".txt").value;
        ctx.catalog.append_file(f);
        ASSERT_EQ(SaveCatalog(ctx, n), n);
        ctx.catalog.reset(false);
        ctx.catalog.set_current_number(-1);
    }

    std::string path(int n) const { return catalog_path(ctx.paths.catalog_dir, n); }
    MediumHeader on_disk(int n) {
        MediumHeader h;
        EXPECT_EQ(ReadCatalogHeader(ctx, n, h), 1);
        return h;
    }

    std::vector<std::uint32_t> numbers() const {
        std::vector<std::uint32_t> out;
        for (const auto& e : ctx.media.entries) out.push_back(e.catalog_number);
        return out;
    }

    // The names of the catalogue directory's files, sorted.
    std::vector<std::string> dir_listing() const {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            out.push_back(e.path().filename());
        std::sort(out.begin(), out.end());
        return out;
    }
};

}  // namespace orbisto::test
