#include "scan/scan_growth.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <new>

#include "scan/scan_context.h"

namespace orbisto {

namespace {

unsigned address_word(const void* p) {
    return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(p));
}

void log_growth(const ScanContext& ctx, const char* area, std::size_t capacity, std::size_t used,
                const void* old_block, const void* new_block) {
    if (!ctx.log.enabled()) return;
    char line[128];
    std::snprintf(line, sizeof line, "\r\n%s - max:%zu / ende:%zu / alt:%08X / neu:%08X\r\n", area,
                  capacity, used, address_word(old_block), address_word(new_block));
    ctx.log.line(line);
}

// Runs grow(); on std::bad_alloc logs "<area> - error" and sets the flag.
template <class Grow>
bool try_grow(ScanContext& ctx, const char* error_line, bool& limit_flag, Grow grow) {
    try {
        grow();
        return true;
    } catch (const std::bad_alloc&) {
        ctx.log.line(error_line);
        limit_flag = true;
        return false;
    }
}

// The next capacity of an area: at least one step more, and at least half
// the capacity more, so that a medium of millions of entries copies each
// area only a few dozen times instead of once per step.
std::size_t next_capacity(std::size_t capacity, std::size_t step) {
    return capacity + std::max(step, capacity / 2);
}

}  // namespace

bool GrowWorkAreas(ScanContext& ctx) {
    Catalog& c = ctx.catalog;
    ScanLimitsHit& hit = ctx.limits_hit;

    if (c.comments_capacity() < c.comments_used() + kCommentHeadroom) {
        const void* old_block = c.comment_bytes().data();
        if (!try_grow(ctx, "comment - error\r\n", hit.comments, [&] {
                c.reserve_comments(next_capacity(c.comments_capacity(), kCommentStep));
            })) {
            return false;
        }
        log_growth(ctx, "comment", c.comments_capacity(), c.comments_used(), old_block,
                   c.comment_bytes().data());
    }
    if (c.names_capacity() < c.names_used() + kNameHeadroom) {
        const void* old_block = c.name_bytes().data();
        if (!try_grow(ctx, "namen - error\r\n", hit.names,
                      [&] { c.reserve_names(next_capacity(c.names_capacity(), kNameStep)); })) {
            return false;
        }
        log_growth(ctx, "namen", c.names_capacity(), c.names_used(), old_block,
                   c.name_bytes().data());
    }
    if (c.dirs_capacity() <= c.dir_count() + kDirHeadroom) {
        const void* old_block = c.dirs().data();
        if (!try_grow(ctx, "dir - error\r\n", hit.dirs,
                      [&] { c.reserve_dirs(next_capacity(c.dirs_capacity(), kDirStep)); })) {
            return false;
        }
        log_growth(ctx, "dirs", c.dirs_capacity(), c.dir_count(), old_block, c.dirs().data());
    }
    if (c.files_capacity() <= c.file_count() + kFileHeadroom) {
        const void* old_block = c.files().data();
        if (!try_grow(ctx, "files - error\r\n", hit.files,
                      [&] { c.reserve_files(next_capacity(c.files_capacity(), kFileStep)); })) {
            return false;
        }
        log_growth(ctx, "files", c.files_capacity(), c.file_count(), old_block, c.files().data());
    }
    return true;
}

}  // namespace orbisto
