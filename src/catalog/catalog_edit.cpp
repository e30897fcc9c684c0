#include "catalog/catalog_edit.h"

#include <new>
#include <utility>
#include <vector>

namespace orbisto {

namespace {

// Marks one file; true when it was not marked before.
bool mark_file(Catalog& cat, FileRecord& f) {
    if (is_deleted(f)) return false;
    cat.header.total_kb -= f.size_kb;
    f.size_kb = FILE_DELETED_SIZE;
    return true;
}

constexpr std::uint32_t NOT_IN_SUBTREE = 0xFFFFFFFF;

// The directories of a subtree with their children and files, as lists
// indexed by a local number (0 = the subtree's top). Child and file lists
// keep ascending record order.
struct Subtree {
    std::vector<std::uint32_t> dirs;         // local -> record index
    std::vector<std::uint32_t> child_start;  // local -> first entry in children
    std::vector<std::uint32_t> children;     // local numbers
    std::vector<std::uint32_t> file_start;   // local -> first entry in file_list
    std::vector<std::uint32_t> file_list;    // file record indexes
};

// A directory belongs to the subtree of `top` when its parent is `top` or a
// member that comes before it. That is exactly the set a recursive search of
// each directory's children from its own index upward reaches.
Subtree collect_subtree(const Catalog& cat, std::uint32_t top) {
    const auto dirs = cat.dirs();
    const auto files = cat.files();
    const std::uint32_t n = cat.dir_count();
    Subtree t;

    // local number of every directory from top upward
    std::vector<std::uint32_t> local(n - top, NOT_IN_SUBTREE);
    local[0] = 0;
    t.dirs.push_back(top);
    for (std::uint32_t j = top + 1; j < n; ++j) {
        const std::uint32_t p = dirs[j].parent;
        if (p >= top && p < j && local[p - top] != NOT_IN_SUBTREE) {
            local[j - top] = static_cast<std::uint32_t>(t.dirs.size());
            t.dirs.push_back(j);
        }
    }
    const std::size_t k = t.dirs.size();
    auto local_of = [&](std::uint32_t dir) {
        return dir >= top && dir < n ? local[dir - top] : NOT_IN_SUBTREE;
    };

    // children per directory (counting sort keeps ascending order)
    t.child_start.assign(k + 1, 0);
    for (std::size_t l = 1; l < k; ++l) ++t.child_start[local_of(dirs[t.dirs[l]].parent) + 1];
    for (std::size_t l = 0; l < k; ++l) t.child_start[l + 1] += t.child_start[l];
    t.children.resize(k - 1);
    {
        std::vector<std::uint32_t> fill(t.child_start.begin(), t.child_start.end() - 1);
        for (std::size_t l = 1; l < k; ++l) {
            const std::uint32_t pl = local_of(dirs[t.dirs[l]].parent);
            t.children[fill[pl]++] = static_cast<std::uint32_t>(l);
        }
    }

    // files per directory
    t.file_start.assign(k + 1, 0);
    for (const FileRecord& f : files) {
        const std::uint32_t l = local_of(f.parent);
        if (l != NOT_IN_SUBTREE) ++t.file_start[l + 1];
    }
    for (std::size_t l = 0; l < k; ++l) t.file_start[l + 1] += t.file_start[l];
    t.file_list.resize(t.file_start[k]);
    {
        std::vector<std::uint32_t> fill(t.file_start.begin(), t.file_start.end() - 1);
        for (std::uint32_t i = 0; i < files.size(); ++i) {
            const std::uint32_t l = local_of(files[i].parent);
            if (l != NOT_IN_SUBTREE) t.file_list[fill[l]++] = i;
        }
    }
    return t;
}

}  // namespace

bool delete_file(Catalog& cat, std::uint32_t index) {
    if (index >= cat.file_count()) return false;
    if (mark_file(cat, cat.files()[index])) cat.set_changed(true);
    return true;
}

bool delete_directory(Catalog& cat, std::uint32_t index, const std::function<void()>& pump) {
    if (index == 0 || index >= cat.dir_count()) return false;
    Subtree t;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> stack;  // local, next child entry
    try {
        t = collect_subtree(cat, index);
        stack.reserve(t.dirs.size());
    } catch (const std::bad_alloc&) {
        return false;
    }

    // Depth first, children in ascending order before their parent; then the
    // parent is marked and its own files deleted. This keeps the order in
    // which sizes are subtracted from total_kb.
    auto dirs = cat.dirs();
    auto files = cat.files();
    stack.emplace_back(0, t.child_start[0]);
    while (!stack.empty()) {
        auto& [l, next] = stack.back();
        if (next < t.child_start[l + 1]) {
            const std::uint32_t child = t.children[next++];
            stack.emplace_back(child, t.child_start[child]);
            continue;
        }
        dirs[t.dirs[l]].comment = DIR_DELETED_COMMENT;
        for (std::uint32_t e = t.file_start[l]; e < t.file_start[l + 1]; ++e) {
            mark_file(cat, files[t.file_list[e]]);
        }
        stack.pop_back();
        if (pump) pump();
    }
    cat.set_changed(true);
    return true;
}

std::uint32_t delete_files_without_comment(Catalog& cat) {
    std::uint32_t count = 0;
    for (FileRecord& f : cat.files()) {
        if (f.comment == COMMENT_NONE && mark_file(cat, f)) ++count;
    }
    cat.set_changed(true);
    return count;
}

}  // namespace orbisto
