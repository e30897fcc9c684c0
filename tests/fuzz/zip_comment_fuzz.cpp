// The ZIP comment finder on arbitrary archive ends: whatever it returns must
// lie inside the bytes it was given and be at least the minimum length.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "catalog/catalog_context.h"
#include "text/package_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orbisto;
    const std::string_view tail(reinterpret_cast<const char*>(data), size);
    const auto comment = zip_comment_of(tail);
    if (!comment) return 0;
    const bool inside = comment->data() >= tail.data() &&
                        comment->data() + comment->size() == tail.data() + tail.size();
    if (!inside || comment->size() < kZipMinComment) __builtin_trap();
    return 0;
}
