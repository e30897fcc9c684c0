// The index over the old Catalog's names that makes the update lookups fast.
// Built once before an update walk; each lookup is then a few hash probes
// instead of a pass over every old record.
//
// The index answers exactly what a pass in record order would: the first old
// record of a name (anywhere), and the first old record of a name whose
// parent directory has a given path. Several old directories may share one
// path (a catalogue edited by hand, or names that differ only on a
// case-insensitive system); they share one path id, so "first" still means
// first in record order over all of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orbisto {

class Catalog;

struct OldCatalogIndex {
    // (path id of the parent directory, name) → first record.
    struct Key {
        std::uint32_t path_id = 0;
        std::string_view name;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const {
            const std::size_t h = std::hash<std::string_view>{}(k.name);
            return h ^ (std::size_t{k.path_id} * 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2));
        }
    };

    // The Catalog the index was built for; its name pool backs every view
    // below, so it must outlive the index and stay unchanged.
    const Catalog* source = nullptr;

    // Directory path (as Catalog::dir_path spells it) → path id; looked up
    // with a string_view, without copying the path.
    struct PathHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    std::unordered_map<std::string, std::uint32_t, PathHash, std::equal_to<>> path_ids;

    std::unordered_map<Key, std::uint32_t, KeyHash> file_in_dir;
    std::unordered_map<std::string_view, std::uint32_t> file_by_name;
    std::unordered_map<Key, std::uint32_t, KeyHash> dir_in_dir;
    std::unordered_map<std::string_view, std::uint32_t> dir_by_name;

    // Builds the index over `old`. May throw std::bad_alloc.
    static OldCatalogIndex build(const Catalog& old);
};

}  // namespace orbisto
