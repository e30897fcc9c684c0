#include "catalog/media_match.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <limits>
#include <new>

#include "catalog/catalog_context.h"
#include "catalog/catalog_format.h"
#include "catalog/catalog_large.h"
#include "catalog/catalog_store.h"
#include "catalog/catalog_store_file.h"
#include "platform/codepage.h"

namespace orbisto {

bool serial_matches(std::uint32_t stored, std::uint32_t reported) {
    const std::uint32_t reversed = (reported >> 24) | ((reported >> 8) & 0xFF00) |
                                   ((reported << 8) & 0xFF0000) | (reported << 24);
    return stored == reported || stored == reversed;
}

std::size_t find_medium(std::span<const MediumHeader> media, std::string_view label,
                        std::uint32_t serial) {
    // Compare with the label as it would have been stored, so a label longer
    // than the field still finds its medium.
    MediumHeader probe;
    set_fixed_text(probe.volume_label, label);
    const std::string_view wanted = fixed_text(probe.volume_label);
    for (std::size_t i = 0; i < media.size(); ++i) {
        if (fixed_text(media[i].volume_label) == wanted &&
            serial_matches(media[i].volume_serial, serial)) {
            return i + 1;
        }
    }
    return 0;
}

std::ptrdiff_t find_identical_medium(std::span<const MediumHeader> media,
                                     const MediumHeader& current) {
    const std::string_view label = fixed_text(current.volume_label);
    for (std::size_t i = 0; i < media.size(); ++i) {
        const MediumHeader& m = media[i];
        if (fixed_text(m.volume_label) == label && m.dir_count == current.dir_count &&
            m.file_count == current.file_count && m.total_kb == current.total_kb &&
            serial_matches(m.volume_serial, current.volume_serial)) {
            return static_cast<std::ptrdiff_t>(i);
        }
    }
    return -1;
}

bool identity_is_weak(std::string_view label, std::uint32_t serial) {
    MediumHeader probe;
    set_fixed_text(probe.volume_label, label);
    return serial == 0 && fixed_text(probe.volume_label).empty();
}

std::string_view scanned_path(const Catalog& cat) {
    if (cat.dir_count() < 2 || cat.dirs()[1].parent != 0) return {};
    const std::string_view name = cat.dir_name(1);
    return name.starts_with('/') ? name : std::string_view();
}

namespace {

// How many bytes of DirRecord 1's name are read at first.
constexpr std::size_t kPathProbe = 4096;

// Reads exactly n bytes at offset; false on a short read.
bool read_at(int fd, void* out, std::size_t n, std::uint64_t offset) {
    auto* p = static_cast<char*>(out);
    while (n > 0) {
        const ssize_t got = ::pread(fd, p, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        p += got;
        n -= static_cast<std::size_t>(got);
        offset += static_cast<std::uint64_t>(got);
    }
    return true;
}

// The scanned path of a plain version 3 or 4 file from the few bytes that
// hold it: the header, the info block, DirRecord 1 and its name. nullopt
// when the file is anything else (compressed, old, damaged), so that the
// caller reads it whole; the answer is the one a full load gives.
std::optional<std::string> quick_scanned_path(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    std::optional<std::string> result;
    struct stat st {};
    StoredMediumHeader h;
    StoredMediumInfo info;
    DirRecord dir;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && read_at(fd, &h, sizeof h, 0) &&
        is_current_version(h.version) && read_at(fd, &info, sizeof info, sizeof h)) {
        const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
        const std::uint64_t dirs =
            std::uint64_t{kHeaderBytes} + kInfoBytes + info.description_length;
        const std::uint64_t names = dirs + std::uint64_t{h.dir_count} * kDirBytes +
                                    std::uint64_t{h.file_count} * kFileBytes;
        if (names + h.names_size + h.images_size > size) {
            // Damaged: the full load reports it.
        } else if (h.dir_count < 2) {
            result = std::string();
        } else if (read_at(fd, &dir, sizeof dir, dirs + kDirBytes)) {
            const std::uint32_t offset = dir.name & name_offset_mask(h.names_size);
            std::string name;
            bool whole = true;
            if (offset < h.names_size) {
                name.resize(std::min<std::uint64_t>(h.names_size - offset, kPathProbe));
                if (!read_at(fd, name.data(), name.size(), names + offset)) name.clear();
                const std::size_t end = name.find('\0');
                // A name that runs past the probe is left to the full load.
                whole = end != std::string::npos || name.size() < kPathProbe;
                if (end != std::string::npos) name.resize(end);
            }
            const bool utf8 = h.text_encoding == TEXT_ENCODING_UTF8 ||
                              h.text_encoding == TEXT_ENCODING_POOLS_UTF8;
            if (!utf8 && !is_ascii(name)) name = cp1252_to_utf8(name);
            if (whole) result = name.starts_with('/') ? name : std::string();
        }
    }
    ::close(fd);
    return result;
}

}  // namespace

std::optional<std::string> read_scanned_path(const CatalogContext& ctx, int number) {
    if (auto quick = quick_scanned_path(catalog_path(ctx.paths.catalog_dir, number))) return quick;
    try {
        CatalogFileBytes file;
        if (read_catalog_file(catalog_path(ctx.paths.catalog_dir, number),
                              std::numeric_limits<std::size_t>::max(),
                              file) != FileReadStatus::Ok) {
            return std::nullopt;
        }
        WorkLimits limits = ctx.limits;
        Catalog cat;
        if (read_catalog_bytes(file.data(), number, ctx.english(), limits, cat) !=
            CatalogReadError::None) {
            return std::nullopt;
        }
        return std::string(scanned_path(cat));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool same_medium(const MediumHeader& a, std::string_view path_a, const MediumHeader& b,
                 std::string_view path_b) {
    if (a.volume_serial != b.volume_serial ||
        fixed_text(a.volume_label) != fixed_text(b.volume_label) || path_a != path_b) {
        return false;
    }
    return !path_a.empty() || !identity_is_weak(fixed_text(a.volume_label), a.volume_serial);
}

}  // namespace orbisto
