#include "catalog/catalog_zip.h"

#include <zip.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "catalog/catalog.h"
#include "catalog/records.h"

namespace orbisto {

namespace {

// A medium of tens of millions of files makes a catalogue of several GiB
// (the large form has no limit of its own below the 32-bit counts).
constexpr std::uint64_t kMaxUnpacked = std::uint64_t{16} << 30;  // 16 GiB
constexpr std::uint64_t kUnpackSlack = std::uint64_t{4} << 20;   // 4 MiB
constexpr std::uint64_t kUnpackRatio = 64;
// What the CommentPool may hold per record: far more than a scan or an edit
// ever gives one entry.
constexpr std::uint64_t kCommentBytesPerRecord = 64 * 1024;
constexpr std::uint64_t kNeededSlack = std::uint64_t{1} << 20;
// Catalogues are large and repetitive: the fastest deflate level packs them
// nearly as tightly as the default one at a fraction of the time.
constexpr zip_uint32_t kDeflateLevel = 1;

// Owns an open archive; discards it (no write-back) unless released.
struct ArchiveCloser {
    zip_t* za;
    ~ArchiveCloser() {
        if (za) zip_discard(za);
    }
};

struct FileCloser {
    zip_file_t* f;
    ~FileCloser() {
        if (f) zip_fclose(f);
    }
};

bool add_member(zip_t* za, const char* name, std::span<const std::uint8_t> data) {
    zip_source_t* src = zip_source_buffer(za, data.data(), data.size(), 0);
    if (!src) return false;
    const zip_int64_t index = zip_file_add(za, name, src, ZIP_FL_ENC_GUESS | ZIP_FL_OVERWRITE);
    if (index < 0) {
        zip_source_free(src);
        return false;
    }
    return zip_set_file_compression(za, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                                    kDeflateLevel) == 0;
}

// The bytes an in-memory source holds after its archive was closed.
std::optional<std::vector<std::uint8_t>> source_bytes(zip_source_t* src) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(src, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) return std::nullopt;
    if (zip_source_open(src) != 0) return std::nullopt;
    std::vector<std::uint8_t> out(st.size);
    zip_uint64_t done = 0;
    while (done < st.size) {
        const zip_int64_t n = zip_source_read(src, out.data() + done, st.size - done);
        if (n <= 0) break;
        done += static_cast<zip_uint64_t>(n);
    }
    zip_source_close(src);
    if (done != st.size) return std::nullopt;
    return out;
}

// Reads from a member until `until` bytes of out are filled (out grows to
// that size), or to the member's end. False when the data is broken (out is
// then emptied).
bool read_into(zip_file_t* f, std::vector<std::uint8_t>& out, std::size_t until,
               std::size_t& done) {
    out.resize(until);
    while (done < until) {
        const zip_int64_t n = zip_fread(f, out.data() + done, until - done);
        if (n < 0) {
            out.clear();
            return false;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool is_compressed_catalog(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] == 'K';
}

std::uint64_t max_unpacked_size(std::size_t zip_size) {
    return std::min(kMaxUnpacked, kUnpackRatio * zip_size + kUnpackSlack);
}

ZipReadError read_zip_member(std::span<const std::uint8_t> zip, const char* name,
                             std::size_t max_bytes, std::vector<std::uint8_t>& out) {
    out.clear();
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = zip_source_buffer_create(zip.data(), zip.size(), 0, &error);
    if (!src) {
        zip_error_fini(&error);
        return ZipReadError::Damaged;
    }
    ArchiveCloser archive{zip_open_from_source(src, ZIP_RDONLY, &error)};
    zip_error_fini(&error);
    if (!archive.za) {
        zip_source_free(src);  // not taken over by a failed open
        return ZipReadError::Damaged;
    }
    const zip_int64_t index = zip_name_locate(archive.za, name, ZIP_FL_NOCASE);
    if (index < 0) return ZipReadError::Damaged;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive.za, static_cast<zip_uint64_t>(index), 0, &st) != 0 ||
        !(st.valid & ZIP_STAT_SIZE)) {
        return ZipReadError::Damaged;
    }
    if (st.size > max_unpacked_size(zip.size())) return ZipReadError::TooLarge;

    const std::size_t want = static_cast<std::size_t>(std::min<zip_uint64_t>(st.size, max_bytes));
    FileCloser file{zip_fopen_index(archive.za, static_cast<zip_uint64_t>(index), 0)};
    if (!file.f) return ZipReadError::Damaged;
    // The header comes first, so the size its counts allow is known before
    // the bulk of the member is inflated.
    const std::size_t head = std::min(want, sizeof(StoredMediumHeader));
    std::size_t done = 0;
    if (!read_into(file.f, out, head, done)) return ZipReadError::Damaged;
    if (done == sizeof(StoredMediumHeader) && std::strcmp(name, kZipCatalogMember) == 0) {
        StoredMediumHeader header;
        std::memcpy(&header, out.data(), sizeof header);
        // The version 2 layout has its counts elsewhere; it is never packed.
        if (header.version != 2 && st.size > catalog_bytes_needed(header)) {
            out.clear();
            return ZipReadError::TooLarge;
        }
    }
    if (done == head && !read_into(file.f, out, want, done)) return ZipReadError::Damaged;
    if (want == st.size && done != want) {
        out.clear();
        return ZipReadError::Damaged;
    }
    if (done == st.size) {
        // The checksum is compared only when the end of the member is read:
        // one more read reaches it, and a member shorter than it claims fails
        // here as well.
        std::uint8_t extra = 0;
        if (zip_fread(file.f, &extra, 1) != 0) {
            out.clear();
            return ZipReadError::Damaged;
        }
    }
    out.resize(done);
    return ZipReadError::None;
}

std::uint64_t catalog_bytes_needed(const StoredMediumHeader& header) {
    const std::uint64_t records =
        std::uint64_t{header.dir_count} + std::uint64_t{header.file_count} + 1;
    return sizeof(StoredMediumHeader) + sizeof(StoredMediumInfo) + Catalog::MAX_DESCRIPTION +
           std::uint64_t{header.dir_count} * sizeof(DirRecord) +
           std::uint64_t{header.file_count} * sizeof(FileRecord) + header.names_size +
           header.images_size + records * kCommentBytesPerRecord + kNeededSlack;
}

std::optional<std::vector<std::uint8_t>> make_catalog_zip(std::span<const std::uint8_t> catalog) {
    if (catalog.size() < sizeof(StoredMediumHeader)) return std::nullopt;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!src) {
        zip_error_fini(&error);
        return std::nullopt;
    }
    zip_t* za = zip_open_from_source(src, ZIP_TRUNCATE, &error);
    zip_error_fini(&error);
    if (!za) {
        zip_source_free(src);
        return std::nullopt;
    }
    zip_source_keep(src);  // the archive's bytes are read from it after closing
    const bool added =
        add_member(za, kZipHeaderMember, catalog.first(sizeof(StoredMediumHeader))) &&
        add_member(za, kZipCatalogMember, catalog);
    if (!added || zip_close(za) != 0) {
        zip_discard(za);
        zip_source_free(src);
        return std::nullopt;
    }
    auto bytes = source_bytes(src);
    zip_source_free(src);
    return bytes;
}

}  // namespace orbisto
