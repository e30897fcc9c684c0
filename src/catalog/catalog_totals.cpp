#include "catalog/catalog_totals.h"

namespace orbisto {

namespace {

void add_to(DirRecord& dir, float size_kb, std::uint64_t time) {
    dir.size_kb += size_kb;
    if (time > dir.time.value()) dir.time.set(time);
}

}  // namespace

void compute_directory_totals(Catalog& cat) {
    auto dirs = cat.dirs();
    for (DirRecord& d : dirs) {
        d.size_kb = 0;
        d.time = FileTime{};
    }
    for (const FileRecord& f : cat.files()) {
        if (f.parent >= dirs.size() || is_deleted(f)) continue;
        add_to(dirs[f.parent], f.size_kb, f.time.value());
    }
    for (std::size_t j = dirs.size(); j-- > 1;) {
        const std::uint32_t p = dirs[j].parent;
        if (p >= j) continue;  // a broken chain must not feed a child
        add_to(dirs[p], dirs[j].size_kb, dirs[j].time.value());
    }
}

}  // namespace orbisto
