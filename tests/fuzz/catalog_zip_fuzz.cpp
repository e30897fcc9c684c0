// Compressed catalogues: a ZIP archive whose member 00.CD holds the file.
// The member is read as the media list reads it (only the header) and as a
// load does (whole); what a whole read gives goes through the catalogue
// reader. A member that unpacks must stay within what was asked for and
// within what the archive's size makes believable.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "catalog/catalog_zip.h"
#include "catalog_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orbisto;
    const std::span<const std::uint8_t> zip(data, size);
    if (!is_compressed_catalog(zip)) return 0;

    std::vector<std::uint8_t> member;
    if (read_zip_member(zip, kZipCatalogMember, kHeaderBytes, member) == ZipReadError::None &&
        member.size() > kHeaderBytes) {
        __builtin_trap();
    }
    member.clear();
    if (read_zip_member(zip, kZipCatalogMember, SIZE_MAX, member) != ZipReadError::None) return 0;
    if (member.size() > max_unpacked_size(size)) __builtin_trap();
    fuzz::check_catalog_bytes(member);
    return 0;
}
