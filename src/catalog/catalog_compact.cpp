#include "catalog/catalog_compact.h"

#include <algorithm>
#include <new>
#include <vector>

#include "settings/lang.h"

namespace orbisto {

namespace {

void report_out_of_memory(Frontend& fe, bool english) {
    fe.message(tr(english, "Zu wenig Speicher!", "out of memory!"), tr(english, "Fehler", "error"),
               Buttons::Ok, Icon::Stop);
}

// Removes the marked records into new arrays; `new_of` maps every old
// directory index to its new one, or for a removed directory to that of its
// nearest remaining ancestor.
void compact_records(const Catalog& cat, std::vector<DirRecord>& out_dirs,
                     std::vector<FileRecord>& out_files) {
    const auto dirs = cat.dirs();
    const auto files = cat.files();
    const std::size_t n = dirs.size();

    std::size_t kept_dirs = 1;
    for (std::size_t j = 1; j < n; ++j) kept_dirs += !is_deleted(dirs[j]);
    std::size_t kept_files = 0;
    for (const FileRecord& f : files) kept_files += !is_deleted(f);

    std::vector<std::uint32_t> new_of(n, 0);
    out_dirs.reserve(kept_dirs + 1);  // + the end marker added on assignment
    out_files.reserve(kept_files + 1);

    out_dirs.push_back(dirs[0]);
    out_dirs.back().parent = 0;
    for (std::size_t j = 1; j < n; ++j) {
        const std::uint32_t p = dirs[j].parent;
        const std::uint32_t new_parent = p < j ? new_of[p] : 0;
        if (is_deleted(dirs[j])) {
            new_of[j] = new_parent;
            continue;
        }
        new_of[j] = static_cast<std::uint32_t>(out_dirs.size());
        out_dirs.push_back(dirs[j]);
        out_dirs.back().parent = new_parent;
    }
    for (const FileRecord& f : files) {
        if (is_deleted(f)) continue;
        out_files.push_back(f);
        out_files.back().parent = f.parent < n ? new_of[f.parent] : 0;
    }
}

// Rebuilds the NamePool in record order and sets the new offsets. False,
// with the records untouched, when the new pool would pass `limit` bytes.
bool rebuild_names(const Catalog& cat, std::vector<DirRecord>& dirs, std::vector<FileRecord>& files,
                   std::size_t limit, std::vector<std::uint8_t>& pool) {
    std::size_t total = 1;
    for (std::size_t j = 1; j < dirs.size(); ++j) total += cat.name_at(dirs[j].name).size() + 1;
    for (const FileRecord& f : files) total += cat.name_at(f.name).size() + 1;
    if (total > limit) return false;

    pool.reserve(limit);
    pool.push_back(0);
    auto copy_name = [&](std::uint32_t& name) {
        const std::string_view text = cat.name_at(name);
        name = static_cast<std::uint32_t>(pool.size());
        pool.insert(pool.end(), text.begin(), text.end());
        pool.push_back(0);
    };
    dirs[0].name = 0;
    for (std::size_t j = 1; j < dirs.size(); ++j) copy_name(dirs[j].name);
    for (FileRecord& f : files) copy_name(f.name);
    return true;
}

}  // namespace

bool compact_records_and_names(Catalog& cat, Frontend& fe, bool english) {
    try {
        std::vector<DirRecord> dirs;
        std::vector<FileRecord> files;
        compact_records(cat, dirs, files);

        const std::size_t limit = std::min(Catalog::MAX_NAMES_SIZE,
                                           std::max(cat.names_capacity(), cat.names_used()) + 2600);
        std::vector<std::uint8_t> names;
        const bool rebuilt = rebuild_names(cat, dirs, files, limit, names);

        // Nothing below allocates: the vectors have room for the end markers.
        cat.assign_records(std::move(dirs), std::move(files));
        if (rebuilt) cat.assign_names(std::move(names));
    } catch (const std::bad_alloc&) {
        report_out_of_memory(fe, english);
        return false;
    }
    return true;
}

bool compact_comments(Catalog& cat, Frontend& fe, bool english) {
    try {
        const auto old = cat.comment_bytes();
        auto dirs = cat.dirs();
        auto files = cat.files();

        std::string_view archive = pool_text(old, COMMENT_ARCHIVE);
        if (archive.empty()) archive = english ? ARCHIVE_TEXT_EN : ARCHIVE_TEXT_DE;

        // Which comments move, and the size of the new pool.
        auto dir_moves = [&](std::uint32_t c) {
            return c > COMMENT_ARCHIVE && c != DIR_DELETED_COMMENT && c < old.size();
        };
        auto file_moves = [&](std::uint32_t c) { return c != COMMENT_NONE && c < old.size(); };
        std::size_t total = 1 + archive.size() + 1 + 1;  // + a possible padding byte
        for (const DirRecord& d : dirs) {
            if (dir_moves(d.comment)) total += pool_text(old, d.comment).size() + 1;
        }
        for (const FileRecord& f : files) {
            if (file_moves(f.comment)) total += pool_text(old, f.comment).size() + 1;
        }
        const std::size_t limit =
            std::min(Catalog::MAX_POOL_SIZE,
                     std::max(cat.comments_capacity(), cat.comments_used() + 2) + 128);
        if (total + 2 > limit) return true;  // shared texts: keep the old pool

        std::vector<std::uint8_t> pool;
        pool.reserve(total + 2);  // + the end mark added on assignment
        std::vector<std::uint32_t> new_offsets;
        new_offsets.reserve(dirs.size() + files.size());

        pool.push_back(0);
        push_comment_text(pool, archive);
        for (const DirRecord& d : dirs) {
            std::uint32_t c = d.comment;
            if (dir_moves(c)) {
                c = push_comment_text(pool, pool_text(old, c));
            } else if (c > COMMENT_ARCHIVE && c != DIR_DELETED_COMMENT) {
                c = COMMENT_NONE;  // outside the old pool
            }
            new_offsets.push_back(c);
        }
        for (const FileRecord& f : files) {
            new_offsets.push_back(file_moves(f.comment)
                                      ? push_comment_text(pool, pool_text(old, f.comment))
                                      : COMMENT_NONE);
        }

        // Commit; nothing below allocates.
        std::size_t k = 0;
        for (DirRecord& d : dirs) d.comment = new_offsets[k++];
        for (FileRecord& f : files) f.comment = new_offsets[k++];
        cat.assign_comments(std::move(pool));
    } catch (const std::bad_alloc&) {
        report_out_of_memory(fe, english);
        return false;
    }
    return true;
}

}  // namespace orbisto
