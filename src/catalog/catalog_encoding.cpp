#include "catalog/catalog_encoding.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <string_view>

#include "catalog/catalog_large.h"
#include "catalog/stored_header.h"
#include "platform/codepage.h"

namespace orbisto {

namespace {

// UTF-8 forms of the Windows-1252 bytes 0x80..0xFF, made once.
struct HighTable {
    std::array<std::array<std::uint8_t, 3>, 128> bytes{};
    std::array<std::uint8_t, 128> len{};
    HighTable() {
        for (int c = 0x80; c <= 0xFF; ++c) {
            const char ch = static_cast<char>(c);
            const std::string u = cp1252_to_utf8(std::string_view(&ch, 1));
            len[c - 0x80] = static_cast<std::uint8_t>(u.size());
            std::memcpy(bytes[c - 0x80].data(), u.data(), u.size());
        }
    }
};

const HighTable& high_table() {
    static const HighTable table;
    return table;
}

// Length of a UTF-8 sequence from its lead byte; 0 for a byte that cannot
// start one.
std::size_t utf8_length(std::uint8_t lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 0;
}

std::string_view as_chars(std::span<const std::uint8_t> b) {
    return {reinterpret_cast<const char*>(b.data()), b.size()};
}

// A name offset into a pool of old_size bytes, mapped into the converted pool
// of new_size bytes. The top byte that version 3 readers ignore is kept while
// both pools fit 24 bits; in a larger pool all 32 bits are the offset.
std::uint32_t map_name(const PoolRemap& remap, std::uint32_t name, std::size_t old_size,
                       std::size_t new_size) {
    const std::uint32_t mask = name_offset_mask(old_size);
    const bool keep_top = mask == NAME_OFFSET_MASK && new_size <= kSmallNamesLimit;
    return (keep_top ? name & ~NAME_OFFSET_MASK : 0) | remap.map(name & mask);
}

std::uint32_t map_dir_comment(const PoolRemap& remap, std::uint32_t comment) {
    return comment == DIR_DELETED_COMMENT ? comment : remap.map(comment);
}

}  // namespace

void PoolRemap::add(std::uint32_t pos, std::uint32_t old_len, std::uint32_t new_len) {
    const std::int64_t before = entries_.empty() ? 0 : entries_.back().delta_after;
    entries_.push_back(
        {pos, old_len,
         before + static_cast<std::int64_t>(new_len) - static_cast<std::int64_t>(old_len)});
}

std::uint32_t PoolRemap::map(std::uint32_t offset) const {
    // The last changed character that starts before the offset.
    auto it = std::lower_bound(entries_.begin(), entries_.end(), offset,
                               [](const Entry& e, std::uint32_t o) { return e.pos < o; });
    if (it == entries_.begin()) return offset;
    --it;
    std::int64_t result;
    if (offset < static_cast<std::uint64_t>(it->pos) + it->old_len) {
        // Inside that character: its start in the new pool.
        const std::int64_t before = it == entries_.begin() ? 0 : std::prev(it)->delta_after;
        result = static_cast<std::int64_t>(it->pos) + before;
    } else {
        result = static_cast<std::int64_t>(offset) + it->delta_after;
    }
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(result, 0, std::numeric_limits<std::uint32_t>::max()));
}

std::size_t ascii_prefix(std::span<const std::uint8_t> bytes) {
    // Eight bytes at a time: a pool of names is mostly ASCII.
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    for (; i + 32 <= n; i += 32) {
        std::uint64_t w[4];
        std::memcpy(w, bytes.data() + i, sizeof w);
        if (((w[0] | w[1] | w[2] | w[3]) & kHigh) != 0) break;
    }
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, bytes.data() + i, sizeof w);
        if ((w & kHigh) != 0) break;
    }
    while (i < n && bytes[i] < 0x80) ++i;
    return i;
}

std::vector<std::uint8_t> pool_cp1252_to_utf8(std::span<const std::uint8_t> pool,
                                              PoolRemap& remap) {
    std::size_t i = ascii_prefix(pool);
    if (i == pool.size()) return {pool.begin(), pool.end()};
    const HighTable& table = high_table();
    std::vector<std::uint8_t> out;
    out.reserve(pool.size() + pool.size() / 8 + 16);
    out.insert(out.end(), pool.begin(), pool.begin() + static_cast<std::ptrdiff_t>(i));
    for (; i < pool.size(); ++i) {
        const std::uint8_t c = pool[i];
        if (c < 0x80) {
            out.push_back(c);
            continue;
        }
        const auto& u = table.bytes[c - 0x80];
        const std::uint8_t len = table.len[c - 0x80];
        out.insert(out.end(), u.begin(), u.begin() + len);
        remap.add(static_cast<std::uint32_t>(i), 1, len);
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> pool_utf8_to_cp1252(std::span<const std::uint8_t> pool,
                                                             PoolRemap& remap) {
    std::size_t i = ascii_prefix(pool);
    if (i == pool.size()) return std::vector<std::uint8_t>(pool.begin(), pool.end());
    std::vector<std::uint8_t> out;
    out.reserve(pool.size());
    out.insert(out.end(), pool.begin(), pool.begin() + static_cast<std::ptrdiff_t>(i));
    while (i < pool.size()) {
        const std::uint8_t c = pool[i];
        if (c < 0x80) {
            out.push_back(c);
            ++i;
            continue;
        }
        const std::size_t len = utf8_length(c);
        if (len == 0 || pool.size() - i < len) return std::nullopt;
        const auto b = utf8_to_cp1252(as_chars(pool.subspan(i, len)));
        if (!b || b->size() != 1) return std::nullopt;
        out.push_back(static_cast<std::uint8_t>((*b)[0]));
        remap.add(static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(len), 1);
        i += len;
    }
    return out;
}

bool convert_catalog_to_utf8(Catalog& cat) {
    PoolRemap names_map;
    PoolRemap comments_map;
    std::vector<std::uint8_t> names = pool_cp1252_to_utf8(cat.name_bytes(), names_map);
    std::vector<std::uint8_t> comments = pool_cp1252_to_utf8(cat.comment_bytes(), comments_map);
    if (names.size() > Catalog::MAX_NAMES_SIZE) return false;

    if (!names_map.empty()) {
        const std::size_t from = cat.names_used();
        for (DirRecord& d : cat.dirs()) d.name = map_name(names_map, d.name, from, names.size());
        for (FileRecord& f : cat.files()) f.name = map_name(names_map, f.name, from, names.size());
        names.reserve(std::max<std::size_t>(cat.names_capacity(), names.size()));
        cat.assign_names(std::move(names));
    }
    if (!comments_map.empty()) {
        for (DirRecord& d : cat.dirs()) d.comment = map_dir_comment(comments_map, d.comment);
        for (FileRecord& f : cat.files()) f.comment = comments_map.map(f.comment);
        comments.reserve(std::max<std::size_t>(cat.comments_capacity(), comments.size() + 2));
        cat.assign_comments(std::move(comments));
    }
    return true;
}

FileTexts encode_catalog_texts(const Catalog& cat) {
    FileTexts out;
    PoolRemap names_map;
    PoolRemap comments_map;
    auto names = pool_utf8_to_cp1252(cat.name_bytes(), names_map);
    auto comments = names ? pool_utf8_to_cp1252(cat.comment_bytes(), comments_map) : std::nullopt;
    const auto description = utf8_to_cp1252(cat.description());
    const bool fixed_fit = description && description->size() <= Catalog::MAX_DESCRIPTION &&
                           header_fits(cat.header, TEXT_ENCODING_CP1252) &&
                           info_fits(cat.info, TEXT_ENCODING_CP1252);
    if (fixed_fit && !(names && comments)) {
        // Only names or comments need UTF-8: they are stored so, the texts
        // of fixed width stay Windows-1252 and whole.
        out.encoding = TEXT_ENCODING_POOLS_UTF8;
        out.header = header_to_file(cat.header, TEXT_ENCODING_CP1252);
        out.header.text_encoding = TEXT_ENCODING_POOLS_UTF8;
        out.info = info_to_file(cat.info, TEXT_ENCODING_CP1252);
        out.description = *description;
        return out;
    }
    if (!fixed_fit) {
        // A header, info or description text needs UTF-8, so every text is
        // stored so; a fixed field whose UTF-8 form is longer than the field
        // is cut there.
        out.encoding = TEXT_ENCODING_UTF8;
        out.header = header_to_file(cat.header, TEXT_ENCODING_UTF8);
        out.info = info_to_file(cat.info, TEXT_ENCODING_UTF8);
        out.description = cut_utf8(cat.description(), Catalog::MAX_DESCRIPTION);
        return out;
    }
    out.header = header_to_file(cat.header, TEXT_ENCODING_CP1252);
    out.info = info_to_file(cat.info, TEXT_ENCODING_CP1252);
    out.encoding = TEXT_ENCODING_CP1252;
    out.description = *description;
    if (!names_map.empty()) {
        out.names = std::move(*names);
        auto& dirs = out.dirs.emplace(cat.dirs().begin(), cat.dirs().end());
        auto& files = out.files.emplace(cat.files().begin(), cat.files().end());
        const std::size_t from = cat.names_used();
        const std::size_t to = out.names->size();
        for (DirRecord& d : dirs) d.name = map_name(names_map, d.name, from, to);
        for (FileRecord& f : files) f.name = map_name(names_map, f.name, from, to);
    }
    if (!comments_map.empty()) {
        out.comments = std::move(*comments);
        if (!out.dirs) out.dirs.emplace(cat.dirs().begin(), cat.dirs().end());
        if (!out.files) out.files.emplace(cat.files().begin(), cat.files().end());
        for (DirRecord& d : *out.dirs) d.comment = map_dir_comment(comments_map, d.comment);
        for (FileRecord& f : *out.files) f.comment = comments_map.map(f.comment);
    }
    return out;
}

}  // namespace orbisto
