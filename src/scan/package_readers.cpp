// PLACEHOLDER while the package and index readers are being written: nothing found.
#include "scan/scan_seams.h"

namespace orbisto {

void ReadLsmComment(Context&, std::uint32_t&, const std::string&) {}

bool ReadRpmComment(Context&, std::uint32_t&, const std::string&) { return true; }

void ReadIndexComment(Context&, std::uint32_t&, const std::string&) {}

void ReadInfoFile(Context&, std::uint32_t&) {}

}  // namespace orbisto
