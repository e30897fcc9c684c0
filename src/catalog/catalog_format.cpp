#include "catalog/catalog_format.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <string_view>

#include "catalog/catalog_encoding.h"
#include "catalog/catalog_large.h"
#include "catalog/stored_header.h"
#include "platform/byte_io.h"
#include "platform/codepage.h"

namespace orbisto {

namespace {

constexpr std::uint64_t kU32Max = std::numeric_limits<std::uint32_t>::max();

std::uint32_t clamp_u32(std::uint64_t v) {
    return static_cast<std::uint32_t>(std::min(v, kU32Max));
}

template <class T>
std::vector<T> read_records(std::span<const std::uint8_t> bytes, std::size_t count,
                            std::size_t area) {
    std::vector<T> v = make_area<T>(count + 1, area);  // + the end marker
    v.resize(count);
    if (count) std::memcpy(v.data(), bytes.data(), count * sizeof(T));
    return v;
}

std::vector<std::uint8_t> read_pool(std::span<const std::uint8_t> bytes, std::size_t area) {
    std::vector<std::uint8_t> v = make_area<std::uint8_t>(bytes.size() + 2, area);
    v.assign(bytes.begin(), bytes.end());
    return v;
}

CatalogReadError read_v3(std::span<const std::uint8_t> bytes, WorkLimits& limits, Catalog& cat) {
    ByteReader in(bytes);
    StoredMediumHeader header;
    StoredMediumInfo info;
    if (!in.read(&header, kHeaderBytes)) return CatalogReadError::Header;
    if (!in.read(&info, kInfoBytes)) return CatalogReadError::Info;
    const auto description = in.bytes(info.description_length);
    if (!in.ok()) return CatalogReadError::Description;

    // Every count against what remains, before anything is allocated.
    const std::uint64_t dir_count = header.dir_count;
    const std::uint64_t file_count = header.file_count;
    if (!in.has(dir_count * kDirBytes)) return CatalogReadError::Dirs;
    const auto dir_bytes = in.bytes(dir_count * kDirBytes);
    if (!in.has(file_count * kFileBytes)) return CatalogReadError::Files;
    const auto file_bytes = in.bytes(file_count * kFileBytes);
    const auto name_bytes = in.bytes(header.names_size);
    if (!in.ok()) return CatalogReadError::Names;
    const auto image_bytes = in.bytes(header.images_size);
    if (!in.ok()) return CatalogReadError::Images;
    const auto comment_bytes = in.rest();

    grow_limits(limits, dir_count, file_count, name_bytes.size(), image_bytes.size(),
                comment_bytes.size());
    cat.header = header_from_stored(header);
    cat.info = info_from_stored(info, header.text_encoding);
    set_stored_description(cat, description, header.text_encoding);
    cat.assign_records(read_records<DirRecord>(dir_bytes, dir_count, limits.directories + 16),
                       read_records<FileRecord>(file_bytes, file_count, limits.files + 16));
    cat.assign_names(read_pool(name_bytes, std::size_t{limits.names} + 4096));
    cat.assign_images(read_pool(image_bytes, std::size_t{limits.images} + 32768));
    cat.dirs()[0].size_kb = 0;  // the root's own total is not taken from the file
    if (comment_bytes.empty()) {
        // Nothing behind the images: keep the empty pool of the reset
        // Catalog with the archive text at offset 1, so that new comments
        // never land where archive directories point.
        return CatalogReadError::None;
    }
    cat.assign_comments(read_pool(comment_bytes, std::size_t{limits.comments} + 4096));
    return CatalogReadError::None;
}

template <class T>
void put_records(ByteWriter& out, std::span<const T> records) {
    out.put(records.data(), records.size_bytes());
}

}  // namespace

void set_stored_description(Catalog& cat, std::span<const std::uint8_t> stored,
                            std::uint16_t encoding) {
    const std::string_view raw(reinterpret_cast<const char*>(stored.data()), stored.size());
    if (encoding == TEXT_ENCODING_UTF8 || is_ascii(raw)) {
        cat.set_description(raw);
    } else {
        cat.set_description(cp1252_to_utf8(raw));
    }
}

void grow_limits(WorkLimits& limits, std::uint64_t dirs, std::uint64_t files,
                 std::uint64_t names_size, std::uint64_t images_size, std::uint64_t comments_size) {
    if (dirs > limits.directories) limits.directories = clamp_u32(dirs + 128);
    if (files > limits.files) limits.files = clamp_u32(files + 128);
    if (limits.names < names_size + 1024)
        limits.names = clamp_u32((names_size + 65535) & ~32767ULL);
    if (limits.images < images_size + 1024) {
        limits.images = clamp_u32((images_size + 65535) & ~32767ULL);
    }
    if (limits.comments < comments_size + 1024) {
        limits.comments = clamp_u32((comments_size + 131072) & ~65535ULL);
    }
}

void repair_references(Catalog& cat) {
    auto dirs = cat.dirs();
    auto files = cat.files();
    const std::size_t names = cat.names_used();
    const std::uint32_t name_mask = name_offset_mask(names);
    const std::size_t comments = cat.comments_used();
    DirRecord& root = dirs[0];
    root.name = 0;
    root.comment = 0;
    root.flags = 0;
    root.parent = 0;
    for (std::size_t i = 1; i < dirs.size(); ++i) {
        DirRecord& d = dirs[i];
        if ((d.name & name_mask) >= names) d.name = 0;
        if (d.parent >= i) d.parent = 0;
        if (d.comment >= comments && d.comment != DIR_DELETED_COMMENT) d.comment = 0;
    }
    for (FileRecord& f : files) {
        if ((f.name & name_mask) >= names) f.name = 0;
        if (f.parent >= dirs.size()) f.parent = 0;
        if (f.comment >= comments) f.comment = 0;
    }
    cat.set_end_markers();
}

CatalogReadError read_catalog_bytes(std::span<const std::uint8_t> bytes, int number, bool english,
                                    WorkLimits& limits, Catalog& cat) {
    CatalogReadError err = CatalogReadError::None;
    std::uint16_t version = 0;
    try {
        cat.reset(english);  // keeps the areas; drops the old contents
        ByteReader in(bytes);
        version = in.u16le();
        if (!in.ok()) {
            err = CatalogReadError::Version;
        } else if (is_current_version(version)) {
            // The large form has the same layout; only its name offsets are
            // read differently, which follows from the pool size.
            err = read_v3(bytes, limits, cat);
            if (err == CatalogReadError::None && version == kVersion3 &&
                cat.names_used() > kSmallNamesLimit) {
                // Version 3 readers ignore the top byte even in a pool this
                // large; the Catalog would take all 32 bits.
                drop_name_top_bytes(cat.dirs(), cat.files());
            }
        } else if (version == kVersion2) {
            err = read_catalog_v2(bytes, number, limits, cat);
        } else {
            err = CatalogReadError::WrongVersion;
        }
        if (err == CatalogReadError::None) {
            repair_references(cat);
            const std::uint16_t encoding = cat.header.text_encoding;
            if (encoding != TEXT_ENCODING_UTF8 && encoding != TEXT_ENCODING_POOLS_UTF8 &&
                !convert_catalog_to_utf8(cat)) {
                err = CatalogReadError::Names;
            }
        }
    } catch (const std::bad_alloc&) {
        err = CatalogReadError::OutOfMemory;
    }
    if (err != CatalogReadError::None) {
        cat.reset(english);
        return err;
    }
    // A converted version 2 file is a version 3 Catalog now.
    cat.header.version = version == kVersionLarge ? kVersionLarge : kVersion3;
    cat.header.catalog_number = static_cast<std::uint32_t>(number);
    cat.sync_header();
    cat.set_changed(false);
    return CatalogReadError::None;
}

std::vector<std::uint8_t> write_catalog_bytes(const Catalog& cat) {
    FileTexts texts = encode_catalog_texts(cat);
    const std::span<const DirRecord> dirs =
        texts.dirs ? std::span<const DirRecord>(*texts.dirs) : cat.dirs();
    const std::span<const FileRecord> files =
        texts.files ? std::span<const FileRecord>(*texts.files) : cat.files();
    const std::span<const std::uint8_t> names =
        texts.names ? std::span<const std::uint8_t>(*texts.names) : cat.name_bytes();
    const std::span<const std::uint8_t> comments =
        texts.comments ? std::span<const std::uint8_t>(*texts.comments) : cat.comment_bytes();
    const std::span<const std::uint8_t> images = cat.image_bytes();

    StoredMediumHeader& header = texts.header;
    // The large form only when the medium passes what version 3 can hold.
    header.version = needs_large_form(dirs.size(), names.size()) ? kVersionLarge : kVersion3;
    header.text_encoding = texts.encoding;
    header.dir_count = static_cast<std::uint32_t>(dirs.size());
    header.file_count = static_cast<std::uint32_t>(files.size());
    header.names_size = static_cast<std::uint32_t>(names.size());
    header.images_size = static_cast<std::uint32_t>(images.size());
    texts.info.description_length = static_cast<std::uint32_t>(texts.description.size());

    ByteWriter out;
    out.buffer().reserve(kHeaderBytes + kInfoBytes + texts.description.size() + dirs.size_bytes() +
                         files.size_bytes() + names.size() + images.size() + comments.size());
    out.put(&header, kHeaderBytes);
    out.put(&texts.info, kInfoBytes);
    out.put(texts.description.data(), texts.description.size());
    put_records(out, dirs);
    put_records(out, files);
    out.put(names.data(), names.size());
    out.put(images.data(), images.size());
    out.put(comments.data(), comments.size());
    return std::move(out.buffer());
}

}  // namespace orbisto
