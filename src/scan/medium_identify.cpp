// Recognising a medium among the catalogued ones: by label and serial, and
// after a scan by its whole measurements.
#include "scan/medium_identify.h"

#include "catalog/media_match.h"

namespace orbisto {

std::size_t IdentifyMedium(const Context& ctx, std::string_view label, std::uint32_t serial) {
    return find_medium(ctx.media.entries, label, serial);
}

std::ptrdiff_t FindDuplicateMedium(const Context& ctx) {
    // The counts are taken from the records themselves, so a header the walk
    // has not synced yet still compares with what was scanned.
    MediumHeader scanned = ctx.catalog.header;
    scanned.dir_count = ctx.catalog.dir_count();
    scanned.file_count = ctx.catalog.file_count();
    return find_identical_medium(ctx.media.entries, scanned);
}

}  // namespace orbisto
