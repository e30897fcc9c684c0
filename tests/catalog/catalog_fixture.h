// Helpers for the Catalog tests: building a Catalog record by record and
// checking the structural rules every operation must keep.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "catalog/catalog.h"

namespace orbisto::test {

// Small areas, so that tests exercise the growing.
inline WorkLimits small_limits() {
    return WorkLimits{250, 4, 4, 0, 0, 64, 64, 64, 0};
}

inline std::uint32_t add_dir(Catalog& cat, std::string_view name, std::uint32_t parent,
                             std::string_view comment = {}) {
    DirRecord d;
    d.name = cat.append_name(name).value;
    if (!comment.empty()) d.comment = cat.append_comment(comment).value;
    d.parent = parent;
    const AppendResult r = cat.append_dir(d);
    EXPECT_TRUE(r.ok());
    return r.value;
}

inline std::uint32_t add_file(Catalog& cat, std::string_view name, std::uint32_t parent,
                              float size_kb, std::string_view comment = {},
                              std::uint64_t time = 0) {
    FileRecord f;
    f.name = cat.append_name(name).value;
    if (!comment.empty()) f.comment = cat.append_comment(comment).value;
    f.parent = parent;
    f.size_kb = size_kb;
    f.time.set(time);
    const AppendResult r = cat.append_file(f);
    EXPECT_TRUE(r.ok());
    cat.header.total_kb += size_kb;
    return r.value;
}

// Parents below their children and inside the arrays, end markers right
// behind the last records, header counts and sizes equal to the areas.
inline void expect_invariants(const Catalog& cat) {
    ASSERT_GE(cat.dir_count(), 1u);
    EXPECT_EQ(cat.dirs()[0].parent, 0u);
    for (std::uint32_t j = 1; j < cat.dir_count(); ++j) EXPECT_LT(cat.dirs()[j].parent, j);
    for (const FileRecord& f : cat.files()) EXPECT_LT(f.parent, cat.dir_count());
    EXPECT_EQ(cat.dir_end_marker().parent, END_MARKER);
    EXPECT_EQ(cat.file_end_marker().parent, END_MARKER);
    EXPECT_EQ(cat.header.dir_count, cat.dir_count());
    EXPECT_EQ(cat.header.file_count, cat.file_count());
    EXPECT_EQ(cat.header.names_size, cat.names_used());
    EXPECT_EQ(cat.header.images_size, cat.images_used());
}

// Every byte a file of the Catalog would hold, plus the in-memory end
// markers and end mark, for "nothing changed" checks.
inline std::vector<std::uint8_t> image_of(const Catalog& cat) {
    std::vector<std::uint8_t> out;
    auto put = [&](const void* p, std::size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        out.insert(out.end(), b, b + n);
    };
    put(&cat.header, sizeof cat.header);
    put(&cat.info, sizeof cat.info);
    put(cat.description().data(), cat.description().size());
    put(cat.dirs().data(), cat.dirs().size_bytes() + sizeof(DirRecord));
    put(cat.files().data(), cat.files().size_bytes() + sizeof(FileRecord));
    put(cat.name_bytes().data(), cat.name_bytes().size());
    put(cat.image_bytes().data(), cat.image_bytes().size());
    put(cat.comment_bytes().data(), cat.comment_bytes().size() + 2);
    return out;
}

}  // namespace orbisto::test
