// Catalogues for the duplicate tests: built in memory from short lists, and
// saved through the real catalogue store into a temporary directory.
#pragma once

#include <gtest/gtest.h>

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

struct FileSpec {
    std::string name;
    float size = 0;
    std::string comment = {};
    std::uint32_t parent = 0;
};

struct DirSpec {
    std::string name;
    std::uint32_t parent = 0;
    std::string comment = {};
};

// Directories get the indexes 1, 2, ... in the order given.
inline Catalog make_catalog(const std::vector<FileSpec>& files,
                            const std::vector<DirSpec>& dirs = {}) {
    Catalog cat;
    for (const DirSpec& d : dirs) {
        DirRecord r;
        r.name = cat.append_name(d.name).value;
        if (!d.comment.empty()) r.comment = cat.append_comment(d.comment).value;
        r.parent = d.parent;
        EXPECT_TRUE(cat.append_dir(r).ok());
    }
    for (const FileSpec& f : files) {
        FileRecord r;
        r.name = cat.append_name(f.name).value;
        if (!f.comment.empty()) r.comment = cat.append_comment(f.comment).value;
        r.size_kb = f.size;
        r.parent = f.parent;
        EXPECT_TRUE(cat.append_file(r).ok());
    }
    cat.sync_header();
    return cat;
}

inline bool has_event(const test::ScriptedFrontend& fe, std::string_view event) {
    for (const auto& e : fe.events) {
        if (e == event) return true;
    }
    return false;
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
    void save(int n, std::string_view medium_name, const std::vector<FileSpec>& files) {
        save(n, medium_name, make_catalog(files));
    }

    void build_media_list() { ASSERT_TRUE(BuildMediaList(ctx)); }

    bool saw_event(std::string_view e) const { return has_event(fe, e); }
};

}  // namespace orbisto::dup_test
