// Finding the comment at the end of a ZIP archive.
//
// Declared in text/package_readers.h (one header for the package readers, one file per format).
#include "catalog/catalog_context.h"
#include "text/package_readers.h"

namespace orbisto {

namespace {
constexpr std::string_view kEndOfCentralDirectory{"PK\x05\x06", 4};
// The fixed part of the end-of-central-directory record before its comment.
constexpr std::size_t kEndRecordBytes = 22;
// A signature closer than this to the end is not a record.
constexpr std::size_t kMinRecordTail = 10;
}  // namespace

std::optional<std::string_view> zip_comment_of(std::string_view tail) {
    const std::size_t p = tail.rfind(kEndOfCentralDirectory);
    if (p == std::string_view::npos) return std::nullopt;
    const std::size_t after = tail.size() - p;
    if (after < kMinRecordTail || after < kEndRecordBytes) return std::nullopt;
    // The comment runs to the end of what was read, whatever its length
    // field claims, so a lying field can neither lose nor overread bytes.
    const std::string_view text = tail.substr(p + kEndRecordBytes);
    if (text.size() < kZipMinComment) return std::nullopt;
    return text;
}

}  // namespace orbisto
