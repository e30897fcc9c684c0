#include "catalog/categories.h"

#include <algorithm>

#include "platform/codepage.h"
#include "settings/ini_file.h"

namespace orbisto {
namespace {

const std::string kEmpty;

}  // namespace

CategoryTable::CategoryTable() {
    entries_.push_back({kCategoryAll, 0});
    entries_.push_back({kCategoryRest, 0});
    entries_.push_back({kCategoryLent, 0});
}

const std::string& CategoryTable::name(int index) const {
    return valid(index) ? entries_[static_cast<std::size_t>(index)].name : kEmpty;
}

int CategoryTable::parent(int index) const {
    return valid(index) ? entries_[static_cast<std::size_t>(index)].parent : 0;
}

std::string CategoryTable::clean_name(std::string_view name, std::size_t max_bytes) {
    std::string s = text_to_utf8(name.substr(0, name.find('\0')));
    for (char& c : s) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return cut_utf8(s, max_bytes);
}

void CategoryTable::assign(std::vector<CategoryEntry> user) {
    if (user.size() > static_cast<std::size_t>(kMaxUserCategories)) {
        user.resize(static_cast<std::size_t>(kMaxUserCategories));
    }
    const int n = static_cast<int>(user.size());
    const int lent = n + 2;
    auto is_user = [lent](int i) { return i >= 2 && i < lent; };

    std::vector<Entry> fresh;
    fresh.reserve(user.size() + 3);
    fresh.push_back({kCategoryAll, 0});
    fresh.push_back({kCategoryRest, 0});
    for (CategoryEntry& e : user) {
        const int p = is_user(e.parent) ? e.parent : 0;
        fresh.push_back({clean_name(e.name, kCategoryNameMax), static_cast<std::uint16_t>(p)});
    }
    fresh.push_back({kCategoryLent, 0});

    // Break every cycle: walk upward from each entry, marking the entries of
    // the current walk; meeting one of them again means the last entry of
    // the walk points back into it, and that entry becomes top level.
    enum : unsigned char { kNew, kOnPath, kDone };
    std::vector<unsigned char> state(fresh.size(), kNew);
    std::vector<int> path;
    for (int i = 2; i < lent; ++i) {
        if (state[static_cast<std::size_t>(i)] != kNew) continue;
        path.clear();
        int j = i;
        while (is_user(j) && state[static_cast<std::size_t>(j)] == kNew) {
            state[static_cast<std::size_t>(j)] = kOnPath;
            path.push_back(j);
            j = fresh[static_cast<std::size_t>(j)].parent;
        }
        if (is_user(j) && state[static_cast<std::size_t>(j)] == kOnPath) {
            fresh[static_cast<std::size_t>(path.back())].parent = 0;
        }
        for (int k : path) state[static_cast<std::size_t>(k)] = kDone;
    }
    entries_ = std::move(fresh);
}

int CategoryTable::add(std::string_view name, int parent) {
    if (user_count() >= kMaxUserCategories) return -1;
    if (parent != 0 && !is_user_category(parent)) return -1;
    const int index = count();
    entries_.insert(entries_.begin() + index,
                    Entry{clean_name(name, kCategoryNameMax), static_cast<std::uint16_t>(parent)});
    return index;
}

bool CategoryTable::set_name(int index, std::string_view name) {
    if (!is_user_category(index)) return false;
    entries_[static_cast<std::size_t>(index)].name = clean_name(name, kCategoryNameMax);
    return true;
}

bool CategoryTable::set_parent(int index, int parent) {
    if (!is_user_category(index)) return false;
    if (parent != 0 && (!is_user_category(parent) || in_subtree(parent, index))) return false;
    entries_[static_cast<std::size_t>(index)].parent = static_cast<std::uint16_t>(parent);
    return true;
}

bool CategoryTable::in_subtree(int index, int ancestor) const {
    if (!valid(index) || !valid(ancestor)) return false;
    // The invariants make every walk end at 0; the step limit is a second
    // guard that costs nothing.
    int j = index;
    for (int steps = 0; steps <= count(); ++steps) {
        if (j == ancestor) return true;
        if (j == 0) return false;
        j = parent(j);
    }
    return false;
}

std::vector<int> CategoryTable::remove_subtree(int index) {
    if (!is_user_category(index)) return {};
    const int old_count = count();
    std::vector<int> map(static_cast<std::size_t>(old_count) + 1, 0);
    std::vector<Entry> kept;
    kept.reserve(entries_.size());
    for (int i = 0; i <= old_count; ++i) {
        if (is_user_category(i) && in_subtree(i, index)) continue;  // maps to 0
        map[static_cast<std::size_t>(i)] = static_cast<int>(kept.size());
        kept.push_back(entries_[static_cast<std::size_t>(i)]);
    }
    // Parents of the kept entries follow their parents to the new positions
    // (a kept entry's parent is never removed, or it would be in the subtree).
    for (Entry& e : kept) e.parent = static_cast<std::uint16_t>(remap_category(map, e.parent));
    entries_ = std::move(kept);
    return map;
}

bool CategoryTable::operator==(const CategoryTable& other) const {
    return entries_ == other.entries_;
}

std::uint32_t remap_category(const std::vector<int>& map, std::uint32_t category) {
    if (category >= map.size()) return category;
    return static_cast<std::uint32_t>(map[category]);
}

bool IsMemberOfCategory(const CategoryTable& table, int sub_kat, const MediumHeader& m, int c) {
    if (!table.valid(c)) return false;
    if (c == 0) return true;
    const bool lent = (m.medium_flags & MEDIUM_LENT) != 0;
    if (c == table.lent_index()) return lent;
    // A position beyond int range can name no entry; keep it out of the
    // conversion below.
    const int cat =
        m.category <= static_cast<std::uint32_t>(table.count()) ? static_cast<int>(m.category) : -1;
    const bool has_category = table.is_user_category(cat);
    if (c == 1) return !has_category;
    if (!has_category) return false;
    if (cat == c) return true;
    return sub_kat == 1 && table.in_subtree(cat, c);
}

}  // namespace orbisto
