// Start capacities of the work areas. They are grown, never shrunk, when a
// load or scan needs more; growing is the job of the area's owner.
#pragma once

#include <cstdint>

namespace orbisto {

struct WorkLimits {
    std::uint32_t media = 250;
    std::uint32_t files = 0x8000;
    std::uint32_t directories = 0x2000;
    std::uint32_t tree_items = 8192;
    std::uint32_t category_items = 8192;
    std::uint32_t names = 0x80000;
    std::uint32_t comments = 0x80000;
    std::uint32_t images = 0x80000;
    std::uint32_t list_rows = 10000;
};

// Which work areas could not grow any further during a scan or an import.
struct ScanLimitsHit {
    bool dirs = false;
    bool files = false;
    bool comments = false;
    bool names = false;
    bool any() const { return dirs || files || comments || names; }
};

}  // namespace orbisto
