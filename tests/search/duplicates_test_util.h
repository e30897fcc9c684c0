// Catalogues for the duplicate tests: built in memory from short lists, and
// saved through the real catalogue store into a temporary directory.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog_fixture.h"
#include "search/search_fixture.h"

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
    for (const DirEntry& d : dirs) test::add_dir(cat, d.name, d.parent, d.comment);
    for (const FileEntry& f : files) test::add_file(cat, f.name, f.parent, f.size, f.comment);
    cat.sync_header();
    return cat;
}

struct DupFixture : test::SearchFixture {
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
};

}  // namespace orbisto::dup_test
