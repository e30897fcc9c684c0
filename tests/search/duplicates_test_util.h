// Catalogues for the duplicate tests: built in memory from short lists, and
// saved through the real catalogue store into a temporary directory.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog.h"
#include "catalog/catalog_store.h"
#include "catalog/media_list.h"
#include "startup/context.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto::dup_test {

struct FileEntry {
    std::string name;
    float size = 0;
    std::string comment = {};
    std::uint32_t parent = 0;
};

struct DirEntry {
    std::string name;
    std::uint32_t parent = 0;
    std::string comment = {};
};

// Directories get the indexes 1, 2, ... in the order given.
inline Catalog make_catalog(const std::vector<FileEntry>& files,
                            const std::vector<DirEntry>& dirs = {}) {
    Catalog cat;
    auto fill = [&cat](auto& r, const std::string& name, const std::string& comment) {
        r.name = cat.append_name(name).value;
        if (!comment.empty()) r.comment = cat.append_comment(comment).value;
    };
    for (const DirEntry& d : dirs) {
        DirRecord r;
        fill(r, d.name, d.comment);
        r.parent = d.parent;
        EXPECT_TRUE(cat.append_dir(r).ok());
    }
    for (const FileEntry& f : files) {
        FileRecord r;
        fill(r, f.name, f.comment);
        r.size_kb = f.size;
        r.parent = f.parent;
        EXPECT_TRUE(cat.append_file(r).ok());
    }
    cat.sync_header();
    return cat;
}

struct DupFixture {
    test::TempDir dir;
    test::ScriptedFrontend fe;
    Context ctx{fe};

    DupFixture() { ctx.paths.catalog_dir = dir.path(); }

    // Saves a catalogue as number n with the given medium texts.
    void save(int n, std::string_view medium_name, const Catalog& cat,
              std::string_view label = "LABEL", std::uint32_t serial = 0x1234) {
        ctx.catalog = cat;
        ctx.catalog.set_current_number(-1);
        set_fixed_text(ctx.catalog.header.medium_name, medium_name);
        set_fixed_text(ctx.catalog.header.volume_label, label);
        ctx.catalog.header.volume_serial = serial;
        ASSERT_EQ(SaveCatalog(ctx, n), n);
        ctx.catalog.reset(false);
        ctx.catalog.set_current_number(-1);
    }
    void save(int n, std::string_view medium_name, const std::vector<FileEntry>& files) {
        save(n, medium_name, make_catalog(files));
    }

    void build_media_list() { ASSERT_TRUE(BuildMediaList(ctx)); }

    bool saw_event(std::string_view e) const {
        return std::find(fe.events.begin(), fe.events.end(), e) != fe.events.end();
    }
};

}  // namespace orbisto::dup_test
