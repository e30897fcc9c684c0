// Tying a medium in a drive to its catalogue entry: identification and the
// duplicate test after a scan.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orbisto {

struct ScanContext;

// 1-based MediaList position of the first medium with this label and a
// matching serial (either byte order); 0 = none.
std::size_t IdentifyMedium(const ScanContext& ctx, std::string_view label, std::uint32_t serial);
// The catalogued medium held by the drive or folder at `path`, whose label
// and serial are given, as a 1-based MediaList position; 0 when none. Label
// and serial alone decide only for a drive root whose identity is not weak
// and that exactly one catalogued whole medium answers to. Otherwise the
// catalogued medium must have been scanned from this very path: always for a
// folder, for a drive with a weak identity, and when several catalogued
// media share the label and serial.
std::size_t IdentifyMediumAt(const ScanContext& ctx, std::string_view label, std::uint32_t serial,
                             std::string_view path, bool drive_root);
// 0-based MediaList position of the first medium equal to the scanned
// Catalog (label, counts, total size, serial); -1 = none.
std::ptrdiff_t FindDuplicateMedium(const ScanContext& ctx);

}  // namespace orbisto
