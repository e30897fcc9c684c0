// Archive recognition on arbitrary bytes, in both modes. Every read the
// classification makes must lie inside the data, and the inside-a-program
// mark must never come straight from the first word of the input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "archive/archive_signature.h"

namespace {

// Checks each request against the data before handing it on.
class CheckedSource : public orbisto::MemoryByteSource {
  public:
    using MemoryByteSource::MemoryByteSource;
    std::string read(std::uint64_t offset, std::size_t n) const override {
        std::string out = MemoryByteSource::read(offset, n);
        if (out.size() > n || (offset >= size() && !out.empty())) __builtin_trap();
        if (!out.empty() && offset + out.size() > size()) __builtin_trap();
        return out;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orbisto;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const ClassifyMode mode : {ClassifyMode::Description, ClassifyMode::FullExpansion}) {
        const ArchiveSignature sig = ClassifyArchiveSource(CheckedSource(bytes), mode);
        if (sig.is(ArchiveType::Program) && sig.known()) __builtin_trap();
    }
    return 0;
}
