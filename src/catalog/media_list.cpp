// Building the MediaList from the fast-load index or the catalogue files.
#include "catalog/media_list.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <map>
#include <new>
#include <string_view>
#include <unordered_map>

#include "catalog/catalog_context.h"
#include "catalog/catalog_large.h"
#include "catalog/catalog_store.h"
#include "catalog/catalog_store_file.h"
#include "catalog/fastload.h"
#include "catalog/stored_header.h"
#include "platform/files.h"

namespace orbisto {

std::optional<std::size_t> MediaList::position_of(std::uint32_t number) const {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].catalog_number == number) return i;
    }
    return std::nullopt;
}

void MediaList::store(const MediumHeader& header) {
    if (auto pos = position_of(header.catalog_number)) {
        entries[*pos] = header;
    } else {
        entries.push_back(header);
    }
}

namespace {

// Catalogue numbers are 16-bit.
constexpr std::uint32_t kMaxCatalogNumber = 0xFFFF;

struct CatalogFile {
    std::uint32_t number = 0;
    std::string name;    // as spelt in the directory
    bool exact = false;  // spelt "<n>.cd", the way this program writes it
};

// The number of a catalogue file name: "<n>.cd" with any case of the
// extension, where <n> is n written as "%d" writes it. Names that merely
// start with digits ("12a.cd"), carry a sign, blanks or leading zeros
// ("007.cd") are no catalogue files: every other operation finds catalogue n
// under "<n>.cd", so such a file could never be loaded as n.
std::optional<std::uint32_t> catalog_number_of(std::string_view name) {
    if (name.size() < 4) return std::nullopt;
    const std::string_view ext = name.substr(name.size() - 3);
    if (::strncasecmp(ext.data(), ".cd", 3) != 0) return std::nullopt;
    const std::string_view base = name.substr(0, name.size() - 3);
    if (base.empty() || base.size() > 5) return std::nullopt;
    if (base.size() > 1 && base[0] == '0') return std::nullopt;
    std::uint32_t n = 0;
    for (char c : base) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (n > kMaxCatalogNumber) return std::nullopt;
    return n;
}

// The catalogue files of a directory, ordered by number. Of two spellings of
// one number ("7.cd", "7.CD") the program's own comes first and the others
// are left out.
std::vector<CatalogFile> list_catalog_files(const std::string& dir) {
    std::vector<CatalogFile> files;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return files;
    while (const dirent* e = ::readdir(d)) {
        if (e->d_type == DT_DIR) continue;
        const std::string_view name(e->d_name);
        if (auto n = catalog_number_of(name)) {
            files.push_back({*n, std::string(name), name.substr(name.size() - 3) == ".cd"});
        }
    }
    ::closedir(d);
    std::sort(files.begin(), files.end(), [](const CatalogFile& a, const CatalogFile& b) {
        if (a.number != b.number) return a.number < b.number;
        if (a.exact != b.exact) return a.exact;
        return a.name < b.name;
    });
    files.erase(std::unique(files.begin(), files.end(),
                            [](const CatalogFile& a, const CatalogFile& b) {
                                return a.number == b.number;
                            }),
                files.end());
    return files;
}

// The first 136 bytes of a regular file; false when it cannot be opened or
// is shorter. O_NONBLOCK keeps a FIFO of that name from blocking the start.
bool read_stored_header(const std::string& path, std::array<std::uint8_t, kStoredHeaderSize>& out) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
              st.st_size >= static_cast<off_t>(kStoredHeaderSize);
    std::size_t done = 0;
    while (ok && done < out.size()) {
        const ssize_t n =
            ::pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ok = false;
        else
            done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return ok;
}

// Grows the media limit by 50 while the count is within 10 of it, and the
// list's room with it (limit + 2 entries). May throw std::bad_alloc.
void make_room(CatalogContext& ctx, std::size_t count) {
    auto& limit = ctx.limits.media;
    while (count + 10 >= limit) limit += 50;
    ctx.media.entries.reserve(static_cast<std::size_t>(limit) + 2);
}

// Takes a valid fast-load index as the list. False when there is none.
bool take_fastload_index(CatalogContext& ctx) {
    auto entries = read_fastload_entries(fastload_path(ctx.paths.catalog_dir));
    if (!entries) return false;
    auto& limit = ctx.limits.media;
    if (limit < entries->size() + 10) limit = static_cast<std::uint32_t>(entries->size() + 50);
    entries->reserve(static_cast<std::size_t>(limit) + 2);
    ctx.media.entries = std::move(*entries);
    return true;
}

void show_wrong_version(CatalogContext& ctx, const std::string& path) {
    ctx.frontend.message(ctx.tr(" falsche Datenbankversion ", " wrong version of database "), path,
                         Buttons::Ok, Icon::Stop);
}

// Converts an old version 2 catalogue by loading it and saving it again
// under its number. The converted header, or nullopt when either step failed
// (the store has shown why).
std::optional<MediumHeader> convert_old_catalog(CatalogContext& ctx, std::uint32_t n) {
    if (!LoadCatalog(ctx, static_cast<int>(n))) return std::nullopt;
    if (SaveCatalog(ctx, static_cast<int>(n)) != static_cast<int>(n)) return std::nullopt;
    MediumHeader h = ctx.catalog.header;
    h.catalog_number = n;
    return h;
}

// Reads one catalogue file into a new last entry; false when it is left out.
// The entry is appended before the store is asked for anything, so that the
// store sees a non-empty list while it works on the file.
bool add_catalog_file(CatalogContext& ctx, const CatalogFile& file) {
    const std::string path = join_path(ctx.paths.catalog_dir, file.name);
    std::array<std::uint8_t, kStoredHeaderSize> raw;
    if (!read_stored_header(path, raw)) return false;

    auto& entries = ctx.media.entries;
    const std::size_t pos = entries.size();
    entries.push_back(header_from_stored(raw));
    auto drop = [&] {
        entries.resize(pos);
        return false;
    };

    if (is_compressed_mark(raw)) {
        // The header of a compressed file is the one of its member 00.CD.
        MediumHeader inner;
        inner.version = 0;
        if (ReadCatalogHeader(ctx, static_cast<int>(file.number), inner) != 1) {
            // A read failure has been reported by the store (the version
            // stays 0); an inner file of another version is judged below.
            if (inner.version == 0) return drop();
        }
        entries[pos] = inner;
    }
    entries[pos].catalog_number = file.number;

    const std::uint16_t version = entries[pos].version;
    if (version == 2) {
        auto converted = convert_old_catalog(ctx, file.number);
        if (!converted) return drop();
        entries[pos] = *converted;
    } else if (!is_current_version(version)) {
        // Newer versions are not understood; older ones than 2 never existed
        // and would be read as garbage.
        show_wrong_version(ctx, path);
        return drop();
    }
    return true;
}

void build_from_files(CatalogContext& ctx) {
    const auto files = list_catalog_files(ctx.paths.catalog_dir);
    for (const auto& file : files) {
        make_room(ctx, ctx.media.entries.size());
        if (!add_catalog_file(ctx, file)) continue;
        char number[16];
        std::snprintf(number, sizeof number, "%4d: ", static_cast<int>(ctx.media.count()));
        ctx.status(std::string(number) +
                   std::string(fixed_text(ctx.media.entries.back().medium_name)));
        ctx.frontend.pump();
    }
}

// The header of a catalogue file as a list entry, without asking the user
// anything; nullopt when it is no readable version 3 catalogue. A compressed
// file is unpacked only for a medium the list does not hold yet (known is its
// entry otherwise): unpacking every one at every index write would read each
// whole file. A header change another run made meanwhile to a compressed
// medium this run knows is therefore not seen; no medium is left out for it.
std::optional<MediumHeader> quiet_header(const std::string& path, std::uint32_t number,
                                         const MediumHeader* known) {
    std::array<std::uint8_t, kStoredHeaderSize> raw;
    if (!read_stored_header(path, raw)) return std::nullopt;
    if (is_compressed_mark(raw)) {
        if (known) return *known;
        CatalogFileBytes file;
        if (read_catalog_file(path, kStoredHeaderSize, file) != FileReadStatus::Ok ||
            file.data().size() < kStoredHeaderSize) {
            return std::nullopt;
        }
        std::copy_n(file.data().begin(), kStoredHeaderSize, raw.begin());
    }
    MediumHeader h = header_from_stored(raw);
    if (!is_current_version(h.version)) return std::nullopt;
    h.catalog_number = number;
    return h;
}

}  // namespace

std::vector<std::pair<std::uint32_t, std::string>> catalog_file_names(const std::string& dir) {
    std::vector<std::pair<std::uint32_t, std::string>> out;
    for (CatalogFile& file : list_catalog_files(dir)) out.emplace_back(file.number, file.name);
    return out;
}

std::vector<MediumHeader> index_entries_from_files(const CatalogContext& ctx) {
    const auto& entries = ctx.media.entries;
    std::unordered_map<std::uint32_t, std::size_t> known;
    for (std::size_t i = 0; i < entries.size(); ++i) known.emplace(entries[i].catalog_number, i);
    std::map<std::uint32_t, MediumHeader> on_disk;
    for (const CatalogFile& file : list_catalog_files(ctx.paths.catalog_dir)) {
        const auto it = known.find(file.number);
        const MediumHeader* entry = it == known.end() ? nullptr : &entries[it->second];
        const std::string path = join_path(ctx.paths.catalog_dir, file.name);
        if (auto h = quiet_header(path, file.number, entry)) on_disk.emplace(file.number, *h);
    }
    std::vector<MediumHeader> out;
    out.reserve(on_disk.size());
    for (const MediumHeader& e : entries) {
        const auto found = on_disk.find(e.catalog_number);
        if (found == on_disk.end()) continue;
        out.push_back(found->second);
        on_disk.erase(found);
    }
    for (const auto& [number, h] : on_disk) out.push_back(h);
    return out;
}

bool BuildMediaList(CatalogContext& ctx) {
    ctx.catalog.reset(ctx.english());
    // The emptied Catalog is no catalogue file: a later load of the number it
    // had must really load.
    ctx.catalog.set_current_number(-1);
    ctx.media.entries.clear();
    bool built = true;
    try {
        make_room(ctx, 0);
        if (!ctx.settings.options.fast_load || !take_fastload_index(ctx)) build_from_files(ctx);
    } catch (const std::bad_alloc&) {
        ctx.media.entries.clear();
        ctx.media.entries.shrink_to_fit();
        ctx.catalog.reset(ctx.english());
        ctx.catalog.set_current_number(-1);
        ctx.frontend.message(ctx.tr("Zu wenig Speicher!", "out of memory!"),
                             ctx.tr("Fehler", "error"), Buttons::Ok, Icon::Stop);
        built = false;
    }
    ctx.observer.catalog_replaced();
    ctx.observer.media_changed();
    return built;
}

}  // namespace orbisto
