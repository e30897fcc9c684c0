// Exporting the current catalogue file and importing one from elsewhere.
//
// Declared in catalog/bulk.h (with the other whole-catalogue operations).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "catalog/bulk.h"
#include "catalog/catalog_context.h"
#include "catalog/catalog_store.h"
#include "catalog/media_list.h"
#include "catalog/save_question.h"
#include "platform/files.h"

namespace orbisto {

namespace {

const std::vector<FileFilter>& transfer_filters() {
    static const std::vector<FileFilter> filters = {{"Orbisto-Dateien", "*.OBX"},
                                                    {"alle             ", "*.*"}};
    return filters;
}

constexpr const char* kTransferExtension = "OBX";

void show_copy_error(CatalogContext& ctx, int err) {
    char text[64];
    std::snprintf(text, sizeof text, ctx.tr("Fehler beim Kopieren:%d", "file error:%d"), err);
    ctx.frontend.message(text, ctx.tr("Fehler!", "error!"), Buttons::Ok, Icon::Stop);
}

// Closes fd and returns errno as it was before.
int close_keeping_errno(int fd) {
    const int err = errno;
    ::close(fd);
    return err;
}

// Copies src to a new file dest, which must not exist yet. Returns 0 or the
// errno of the failure; a partly written dest is removed again, an existing
// one is never touched (EEXIST).
int copy_to_new_file(const std::string& src, const std::string& dest) {
    const int in = ::open(src.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return errno;
    struct stat st {};
    if (::fstat(in, &st) != 0) return close_keeping_errno(in);
    if (!S_ISREG(st.st_mode)) {
        ::close(in);
        return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    }
    const int out = ::open(dest.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (out < 0) return close_keeping_errno(in);

    int err = 0;
    std::vector<char> buf(1 << 16);
    for (;;) {
        const ssize_t n = ::read(in, buf.data(), buf.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            err = errno;
            break;
        }
        if (n == 0) break;
        for (ssize_t done = 0; done < n && err == 0;) {
            const ssize_t w = ::write(out, buf.data() + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0)
                err = w < 0 ? errno : ENOSPC;
            else
                done += w;
        }
        if (err) break;
    }
    // The copy must be writable, whatever the source's rights were.
    if (err == 0 && ::fchmod(out, 0644) != 0) err = errno;
    if (err == 0 && ::fsync(out) != 0) err = errno;
    if (::close(out) != 0 && err == 0) err = errno;
    ::close(in);
    if (err) ::unlink(dest.c_str());
    return err;
}

}  // namespace

bool ExportCatalogue(CatalogContext& ctx) {
    const int n = ctx.catalog.current_number();
    if (n < 0) return false;  // no catalogue file behind the Catalog shown
    const auto dest =
        ctx.frontend.choose_save_file("Datei für Export", transfer_filters(), kTransferExtension);
    if (!dest) return false;
    if (file_exists(*dest)) {
        const Answer answer = ctx.frontend.message(
            ctx.tr(" Datei vorhanden. Überschreiben? ", " file already exists. overwrite? "),
            ctx.tr(" Fehler ", " error "), Buttons::YesNo, Icon::Question);
        if (answer != Answer::Yes) return false;
    }
    const auto bytes = read_file(catalog_path(ctx.paths.catalog_dir, n));
    if (!bytes) {
        show_copy_error(ctx, errno);
        return false;
    }
    // Replaced atomically: a failed export leaves the old file as it was.
    if (!write_file_atomic(*dest, *bytes)) {
        show_copy_error(ctx, errno);
        return false;
    }
    return true;
}

int ImportCatalogue(CatalogContext& ctx) {
    const auto src =
        ctx.frontend.choose_open_file("Datei für Import", transfer_filters(), kTransferExtension);
    if (!src) return -1;
    // The import replaces the Catalog in memory: offer unsaved changes first.
    if (!ask_save_if_changed(ctx)) {
        ctx.catalog.set_changed(true);
        return -1;
    }

    // Another process may take the number between the look-up and the
    // exclusive create; then the next free one is tried.
    int k = -1;
    for (int attempt = 0; attempt < 100; ++attempt) {
        k = find_free_catalog_number(ctx);
        if (k < 0 || static_cast<std::uint32_t>(k) >= ctx.limits.media) {
            ctx.frontend.message(ctx.tr(" Zuviele Dateien ", " to much data "),
                                 ctx.tr(" Fehler ", " error "), Buttons::Ok, Icon::Stop);
            return -1;
        }
        const int err = copy_to_new_file(*src, catalog_path(ctx.paths.catalog_dir, k));
        if (err == 0) break;
        if (err != EEXIST) {
            show_copy_error(ctx, err);
            return -1;
        }
        k = -1;
    }
    if (k < 0) {
        show_copy_error(ctx, EEXIST);
        return -1;
    }

    const std::string path = catalog_path(ctx.paths.catalog_dir, k);
    // A stale current number equal to k would make the load a mere refresh.
    if (ctx.catalog.current_number() == k) ctx.catalog.set_current_number(-1);
    // The store loads catalogues only while the list holds media; the new
    // medium's entry is there from now on and goes again if the load fails.
    MediumHeader provisional;
    provisional.catalog_number = static_cast<std::uint32_t>(k);
    ctx.media.entries.push_back(provisional);
    if (!LoadCatalog(ctx, k)) {
        ctx.media.entries.pop_back();
        ::unlink(path.c_str());
        return -1;
    }

    // The file keeps the category and number of the place it came from; both
    // are made this installation's, in the file as in memory, so a later
    // list build agrees with the list now.
    MediumHeader header = ctx.catalog.header;
    header.category = 0;
    header.catalog_number = static_cast<std::uint32_t>(k);
    WriteCatalogHeader(ctx, k, header);
    ctx.catalog.header.category = 0;
    ctx.catalog.header.catalog_number = static_cast<std::uint32_t>(k);
    ctx.media.entries.back() = ctx.catalog.header;
    WriteFastLoadIndex(ctx);
    ctx.observer.media_changed();
    return k;
}

}  // namespace orbisto
