// The fast-load index: reading and writing "fastload.cds" and regenerating it
// from the catalogue files.
#include "catalog/fastload.h"

#include <cerrno>
#include <string_view>

#include "catalog/catalog_context.h"
#include "catalog/catalog_large.h"
#include "catalog/media_list.h"
#include "catalog/save_question.h"
#include "catalog/stored_header.h"
#include "platform/byte_io.h"
#include "platform/files.h"
#include "platform/leftovers.h"

namespace orbisto {

std::optional<std::vector<MediumHeader>> read_fastload_entries(const std::string& path) {
    const auto data = read_file(path);
    if (!data) return std::nullopt;
    return parse_fastload_entries(*data);
}

std::optional<std::vector<MediumHeader>> parse_fastload_entries(std::string_view data) {
    if (data.empty() || data.size() % kStoredHeaderSize != 0) return std::nullopt;
    ByteReader in(data.data(), data.size());
    std::vector<MediumHeader> entries;
    entries.reserve(data.size() / kStoredHeaderSize);
    while (in.remaining() > 0) {
        const auto bytes = in.bytes(kStoredHeaderSize);
        if (bytes.size() != kStoredHeaderSize) return std::nullopt;
        entries.push_back(header_from_stored(bytes.first<kStoredHeaderSize>()));
        if (!is_current_version(entries.back().version)) return std::nullopt;
    }
    return entries;
}

std::string fastload_bytes(std::span<const MediumHeader> entries) {
    std::string out;
    out.reserve(entries.size() * kStoredHeaderSize);
    for (const auto& e : entries) {
        const auto stored = header_to_stored(e);
        out.append(reinterpret_cast<const char*>(stored.data()), stored.size());
    }
    return out;
}

std::string fastload_path(const std::string& catalog_dir) {
    if (auto found = find_case_insensitive(catalog_dir, kFastLoadName)) return *found;
    return join_path(catalog_dir, kFastLoadName);
}

namespace {

// Writes the index whatever fast_load says. The file is replaced atomically,
// so a failed write leaves the previous index (or none) behind.
bool write_index(CatalogContext& ctx) {
    const std::string path = fastload_path(ctx.paths.catalog_dir);
    // One writer at a time, each writing what the files say at that moment:
    // the last writer then knows every medium stored before it. Where the
    // directory cannot be locked the merge still happens.
    FileLock lock;
    lock.lock_path(ctx.paths.catalog_dir);
    if (write_file_atomic(path, fastload_bytes(index_entries_from_files(ctx)))) return true;
    // The atomic write fails either when its file cannot be made or while
    // writing it; a full or failing disk is the write error, anything else
    // means the file could not be created.
    const int err = errno;
    lock.release();  // other runs must not wait for the user to read the message
    const bool write_error = err == ENOSPC || err == EDQUOT || err == EIO || err == EFBIG;
    const char* text =
        write_error ? ctx.tr("Schreibfehler", "write error")
                    : ctx.tr("Datei konnte nicht angelegt werden", "file could not be created");
    ctx.frontend.message(text, path, Buttons::Ok, Icon::Stop);
    return false;
}

}  // namespace

bool WriteFastLoadIndex(CatalogContext& ctx) {
    if (!ctx.settings.options.fast_load) return true;
    return write_index(ctx);
}

bool RegenerateFastLoadIndex(CatalogContext& ctx) {
    const Answer answer = ctx.frontend.message(
        ctx.tr("Sie haben FastLoad aktiviert.\r\nSoll ich die FastLoad-Datei neu erzeugen?",
               "you have activated fastload.\r\nshould I create a new fastload file?"),
        "FastLoad", Buttons::YesNo, Icon::Question);
    if (answer != Answer::Yes) return false;
    return rebuild_fast_load_index(ctx);
}

bool rebuild_fast_load_index(CatalogContext& ctx) {
    // Building the list empties the current Catalog, so unsaved changes that
    // could not be saved stop the regeneration and stay marked as changed.
    if (!ask_save_if_changed(ctx)) {
        ctx.catalog.set_changed(true);
        return false;
    }

    bool& fast_load = ctx.settings.options.fast_load;
    const bool saved = fast_load;
    fast_load = false;
    const bool built = BuildMediaList(ctx);
    fast_load = saved;
    if (!built) return false;
    return write_index(ctx);
}

}  // namespace orbisto
