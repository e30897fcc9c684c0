// Helpers for the catalogue file tests: a small Catalog with directories,
// files, comments and a thumbnail, a Context over a temporary catalogue
// directory, and byte helpers for building and damaging files.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog.h"
#include "catalog/catalog_context.h"
#include "catalog/catalog_format.h"
#include "catalog/catalog_store.h"
#include "platform/files.h"
#include "session/context.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes to_bytes(std::string_view s) {
    return Bytes(s.begin(), s.end());
}
inline std::string to_string(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

template <class T>
T get(const Bytes& b, std::size_t off) {
    T v;
    std::memcpy(&v, b.data() + off, sizeof v);
    return v;
}
inline std::uint16_t get_u16(const Bytes& b, std::size_t off) {
    return get<std::uint16_t>(b, off);
}
inline void set_u32(Bytes& b, std::size_t off, std::uint32_t v) {
    std::memcpy(b.data() + off, &v, 4);
}

// Reads the bytes of a catalogue file as catalogue `number` with the default
// work limits.
inline CatalogReadError read_bytes(const Bytes& bytes, Catalog& out, int number = 7) {
    WorkLimits limits;
    return read_catalog_bytes(bytes, number, false, limits, out);
}

// A catalogue of a CD with the root, "docs" and "docs/old", four files (one
// with a comment, one with a CRC comment and a thumbnail) and a description.
// Names may be given to test texts outside ASCII.
inline Catalog small_catalog(std::string_view dir_name = "docs",
                             std::string_view file_name = "readme.txt",
                             std::string_view comment = "a short comment") {
    Catalog c;
    set_fixed_text(c.header.volume_label, "MYCD");
    set_fixed_text(c.header.medium_name, "My CD");
    c.header.free_kb = 12.5f;
    c.header.drive_type = 5;
    c.header.medium_flags = MEDIUM_LENT;
    c.header.category = 4;
    c.header.volume_serial = 0xABCD1234;
    set_fixed_text(c.info.manufacturer, "ACME");
    set_fixed_text(c.info.place, "shelf 3");
    set_fixed_text(c.info.number, "A-17");
    c.set_description("line one\r\nline two");

    DirRecord d;
    d.name = c.append_name(dir_name).value;
    d.parent = 0;
    d.flags = FLAG_ARCHIVE_DIR;
    d.comment = COMMENT_ARCHIVE;
    const std::uint32_t docs = c.append_dir(d).value;
    DirRecord d2;
    d2.name = c.append_name("old").value;
    d2.parent = docs;
    const std::uint32_t old = c.append_dir(d2).value;

    const std::uint8_t thumb[] = {'B', 'M', 1, 2, 3};
    const std::uint32_t image = c.append_image(thumb).value;
    struct F {
        std::string_view name;
        std::uint32_t parent;
        float kb;
        std::uint64_t time;
        std::string_view comment;
        std::uint32_t thumbnail;
    };
    const F files[] = {{file_name, docs, 1.5f, 130000000000000000ULL, comment, 0},
                       {"a.bin", old, 2.0f, 131000000000000000ULL, "", 0},
                       {"pic.bmp", old, 0.25f, 129000000000000000ULL, "CRC:1234ABCD pic", image},
                       {"top.dat", 0, 4.0f, 128000000000000000ULL, "", 0}};
    for (const F& f : files) {
        FileRecord r;
        r.name = c.append_name(f.name).value;
        r.parent = f.parent;
        r.size_kb = f.kb;
        r.time.set(f.time);
        if (!f.comment.empty()) r.comment = c.append_comment(f.comment).value;
        r.thumbnail = f.thumbnail;
        if (f.thumbnail) r.flags = FLAG_CRC;
        c.append_file(r);
        c.header.total_kb += f.kb;
    }
    return c;
}

// Everything a file stores but the catalogue number: the bytes the writer
// makes of both (its layout is checked byte by byte on its own).
inline void expect_same_catalog(const Catalog& a, const Catalog& b) {
    Catalog renumbered = b;
    renumbered.header.catalog_number = a.header.catalog_number;
    const auto x = write_catalog_bytes(a), y = write_catalog_bytes(renumbered);
    const auto diff = std::mismatch(x.begin(), x.end(), y.begin(), y.end());
    EXPECT_EQ(diff.first, x.end()) << "first difference at byte " << diff.first - x.begin();
    EXPECT_EQ(b.dir_end_marker().parent, END_MARKER);
    EXPECT_EQ(b.file_end_marker().parent, END_MARKER);
}

// A Context whose CatalogDirectory is a fresh temporary directory and whose
// MediaList is not empty (loading needs at least one medium).
class CatalogFileStore : public ::testing::Test {
  protected:
    CatalogFileStore() : ctx(fe) {
        ctx.paths.catalog_dir = dir.path();
        MediumHeader other;
        other.catalog_number = 999;
        ctx.media.entries.push_back(other);
    }

    Bytes file_bytes(int n) const {
        return to_bytes(read_file(catalog_path(ctx.paths.catalog_dir, n)).value_or(""));
    }
    void write_bytes(int n, const Bytes& b) const {
        ASSERT_TRUE(write_file_atomic(catalog_path(ctx.paths.catalog_dir, n), to_string(b)));
    }
    // Saves c as catalogue n through the store.
    void save_as(const Catalog& c, int n) {
        ctx.catalog = c;
        ctx.catalog.set_current_number(-1);
        ASSERT_EQ(SaveCatalog(ctx, n), n);
        ctx.catalog.set_current_number(-1);
    }

    TempDir dir;
    ScriptedFrontend fe;
    Context ctx;
};

}  // namespace orbisto::test
