#include "catalog/catalog_tree.h"

#include <algorithm>
#include <cstring>

namespace orbisto {

int compare_names(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool dir_deleted(const DirRecord& d) {
    return d.comment == DIR_DELETED_COMMENT;
}

bool file_deleted(const FileRecord& f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f.size_kb, sizeof bits);
    return bits == FILE_DELETED_SIZE_BITS;
}

namespace {

// Fills a compressed row list: start[p] .. start[p + 1] are the members of p.
void fill_csr(std::uint32_t groups, std::span<const std::uint32_t> group_of,
              std::span<const std::uint32_t> members, std::vector<std::uint32_t>& start,
              std::vector<std::uint32_t>& list) {
    start.assign(groups + 1, 0);
    for (std::uint32_t g : group_of) ++start[g + 1];
    for (std::uint32_t i = 0; i < groups; ++i) start[i + 1] += start[i];
    list.assign(members.size(), 0);
    std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
    for (std::size_t k = 0; k < members.size(); ++k) list[next[group_of[k]]++] = members[k];
}

}  // namespace

void CatalogTree::build(const Catalog& cat) {
    const auto dirs = cat.dirs();
    const auto files = cat.files();
    const auto n = static_cast<std::uint32_t>(dirs.size());
    parent_.assign(n, 0);
    row_.assign(n, 0);
    std::vector<char> live(n, 1);
    std::vector<std::uint32_t> group, member;
    group.reserve(n);
    member.reserve(n);
    for (std::uint32_t d = 1; d < n; ++d) {
        std::uint32_t p = dirs[d].parent;
        if (p >= d || !live[p]) p = 0;
        if (dir_deleted(dirs[d])) {
            live[d] = 0;
            continue;
        }
        parent_[d] = p;
        group.push_back(p);
        member.push_back(d);
    }
    fill_csr(n, group, member, dir_start_, dir_list_);
    for (std::uint32_t p = 0; p < n; ++p) {
        auto first = dir_list_.begin() + dir_start_[p];
        auto last = dir_list_.begin() + dir_start_[p + 1];
        if (last - first > 1)
            std::stable_sort(first, last, [&cat](std::uint32_t a, std::uint32_t b) {
                return compare_names(cat.dir_name(a), cat.dir_name(b)) < 0;
            });
    }
    for (std::uint32_t p = 0; p < n; ++p)
        for (std::uint32_t k = dir_start_[p]; k < dir_start_[p + 1]; ++k)
            row_[dir_list_[k]] = k - dir_start_[p];

    group.clear();
    member.clear();
    group.reserve(files.size());
    member.reserve(files.size());
    for (std::uint32_t f = 0; f < files.size(); ++f) {
        if (file_deleted(files[f])) continue;
        std::uint32_t p = files[f].parent;
        if (p >= n || !live[p]) p = 0;
        group.push_back(p);
        member.push_back(f);
    }
    fill_csr(n, group, member, file_start_, file_list_);
}

std::span<const std::uint32_t> CatalogTree::subdirs(std::uint32_t d) const {
    if (d >= parent_.size()) return {};
    return {dir_list_.data() + dir_start_[d], dir_start_[d + 1] - dir_start_[d]};
}

std::span<const std::uint32_t> CatalogTree::files(std::uint32_t d) const {
    if (d >= parent_.size()) return {};
    return {file_list_.data() + file_start_[d], file_start_[d + 1] - file_start_[d]};
}

std::vector<std::uint32_t> CatalogTree::files_below(std::uint32_t d) const {
    std::vector<std::uint32_t> out;
    if (d >= parent_.size()) return out;
    if (d == 0) {
        out.reserve(file_list_.size());
    }
    std::vector<std::uint32_t> stack{d};
    while (!stack.empty()) {
        const std::uint32_t cur = stack.back();
        stack.pop_back();
        const auto fs = files(cur);
        out.insert(out.end(), fs.begin(), fs.end());
        const auto sub = subdirs(cur);
        for (auto it = sub.rbegin(); it != sub.rend(); ++it) stack.push_back(*it);
    }
    return out;
}

std::size_t CatalogTree::memory_bytes() const {
    return sizeof(std::uint32_t) *
           (parent_.capacity() + row_.capacity() + dir_start_.capacity() + dir_list_.capacity() +
            file_start_.capacity() + file_list_.capacity());
}

bool CatalogTree::is_below(std::uint32_t d, std::uint32_t ancestor) const {
    if (d >= parent_.size()) return false;
    while (true) {
        if (d == ancestor) return true;
        if (d == 0) return false;
        d = parent_[d];
    }
}

}  // namespace orbisto
