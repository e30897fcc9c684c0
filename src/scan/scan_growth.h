// Growth of the Catalog's work areas during the walk: checked before every
// directory entry with head-room, in steps that grow with the area (at
// least half its size) so that copies stay rare on the largest media.
#pragma once

#include <cstddef>

namespace orbisto {

struct ScanContext;

// Head-room and step of each area.
inline constexpr std::size_t kCommentHeadroom = 0x8000;
inline constexpr std::size_t kCommentStep = 0x100000;
inline constexpr std::size_t kNameHeadroom = 0x1000;
inline constexpr std::size_t kNameStep = 0x20000;
inline constexpr std::size_t kDirHeadroom = 16;
inline constexpr std::size_t kDirStep = 0x400;
inline constexpr std::size_t kFileHeadroom = 0x400;
inline constexpr std::size_t kFileStep = 0x4000;

// Grows the CommentPool, NamePool, DirRecord and FileRecord arrays of
// ctx.catalog, in this order, where they lack head-room for one more entry.
// Each growth is logged with the new capacity, the used size and the old and
// new block address. Returns false when an area could not be grown: the
// failure is logged, its limit flag set in ctx.limits_hit, and the
// areas grown before it keep their new size.
bool GrowWorkAreas(ScanContext& ctx);

}  // namespace orbisto
