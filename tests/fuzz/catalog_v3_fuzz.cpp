// The catalogue reader on arbitrary bytes, as a plain (not compressed) file
// of version 3 or its large form 4; other version words are refused.
#include <cstddef>
#include <cstdint>
#include <span>

#include "catalog_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    orbisto::fuzz::check_catalog_bytes(std::span<const std::uint8_t>(data, size));
    return 0;
}
