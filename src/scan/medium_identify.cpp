// Recognising a medium among the catalogued ones: by label and serial, and
// after a scan by its whole measurements.
#include "scan/medium_identify.h"

#include <optional>
#include <span>
#include <string>

#include "catalog/catalog_context.h"
#include "catalog/media_match.h"
#include "scan/scan_context.h"

namespace orbisto {

std::size_t IdentifyMedium(const ScanContext& ctx, std::string_view label, std::uint32_t serial) {
    return find_medium(ctx.media.entries, label, serial);
}

std::size_t IdentifyMediumAt(const ScanContext& ctx, std::string_view label, std::uint32_t serial,
                             std::string_view path, bool drive_root) {
    const std::span<const MediumHeader> media(ctx.media.entries);
    std::size_t whole_media = 0;
    std::size_t whole = 0;
    for (std::size_t from = 0; from < media.size();) {
        const std::size_t hit = find_medium(media.subspan(from), label, serial);
        if (hit == 0) break;
        const std::size_t pos = from + hit - 1;
        from = pos + 1;
        const int number = static_cast<int>(media[pos].catalog_number & 0xFFFF);
        const std::optional<std::string> scanned = read_scanned_path(ctx, number);
        if (!scanned) continue;
        if (*scanned == path) return pos + 1;
        if (scanned->empty() && whole_media++ == 0) whole = pos + 1;
    }
    const bool by_identity = drive_root && !identity_is_weak(label, serial) && whole_media == 1;
    return by_identity ? whole : 0;
}

std::ptrdiff_t FindDuplicateMedium(const ScanContext& ctx) {
    // The counts are taken from the records themselves, so a header the walk
    // has not synced yet still compares with what was scanned.
    MediumHeader scanned = ctx.catalog.header;
    scanned.dir_count = ctx.catalog.dir_count();
    scanned.file_count = ctx.catalog.file_count();
    return find_identical_medium(ctx.media.entries, scanned);
}

}  // namespace orbisto
