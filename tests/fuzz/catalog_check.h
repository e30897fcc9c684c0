// What every catalogue fuzz target checks once it has the bytes of a version
// 2, 3 or 4 file: reading them never fails unsafely; a catalogue that was
// read can be walked in full, written, and read back from what was written;
// and writing that again gives the same bytes, so saving a catalogue over
// and over never changes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "catalog/catalog.h"
#include "catalog/catalog_format.h"

namespace orbisto::fuzz {

inline void walk(const Catalog& cat) {
    std::size_t total = 0;
    for (std::uint32_t d = 0; d < cat.dir_count(); ++d) {
        total += cat.dir_path(d).size() + cat.dir_comment(d).size();
    }
    for (std::uint32_t f = 0; f < cat.file_count(); ++f) {
        total += cat.file_path(f).size() + cat.file_comment(f).size();
        total += cat.image_at(cat.files()[f].thumbnail).size();
    }
    if (total > (std::size_t{1} << 40)) __builtin_trap();  // keeps the walk from being dropped
}

inline void check_catalog_bytes(std::span<const std::uint8_t> bytes) {
    constexpr int kNumber = 7;
    // Small start areas, grown by the reader as the input needs: the default
    // areas of several MiB would make every run slow.
    WorkLimits limits;
    limits.files = limits.directories = 16;
    limits.names = limits.comments = limits.images = 256;
    Catalog cat(limits);
    if (read_catalog_bytes(bytes, kNumber, false, limits, cat) != CatalogReadError::None) return;
    walk(cat);
    // The root's own total is written but never read back; a fresh scan or
    // a converted old file has one.
    cat.dirs()[0].size_kb = 0;

    const std::vector<std::uint8_t> written = write_catalog_bytes(cat);
    Catalog again(limits);
    if (read_catalog_bytes(written, kNumber, false, limits, again) != CatalogReadError::None) {
        __builtin_trap();  // the program could not read back what it saved
    }
    if (again.dir_count() != cat.dir_count() || again.file_count() != cat.file_count()) {
        __builtin_trap();
    }
    if (write_catalog_bytes(again) != written) __builtin_trap();
}

}  // namespace orbisto::fuzz
