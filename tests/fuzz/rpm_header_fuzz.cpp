// The RPM header locator on arbitrary file starts: the input is the file's
// first bytes, its first two bytes also choose a claimed file size so that
// offsets are checked against files longer and shorter than what was read.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "catalog/catalog_context.h"
#include "text/package_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orbisto;
    if (size < 2) return 0;
    const std::uint64_t extra = (std::uint64_t{data[0]} << 8 | data[1]) * 16;
    const std::span<const std::uint8_t> head(data + 2, size - 2);
    for (const std::uint64_t file_size : {std::uint64_t{head.size()}, head.size() + extra}) {
        const RpmDescription d = rpm_description_offset(head, file_size);
        if (d.status != RpmStatus::Found) continue;
        if (d.offset >= d.end || d.end > file_size) __builtin_trap();
        // The text as the reader takes it from what lies at the offset.
        if (d.offset < head.size()) {
            const std::string_view raw(reinterpret_cast<const char*>(head.data()) + d.offset,
                                       head.size() - d.offset);
            rpm_description_text(raw);
        }
    }
    return 0;
}
