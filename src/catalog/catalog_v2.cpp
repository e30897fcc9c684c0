// The older version 2 layout, read only. After the version word:
//   header        82 bytes: label char[14], name char[44], u32 serial,
//                 u32 directory count, u32 file count, u32 total KB (integer),
//                 u32 unused, u32 name-pool size
//   info          420 bytes: manufacturer 128, supplier 128, order number 128,
//                 price 32, u32 description length
//   description   description length bytes
//   directories   count * 12: u32 name, u32 packed (low 24 bits comment,
//                 high 8 bits flags), u16 parent, 2 unused
//   files         count * 24: u32 name, u32 packed, u32 length in bytes,
//                 u64 FILETIME, u16 parent, 2 unused
//   names         name-pool size bytes
//   comments      the rest
//
// Declared in catalog/catalog_format.h (beside the reader of the current layout).
#include <cstring>
#include <string_view>

#include "catalog/catalog_format.h"
#include "catalog/catalog_totals.h"
#include "platform/byte_io.h"
#include "platform/codepage.h"

namespace orbisto {

namespace {

constexpr std::size_t kV2HeaderBytes = 82;
constexpr std::size_t kV2InfoBytes = 420;
constexpr std::size_t kV2DirBytes = 12;
constexpr std::size_t kV2FileBytes = 24;
constexpr std::uint16_t kCdRomDriveType = 5;

// Copies a Windows-1252 field of n bytes (its text up to the first NUL)
// into a field of the new layout, which is never narrower.
template <std::size_t N>
void copy_field(ByteReader& in, std::size_t n, TextField<N>& field) {
    static_assert(N > 14);
    const auto b = in.bytes(n);
    std::size_t len = 0;
    while (len < b.size() && b[len] != 0) ++len;
    set_fixed_text(field, cp1252_to_utf8({reinterpret_cast<const char*>(b.data()), len}));
}

// True when the bytes also read as a sound version 3 file: a root record,
// every counted part inside the file, and records that point where a
// writer points them. Such a file is a version 3 catalogue whose version
// word was damaged, never an old one to convert (converting it would save
// an empty or garbled medium over it).
bool reads_as_version3(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kHeaderBytes + kInfoBytes) return false;
    StoredMediumHeader h;
    StoredMediumInfo i;
    std::memcpy(&h, bytes.data(), kHeaderBytes);
    std::memcpy(&i, bytes.data() + kHeaderBytes, kInfoBytes);
    if (h.dir_count == 0) return false;
    const std::uint64_t records = std::uint64_t{kHeaderBytes} + kInfoBytes + i.description_length;
    const std::uint64_t need = records + std::uint64_t{h.dir_count} * kDirBytes +
                               std::uint64_t{h.file_count} * kFileBytes + h.names_size +
                               h.images_size;
    if (need > bytes.size()) return false;
    ByteReader in(bytes.subspan(records));
    for (std::uint32_t d = 0; d < h.dir_count; ++d) {
        const std::uint32_t name = in.u32le() & NAME_OFFSET_MASK;
        in.skip(20);
        const std::uint32_t parent = in.u32le();
        in.skip(8);
        if (d > 0 && (parent >= d || name >= h.names_size)) return false;
    }
    for (std::uint32_t f = 0; f < h.file_count; ++f) {
        const std::uint32_t name = in.u32le() & NAME_OFFSET_MASK;
        in.skip(20);
        const std::uint32_t parent = in.u32le();
        in.skip(4);
        if (parent >= h.dir_count || name >= h.names_size) return false;
    }
    return in.ok();
}

// Ends a pool with a NUL when its last text lacks one, so that the
// converted file holds only terminated texts.
void terminate_pool(std::vector<std::uint8_t>& pool) {
    if (!pool.empty() && pool.back() != 0) pool.push_back(0);
}

std::uint32_t packed_comment(std::uint32_t packed) {
    return packed & 0x00FFFFFF;
}
std::uint32_t packed_flags(std::uint32_t packed) {
    return packed & 0xFF000000;
}

}  // namespace

CatalogReadError read_catalog_v2(std::span<const std::uint8_t> bytes, int number,
                                 WorkLimits& limits, Catalog& cat) {
    ByteReader in(bytes);
    in.skip(2);  // the version word

    if (!in.has(kV2HeaderBytes)) return CatalogReadError::Header;
    MediumHeader header;
    copy_field(in, 14, header.volume_label);
    copy_field(in, 44, header.medium_name);
    header.volume_serial = in.u32le();
    const std::uint64_t dir_count = in.u32le();
    const std::uint64_t file_count = in.u32le();
    header.total_kb = static_cast<float>(in.u32le());
    in.skip(4);
    const std::uint32_t names_size = in.u32le();
    header.free_kb = 0;
    header.drive_type = kCdRomDriveType;
    header.text_encoding = TEXT_ENCODING_CP1252;
    header.medium_flags = 0;
    header.category = 0;
    header.catalog_number = static_cast<std::uint32_t>(number);

    if (!in.has(kV2InfoBytes)) return CatalogReadError::Info;
    MediumInfo info;
    copy_field(in, 128, info.manufacturer);
    copy_field(in, 128, info.supplier);
    copy_field(in, 128, info.order_number);
    copy_field(in, 32, info.price);
    const std::uint32_t description_length = in.u32le();
    const auto description = in.bytes(description_length);
    if (!in.ok()) return CatalogReadError::Description;

    if (!in.has(dir_count * kV2DirBytes)) return CatalogReadError::Dirs;
    ByteReader dir_in(in.bytes(dir_count * kV2DirBytes));
    if (!in.has(file_count * kV2FileBytes)) return CatalogReadError::Files;
    ByteReader file_in(in.bytes(file_count * kV2FileBytes));
    const auto name_bytes = in.bytes(names_size);
    if (!in.ok()) return CatalogReadError::Names;
    const auto comment_bytes = in.rest();
    // A catalogue has at least its root directory.
    if (dir_count == 0 || reads_as_version3(bytes)) return CatalogReadError::Damaged;

    grow_limits(limits, dir_count, file_count, name_bytes.size(), FIRST_IMAGE_OFFSET,
                comment_bytes.size());
    std::vector<DirRecord> dirs = make_area<DirRecord>(dir_count + 1, limits.directories + 16);
    for (std::uint64_t i = 0; i < dir_count; ++i) {
        DirRecord d;
        d.name = dir_in.u32le();
        const std::uint32_t packed = dir_in.u32le();
        d.comment = packed_comment(packed);
        d.flags = packed_flags(packed);
        d.parent = dir_in.u16le();
        dir_in.skip(2);
        dirs.push_back(d);
    }
    std::vector<FileRecord> files = make_area<FileRecord>(file_count + 1, limits.files + 16);
    double total_kb = 0;
    for (std::uint64_t i = 0; i < file_count; ++i) {
        FileRecord f;
        f.name = file_in.u32le();
        const std::uint32_t packed = file_in.u32le();
        f.comment = packed_comment(packed);
        f.flags = packed_flags(packed);
        f.size_kb = static_cast<float>(file_in.u32le() * 0.0009765625);
        f.time.set(file_in.u64le());
        f.parent = file_in.u16le();
        file_in.skip(2);
        total_kb += f.size_kb;
        files.push_back(f);
    }

    cat.header = header;
    cat.header.total_kb = static_cast<float>(total_kb);
    cat.info = info;
    set_stored_description(cat, description, TEXT_ENCODING_CP1252);
    cat.assign_records(std::move(dirs), std::move(files));
    std::vector<std::uint8_t> names =
        make_area<std::uint8_t>(name_bytes.size(), std::size_t{limits.names} + 4096);
    names.assign(name_bytes.begin(), name_bytes.end());
    terminate_pool(names);
    cat.assign_names(std::move(names));
    if (!comment_bytes.empty()) {
        std::vector<std::uint8_t> comments =
            make_area<std::uint8_t>(comment_bytes.size() + 2, std::size_t{limits.comments} + 4096);
        comments.assign(comment_bytes.begin(), comment_bytes.end());
        terminate_pool(comments);
        cat.assign_comments(std::move(comments));
    }
    // Totals need sound references; the caller's repair afterwards finds
    // nothing left to do.
    repair_references(cat);
    compute_directory_totals(cat);
    return CatalogReadError::None;
}

}  // namespace orbisto
