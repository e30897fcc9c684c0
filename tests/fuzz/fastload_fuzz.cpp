// The fast-load index on arbitrary bytes: an index that is taken gives
// entries that write an index which is taken again, with the same entries
// and, written once more, the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "catalog/fastload.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orbisto;
    const auto entries =
        parse_fastload_entries(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!entries) return 0;
    const std::string written = fastload_bytes(*entries);
    const auto back = parse_fastload_entries(written);
    if (!back || back->size() != entries->size()) __builtin_trap();
    if (fastload_bytes(*back) != written) __builtin_trap();
    return 0;
}
