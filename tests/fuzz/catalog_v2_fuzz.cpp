// The conversion of old version 2 catalogues: the input is a file after its
// version word, which is always 2, so every input reaches the old layout's
// reader (or its check for a damaged version 3 file).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "catalog_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> file{2, 0};
    file.insert(file.end(), data, data + size);
    orbisto::fuzz::check_catalog_bytes(file);
    return 0;
}
