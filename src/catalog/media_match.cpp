#include "catalog/media_match.h"

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

}  // namespace orbisto
