// Locating the description in the header of an RPM package.
//
// An RPM file starts with a lead (ED AB EE DB …), then the signature header
// and the main header, both beginning with the magic 8E AD E8 01, three
// reserved bytes, the big-endian entry count and data-area size. Each index
// entry is 16 bytes (tag, type, offset, count); the offsets count from the
// start of the data area that follows the index.
//
// Declared in text/package_readers.h (one header for the package readers, one file per format).
#include <algorithm>
#include <array>

#include "catalog/catalog_context.h"
#include "platform/byte_io.h"
#include "text/package_readers.h"

namespace orbisto {

namespace {

constexpr std::array<std::uint8_t, 4> kLead{0xED, 0xAB, 0xEE, 0xDB};
constexpr std::array<std::uint8_t, 4> kHeaderMagic{0x8E, 0xAD, 0xE8, 0x01};
constexpr std::uint32_t kTagDescription = 1005;
constexpr std::size_t kHeaderIntroBytes = 16;
constexpr std::size_t kIndexEntryBytes = 16;

// Position of the magic in `window` at or after `from`; npos when none.
std::size_t find_magic(std::span<const std::uint8_t> window, std::size_t from) {
    if (from >= window.size()) return std::string_view::npos;
    const auto it = std::search(window.begin() + static_cast<std::ptrdiff_t>(from), window.end(),
                                kHeaderMagic.begin(), kHeaderMagic.end());
    if (it == window.end()) return std::string_view::npos;
    return static_cast<std::size_t>(it - window.begin());
}

RpmDescription with(RpmStatus status) {
    return RpmDescription{status, 0, 0};
}

}  // namespace

RpmDescription rpm_description_offset(std::span<const std::uint8_t> head, std::uint64_t file_size) {
    if (head.size() < kLead.size() || !std::equal(kLead.begin(), kLead.end(), head.begin()))
        return with(RpmStatus::NotPackage);
    // The magic is searched in the window read after the lead's first four
    // bytes; the first hit is the signature header, the next the main header.
    const auto window = head.subspan(4, std::min(head.size() - 4, kRpmSearchWindow));
    const std::size_t signature = find_magic(window, 0);
    if (signature == std::string_view::npos) return with(RpmStatus::Damaged);
    const std::size_t main = find_magic(window, signature + 4);
    if (main == std::string_view::npos) return with(RpmStatus::Damaged);

    ByteReader r(head);
    const std::size_t header = 4 + main;
    r.seek(header + 8);
    const std::uint32_t entries = r.u32be();
    const std::uint32_t data_size = r.u32be();
    if (!r.ok() || entries > kRpmMaxEntries) return with(RpmStatus::Damaged);
    if (entries == 0) return with(RpmStatus::NoDescription);

    const std::uint64_t data_start =
        header + kHeaderIntroBytes + std::uint64_t{entries} * kIndexEntryBytes;
    if (data_start > file_size) return with(RpmStatus::Damaged);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::uint32_t tag = r.u32be();
        r.u32be();  // type
        const std::uint32_t offset = r.u32be();
        r.u32be();                                     // count
        if (!r.ok()) return with(RpmStatus::Damaged);  // the file ends inside the index
        if (tag != kTagDescription) continue;
        // The text must start inside the header's data area and inside the
        // file; it is read no further than either.
        const std::uint64_t at = data_start + offset;
        if (offset >= data_size || at >= file_size) return with(RpmStatus::Damaged);
        return RpmDescription{RpmStatus::Found, at, std::min(data_start + data_size, file_size)};
    }
    return with(RpmStatus::NoDescription);
}

std::string rpm_description_text(std::string_view raw) {
    const std::size_t end = raw.find(std::string_view("\0\0", 2));
    std::string text(raw.substr(0, end));
    std::replace(text.begin(), text.end(), '\0', ' ');
    return text;
}

}  // namespace orbisto
