#include "catalog/catalog_store_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <string_view>

#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "catalog/catalog_store_messages.h"
#include "catalog/catalog_zip.h"
#include "platform/files.h"
#include "platform/leftovers.h"

namespace orbisto {

namespace {

// Reads up to n bytes from the start of a file.
std::optional<std::string> read_prefix(const std::string& path, std::size_t n) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string data(n, '\0');
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = ::read(fd, data.data() + done, n - done);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (r == 0) break;
        done += static_cast<std::size_t>(r);
    }
    ::close(fd);
    data.resize(done);
    return data;
}

// The highest number a new catalogue may get: the media limit, kept within
// the range of the int that numbers travel in.
std::uint64_t highest_number(const CatalogContext& ctx) {
    return std::min<std::uint64_t>(ctx.limits.media, std::numeric_limits<int>::max());
}

std::span<const std::uint8_t> as_bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

}  // namespace

FileReadStatus read_catalog_file(const std::string& path, std::size_t max_bytes,
                                 CatalogFileBytes& out) {
    out = CatalogFileBytes{};
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return errno == ENOENT ? FileReadStatus::NotFound : FileReadStatus::CannotOpen;
    }
    try {
        std::optional<std::string> raw;
        if (max_bytes < static_cast<std::uint64_t>(st.st_size)) {
            raw = read_prefix(path, max_bytes);
            // The member of an archive is found from its end: read it whole.
            if (raw && is_compressed_catalog(as_bytes(*raw))) raw = read_file(path);
        } else {
            raw = read_file(path);
        }
        if (!raw) return FileReadStatus::CannotOpen;
        out.raw = std::move(*raw);
        if (out.raw.size() < 2) return FileReadStatus::VersionError;
        if (!is_compressed_catalog(as_bytes(out.raw))) return FileReadStatus::Ok;

        out.compressed = true;
        const ZipReadError e =
            read_zip_member(as_bytes(out.raw), kZipCatalogMember, max_bytes, out.unpacked);
        if (e == ZipReadError::TooLarge) return FileReadStatus::VersionError;
        if (e != ZipReadError::None) return FileReadStatus::ExpandFailed;
        if (out.unpacked.size() < 2) return FileReadStatus::VersionError;
        return FileReadStatus::Ok;
    } catch (const std::bad_alloc&) {
        out = CatalogFileBytes{};
        return FileReadStatus::OutOfMemory;
    }
}

bool write_catalog_file(const std::string& path, std::span<const std::uint8_t> bytes,
                        bool compress) {
    std::optional<std::vector<std::uint8_t>> packed;
    if (compress) {
        packed = make_catalog_zip(bytes);
        if (!packed) {
            errno = EIO;
            return false;
        }
        // The reader refuses a member larger than its header's counts or its
        // packed size make plausible (long comments can pass that bound): such
        // a catalogue is stored plain, which every reader takes.
        StoredMediumHeader header;
        std::memcpy(&header, bytes.data(), std::min(bytes.size(), sizeof header));
        if (bytes.size() <= catalog_bytes_needed(header) &&
            bytes.size() <= max_unpacked_size(packed->size())) {
            bytes = *packed;
        }
    }
    return write_file_atomic(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string catalog_path(const std::string& catalog_dir, int n) {
    // Catalogues copied from Windows media may be spelt "7.CD".
    const std::string name = std::to_string(n) + ".cd";
    if (auto found = find_case_insensitive(catalog_dir, name)) return *found;
    return join_path(catalog_dir, name);
}

int find_free_catalog_number(const CatalogContext& ctx) {
    for (std::uint64_t k = 0; k <= highest_number(ctx); ++k) {
        struct stat st {};
        const std::string path = catalog_path(ctx.paths.catalog_dir, static_cast<int>(k));
        // The claim of a process that died before its save is free again.
        if (::stat(path.c_str(), &st) == 0 && !remove_dead_placeholder(path)) continue;
        if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) return static_cast<int>(k);
    }
    return -1;
}

int claim_catalog_number(CatalogContext& ctx, FileLock& claim) {
    for (std::uint64_t k = 0; k <= highest_number(ctx); ++k) {
        const std::string path = catalog_path(ctx.paths.catalog_dir, static_cast<int>(k));
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && !remove_dead_placeholder(path)) continue;
        if (::stat(path.c_str(), &st) == 0) continue;
        if (errno != ENOENT) {
            // The catalogue directory itself cannot be searched (no access,
            // not a directory): every other number would fail the same way,
            // so report it once.
            report(ctx, StoreMessage::AccessDenied, path);
            return -1;
        }
        // Exclusive create: another process that saw the same gap loses
        // here and goes on with the next number.
        if (create_placeholder(path, claim)) return static_cast<int>(k);
        if (errno == EEXIST) continue;
        report(ctx, StoreMessage::CannotCreate, path);
        return -1;
    }
    report(ctx, StoreMessage::TooManyFiles, std::string());
    return -1;
}

}  // namespace orbisto
