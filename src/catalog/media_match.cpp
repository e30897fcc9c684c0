#include "catalog/media_match.h"

#include <limits>
#include <new>

#include "catalog/catalog_format.h"
#include "catalog/catalog_store.h"
#include "catalog/catalog_store_file.h"

namespace orbisto {

bool serial_matches(std::uint32_t stored, std::uint32_t reported) {
    const std::uint32_t reversed = (reported >> 24) | ((reported >> 8) & 0xFF00) |
                                   ((reported << 8) & 0xFF0000) | (reported << 24);
    return stored == reported || stored == reversed;
}

std::size_t find_medium(std::span<const MediumHeader> media, std::string_view label,
                        std::uint32_t serial) {
    // Compare with the label as it would have been stored, so a label longer
    // than the field still finds its medium.
    MediumHeader probe;
    set_fixed_text(probe.volume_label, label);
    const std::string_view wanted = fixed_text(probe.volume_label);
    for (std::size_t i = 0; i < media.size(); ++i) {
        if (fixed_text(media[i].volume_label) == wanted &&
            serial_matches(media[i].volume_serial, serial)) {
            return i + 1;
        }
    }
    return 0;
}

std::ptrdiff_t find_identical_medium(std::span<const MediumHeader> media,
                                     const MediumHeader& current) {
    const std::string_view label = fixed_text(current.volume_label);
    for (std::size_t i = 0; i < media.size(); ++i) {
        const MediumHeader& m = media[i];
        if (fixed_text(m.volume_label) == label && m.dir_count == current.dir_count &&
            m.file_count == current.file_count && m.total_kb == current.total_kb &&
            serial_matches(m.volume_serial, current.volume_serial)) {
            return static_cast<std::ptrdiff_t>(i);
        }
    }
    return -1;
}

bool identity_is_weak(std::string_view label, std::uint32_t serial) {
    MediumHeader probe;
    set_fixed_text(probe.volume_label, label);
    return serial == 0 && fixed_text(probe.volume_label).empty();
}

std::string_view scanned_path(const Catalog& cat) {
    if (cat.dir_count() < 2 || cat.dirs()[1].parent != 0) return {};
    const std::string_view name = cat.dir_name(1);
    return name.starts_with('/') ? name : std::string_view();
}

std::optional<std::string> read_scanned_path(const Context& ctx, int number) {
    try {
        CatalogFileBytes file;
        if (read_catalog_file(catalog_path(ctx, number), std::numeric_limits<std::size_t>::max(),
                              file) != FileReadStatus::Ok) {
            return std::nullopt;
        }
        WorkLimits limits = ctx.limits;
        Catalog cat;
        if (read_catalog_bytes(file.data(), number, ctx.english(), limits, cat) !=
            CatalogReadError::None) {
            return std::nullopt;
        }
        return std::string(scanned_path(cat));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool same_medium(const MediumHeader& a, std::string_view path_a, const MediumHeader& b,
                 std::string_view path_b) {
    if (a.volume_serial != b.volume_serial ||
        fixed_text(a.volume_label) != fixed_text(b.volume_label) || path_a != path_b) {
        return false;
    }
    return !path_a.empty() || !identity_is_weak(fixed_text(a.volume_label), a.volume_serial);
}

}  // namespace orbisto
