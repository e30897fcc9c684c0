#include "catalog/catalog_store.h"

#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>

#include "catalog/catalog_context.h"
#include "catalog/catalog_encoding.h"
#include "catalog/catalog_format.h"
#include "catalog/catalog_large.h"
#include "catalog/catalog_store_file.h"
#include "catalog/catalog_store_messages.h"
#include "catalog/save_question.h"
#include "catalog/stored_header.h"

namespace orbisto {

namespace {

constexpr std::size_t kWholeFile = std::numeric_limits<std::size_t>::max();

void log_line(const CatalogContext& ctx, const char* format, long long a, long long b = 0) {
    if (!ctx.log.enabled()) return;
    char buf[64];
    std::snprintf(buf, sizeof buf, format, a, b);
    ctx.log.line(buf);
}

// Reports a failed file read; false when there was one.
bool check_read(CatalogContext& ctx, FileReadStatus status, const std::string& path) {
    switch (status) {
        case FileReadStatus::Ok:
            return true;
        case FileReadStatus::NotFound:
            report(ctx, StoreMessage::FileNotFound, path);
            break;
        case FileReadStatus::CannotOpen:
            report(ctx, StoreMessage::CannotOpen, path);
            break;
        case FileReadStatus::VersionError:
            report_read_error(ctx, CatalogReadError::Version, path);
            break;
        case FileReadStatus::ExpandFailed:
            report(ctx, StoreMessage::ExpandFailed, path);
            break;
        case FileReadStatus::OutOfMemory:
            report(ctx, StoreMessage::OutOfMemory, path);
            break;
    }
    return false;
}

void refresh_after_load(CatalogContext& ctx) {
    const std::string place = std::string(fixed_text(ctx.catalog.info.number)) + " / " +
                              std::string(fixed_text(ctx.catalog.info.place));
    ctx.status(place);
    ctx.status(ctx.catalog.status_text(0));
}

// The fields of a header that describe the file's layout, taken from the
// file itself so that a header write can never contradict what follows it.
void keep_layout_fields(StoredMediumHeader& h, const StoredMediumHeader& file) {
    h.version = file.version;
    h.text_encoding = file.text_encoding;
    h.dir_count = file.dir_count;
    h.file_count = file.file_count;
    h.names_size = file.names_size;
    h.images_size = file.images_size;
    h.total_kb = file.total_kb;
}

// Copies the fields a header write changes into another header.
void take_header_fields(MediumHeader& h, const MediumHeader& from) {
    h.volume_label = from.volume_label;
    h.medium_name = from.medium_name;
    h.free_kb = from.free_kb;
    h.drive_type = from.drive_type;
    h.medium_flags = from.medium_flags;
    h.category = from.category;
    h.volume_serial = from.volume_serial;
}

// The new bytes of catalogue file n with scratch as its header: the header
// bytes replaced in place when its texts fit the file's encoding, else the
// whole file re-read and written anew (also for a version 2 file).
std::optional<std::vector<std::uint8_t>> with_new_header(CatalogContext& ctx, int n,
                                                         std::span<const std::uint8_t> file,
                                                         const MediumHeader& scratch,
                                                         const std::string& path) {
    StoredMediumHeader on_disk;
    if (file.size() >= kHeaderBytes) std::memcpy(&on_disk, file.data(), kHeaderBytes);
    if (file.size() >= kHeaderBytes && is_current_version(on_disk.version) &&
        header_fits(scratch, on_disk.text_encoding)) {
        StoredMediumHeader h = header_to_file(scratch, on_disk.text_encoding);
        keep_layout_fields(h, on_disk);
        std::vector<std::uint8_t> out(file.begin(), file.end());
        std::memcpy(out.data(), &h, kHeaderBytes);
        return out;
    }
    Catalog cat;
    WorkLimits limits = ctx.limits;
    const CatalogReadError err = read_catalog_bytes(file, n, ctx.english(), limits, cat);
    if (err != CatalogReadError::None) {
        report_read_error(ctx, err, path);
        return std::nullopt;
    }
    take_header_fields(cat.header, scratch);
    cat.header.catalog_number = scratch.catalog_number;
    return write_catalog_bytes(cat);
}

}  // namespace

bool LoadCatalog(CatalogContext& ctx, int n) {
    if (ctx.media.entries.empty()) return false;
    log_line(ctx, "laden:%lld\r\n", n);
    if (!ask_save_if_changed(ctx)) {
        // The save failed and said so: keep the unsaved Catalog.
        ctx.catalog.set_changed(true);
        return false;
    }
    if (n == ctx.catalog.current_number()) {
        ctx.status(ctx.catalog.status_text(0));
        return true;
    }

    const std::string path = catalog_path(ctx.paths.catalog_dir, n);
    CatalogFileBytes file;
    bool ok = check_read(ctx, read_catalog_file(path, kWholeFile, file), path);
    if (ok) {
        const CatalogReadError err =
            read_catalog_bytes(file.data(), n, ctx.english(), ctx.limits, ctx.catalog);
        report_read_error(ctx, err, path);
        ok = err == CatalogReadError::None;
    } else {
        ctx.catalog.reset(ctx.english());
    }
    if (!ok) {
        // An empty Catalog must never be saved over the catalogue shown before.
        ctx.catalog.set_current_number(-1);
        ctx.status(ctx.catalog.status_text(0));
        ctx.observer.catalog_replaced();
        return false;
    }
    ctx.catalog.set_current_number(n);
    ctx.catalog.set_changed(false);
    refresh_after_load(ctx);
    ctx.observer.catalog_replaced();
    return true;
}

int SaveCatalog(CatalogContext& ctx, int n) {
    log_line(ctx, "\r\nwrite:%lld\r\n", n);
    bool claimed = false;
    FileLock claim;  // held until the catalogue has replaced its placeholder
    if (n < 0) {
        n = claim_catalog_number(ctx, claim);
        if (n < 0) return -1;
        claimed = true;
        log_line(ctx, "\r\nnew write:%lld\r\n", n);
    }
    const std::string path = catalog_path(ctx.paths.catalog_dir, n);
    Catalog& cat = ctx.catalog;
    const MediumHeader before = cat.header;
    cat.header.catalog_number = static_cast<std::uint32_t>(n);
    cat.sync_header();

    bool written = false;
    std::uint16_t encoding = TEXT_ENCODING_UTF8;
    std::uint16_t version = kVersion3;
    try {
        const std::vector<std::uint8_t> bytes = write_catalog_bytes(cat);
        std::memcpy(&encoding, bytes.data() + offsetof(StoredMediumHeader, text_encoding),
                    sizeof encoding);
        std::memcpy(&version, bytes.data() + offsetof(StoredMediumHeader, version), sizeof version);
        written = write_catalog_file(path, bytes, ctx.settings.options.store_compressed);
        if (!written) report(ctx, StoreMessage::WriteError, path);
    } catch (const std::bad_alloc&) {
        report(ctx, StoreMessage::OutOfMemory, path);
    }
    if (!written) {
        if (claimed) ::unlink(path.c_str());  // our empty placeholder
        cat.header = before;
        return -1;
    }

    log_line(ctx, "\r\ndirs:%lld\r\n", cat.dir_count());
    log_line(ctx, "\r\nfiles:%lld\r\n", cat.file_count());
    log_line(ctx, "\r\nnamen:%lld\r\n", cat.header.names_size);
    log_line(ctx, "\r\nimages:%lld/%lld\r\n", cat.header.images_size,
             static_cast<long long>(cat.images_used()));
    log_line(ctx, "\r\ncomment:%lld\r\n", static_cast<long long>(cat.comments_used()));

    cat.header.text_encoding = encoding;
    cat.header.version = version;
    cat.set_current_number(n);
    cat.set_changed(false);
    bool listed = false;
    for (MediumHeader& entry : ctx.media.entries) {
        if (entry.catalog_number != static_cast<std::uint32_t>(n)) continue;
        entry = cat.header;
        listed = true;
    }
    // A new medium's Catalog has its number now; the caller adds its entry.
    if (claimed) ctx.observer.catalog_changed();
    if (listed) ctx.observer.media_changed();
    return n;
}

int ReadCatalogHeader(CatalogContext& ctx, int n, MediumHeader& scratch) {
    const std::string path = catalog_path(ctx.paths.catalog_dir, n);
    CatalogFileBytes file;
    const FileReadStatus status = read_catalog_file(path, kHeaderBytes, file);
    if (status == FileReadStatus::NotFound || status == FileReadStatus::CannotOpen) return 0;
    if (status != FileReadStatus::Ok || file.data().size() < kHeaderBytes) {
        check_read(ctx, status == FileReadStatus::Ok ? FileReadStatus::VersionError : status, path);
        return 0;
    }
    scratch = header_from_stored(file.data().first<kStoredHeaderSize>());
    return is_current_version(scratch.version) ? 1 : 0;
}

int WriteCatalogHeader(CatalogContext& ctx, int n, const MediumHeader& scratch) {
    const std::string path = catalog_path(ctx.paths.catalog_dir, n);
    CatalogFileBytes file;
    const FileReadStatus status = read_catalog_file(path, kWholeFile, file);
    if (status == FileReadStatus::NotFound || status == FileReadStatus::CannotOpen) return 0;
    if (!check_read(ctx, status, path)) return 0;
    if (file.data().size() < kHeaderBytes) {
        check_read(ctx, FileReadStatus::VersionError, path);
        return 0;
    }
    try {
        const auto bytes = with_new_header(ctx, n, file.data(), scratch, path);
        if (!bytes) return 0;
        if (!write_catalog_file(path, *bytes, file.compressed)) {
            report(ctx, StoreMessage::HeaderWriteError, path);
            return 0;
        }
    } catch (const std::bad_alloc&) {
        report(ctx, StoreMessage::OutOfMemory, path);
        return 0;
    }
    // The Catalog in memory must not bring back the old header when it is
    // saved later.
    if (n == ctx.catalog.current_number()) {
        take_header_fields(ctx.catalog.header, scratch);
    }
    return 1;
}

}  // namespace orbisto
