// A Context over a temporary CatalogDirectory with media built through the
// Catalog API and stored with SaveCatalog, for the search engine tests.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <vector>

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "catalog/media_list.h"
#include "platform/files.h"
#include "search/search_confirm.h"
#include "search/search_context.h"
#include "search/search_engine.h"
#include "search/search_time.h"
#include "session/context.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto::test {

// 2024-03-10 12:00 UTC and neighbouring days.
inline std::uint64_t day_time(int day, int hour = 12) {
    return filetime_of_day(2024, 3, day, false) +
           static_cast<std::uint64_t>(hour) * 3600 * kFileTimePerSecond;
}

// One directory or file of a stored medium (directories ignore `thumbnail`).
struct FileEntry {
    std::string name{};
    std::string comment{};
    float size_kb = 1.0f;
    std::uint64_t time = 0;
    std::uint32_t flags = 0;
    std::uint32_t parent = 0;
    bool thumbnail = false;
};
using DirEntry = FileEntry;

struct SearchFixture {
    TempDir dir;
    ScriptedFrontend fe;
    Context ctx{fe};

    SearchFixture() {
        ctx.paths.catalog_dir = dir.path();
        ctx.paths.settings_file = dir.file("orbisto.INI");
        ctx.settings.search.from_year = ctx.settings.search.to_year = 2024;
        ctx.settings.search.from_month = ctx.settings.search.to_month = 3;
        ctx.settings.search.from_day = ctx.settings.search.to_day = 10;
    }

    // Stores a medium as catalogue n; the current Catalog is empty afterwards.
    void add(int n, std::string_view name, const std::vector<DirEntry>& dirs,
             const std::vector<FileEntry>& files, std::uint32_t category = 0,
             const std::function<void(Catalog&)>& edit = {}) {
        Catalog& c = ctx.catalog;
        c.reset(false);
        c.set_current_number(-1);
        set_fixed_text(c.header.medium_name, name);
        c.header.category = category;
        auto fill = [&c](auto r, const FileEntry& e) {
            r.name = c.append_name(e.name).value;
            if (!e.comment.empty()) r.comment = c.append_comment(e.comment).value;
            r.size_kb = e.size_kb;
            r.time.set(e.time);
            r.flags = e.flags;
            r.parent = e.parent;
            return r;
        };
        for (const DirEntry& d : dirs) ASSERT_TRUE(c.append_dir(fill(DirRecord{}, d)).ok());
        const std::uint8_t img[4] = {1, 2, 3, 4};
        for (const FileEntry& f : files) {
            FileRecord r;
            if (f.thumbnail) r.thumbnail = c.append_image(img).value;
            ASSERT_TRUE(c.append_file(fill(r, f)).ok());
        }
        if (edit) edit(c);
        ASSERT_EQ(SaveCatalog(ctx, n), n);
        c.reset(false);
        c.set_current_number(-1);
    }

    std::string path(int n) const { return catalog_path(ctx.paths.catalog_dir, n); }

    void build() { ASSERT_TRUE(BuildMediaList(ctx)); }

    // Confirms the search string with the current settings and runs it.
    bool search(std::string_view text) {
        if (!ConfirmSearch(ctx, text)) return false;
        return RunSearch(ctx);
    }

    // The hits as "number:F3", "number:D1" or "number:M" (the medium info).
    std::vector<std::string> hits() const {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < ctx.search.hits.size(); ++i) {
            const HitRecord& h = ctx.search.hits[i];
            const bool info = ctx.search.details[i].kind == HitKind::MediumInfo;
            out.push_back(std::to_string(h.catalog_number) + ":" +
                          (info ? "M"
                                : (is_dir_object(h.object) ? "D" : "F") +
                                      std::to_string(object_index(h.object))));
        }
        return out;
    }
    std::vector<std::uint32_t> media_hit() const {
        std::vector<std::uint32_t> out;
        for (const HitRecord& h : ctx.search.hits) {
            if (out.empty() || out.back() != h.catalog_number) out.push_back(h.catalog_number);
        }
        return out;
    }
};

using Hits = std::vector<std::string>;

}  // namespace orbisto::test
