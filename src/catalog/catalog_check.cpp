#include "catalog/catalog_check.h"

#include <cstdint>
#include <cstring>
#include <span>

#include "catalog/catalog.h"
#include "catalog/catalog_context.h"
#include "catalog/catalog_format.h"
#include "catalog/catalog_large.h"
#include "catalog/catalog_store_file.h"
#include "catalog/catalog_store_messages.h"

namespace orbisto {

namespace {

// How many records of the current layout point into the CommentPool beyond
// its end. The counts and sizes of the header have been found to fit the
// file by a successful load.
std::uint64_t comments_pointed_past(std::span<const std::uint8_t> bytes,
                                    std::uint64_t& comments_size) {
    StoredMediumHeader header;
    StoredMediumInfo info;
    std::memcpy(&header, bytes.data(), kHeaderBytes);
    std::memcpy(&info, bytes.data() + kHeaderBytes, kInfoBytes);
    const std::uint64_t dirs_at =
        std::uint64_t{kHeaderBytes} + kInfoBytes + info.description_length;
    const std::uint64_t files_at = dirs_at + std::uint64_t{header.dir_count} * kDirBytes;
    const std::uint64_t comments_at = files_at + std::uint64_t{header.file_count} * kFileBytes +
                                      header.names_size + header.images_size;
    comments_size = bytes.size() - comments_at;
    std::uint64_t past = 0;
    // The root's comment is not taken from the file.
    for (std::uint64_t i = 1; i < header.dir_count; ++i) {
        DirRecord d;
        std::memcpy(&d, bytes.data() + dirs_at + i * kDirBytes, kDirBytes);
        if (d.comment > COMMENT_ARCHIVE && d.comment != DIR_DELETED_COMMENT &&
            d.comment >= comments_size) {
            ++past;
        }
    }
    for (std::uint64_t i = 0; i < header.file_count; ++i) {
        FileRecord f;
        std::memcpy(&f, bytes.data() + files_at + i * kFileBytes, kFileBytes);
        if (f.comment > COMMENT_ARCHIVE && f.comment >= comments_size) ++past;
    }
    return past;
}

}  // namespace

std::string catalog_file_damage(const CatalogContext& ctx, const std::string& path,
                                std::uint32_t number) {
    CatalogFileBytes file;
    switch (read_catalog_file(path, SIZE_MAX, file)) {
        case FileReadStatus::Ok:
            break;
        case FileReadStatus::NotFound:
            return ctx.tr("nicht vorhanden", "not found");
        case FileReadStatus::CannotOpen:
            return ctx.tr("nicht lesbar", "cannot be read");
        case FileReadStatus::VersionError:
            return ctx.tr("zu kurz f\xC3\xBCr einen Katalog", "too short for a catalogue");
        case FileReadStatus::ExpandFailed:
            return ctx.tr(
                "gepackte Datei besch\xC3\xA4"
                "digt",
                "damaged compressed file");
        case FileReadStatus::OutOfMemory:
            return ctx.tr("zu wenig Speicher", "out of memory");
    }
    const std::span<const std::uint8_t> bytes = file.data();
    Catalog cat;
    WorkLimits limits = ctx.limits;
    const CatalogReadError err =
        read_catalog_bytes(bytes, static_cast<int>(number), ctx.english(), limits, cat);
    if (err == CatalogReadError::WrongVersion) {
        std::uint16_t version = 0;
        std::memcpy(&version, bytes.data(), sizeof version);
        return read_error_reason(err, ctx.english()) + " " + std::to_string(version);
    }
    if (err != CatalogReadError::None && err != CatalogReadError::OutOfMemory &&
        err != CatalogReadError::Damaged && err != CatalogReadError::Version) {
        // Every other read error is a part the file ends before.
        return read_error_reason(err, ctx.english()) +
               ctx.tr(" (Datei zu kurz)", " (the file ends too early)");
    }
    if (err != CatalogReadError::None) return read_error_reason(err, ctx.english());

    std::uint16_t version = 0;
    std::memcpy(&version, bytes.data(), sizeof version);
    if (!is_current_version(version)) return {};  // a converted old file has no more to check
    std::uint64_t comments_size = 0;
    const std::uint64_t past = comments_pointed_past(bytes, comments_size);
    if (comments_size > 0 && bytes.back() != 0) {
        return ctx.tr("Kommentare enden mitten in einem Text (Datei zu kurz)",
                      "the comments end inside a text (the file ends too early)");
    }
    if (past > 0) {
        return std::to_string(past) + ctx.tr(
                                          " Eintr\xC3\xA4ge zeigen auf Kommentare hinter dem "
                                          "Dateiende (Datei zu kurz)",
                                          " entries point to comments beyond the end of the "
                                          "file (the file ends too early)");
    }
    return {};
}

}  // namespace orbisto
