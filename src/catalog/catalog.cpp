#include "catalog/catalog.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "catalog/catalog_large.h"

namespace orbisto {

namespace {

constexpr std::uint8_t COMMENT_END_MARK[2] = {0xFF, 0x00};

// Makes room for `extra` more elements, growing geometrically so that a long
// run of appends stays linear. Strong guarantee: on failure nothing changed.
template <class T>
bool make_room(std::vector<T>& v, std::size_t extra) {
    const std::size_t need = v.size() + extra;
    if (need <= v.capacity()) return true;
    try {
        v.reserve(std::max(need, v.capacity() + v.capacity() / 2));
    } catch (const std::bad_alloc&) {
        try {
            v.reserve(need);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    return true;
}

DirRecord dir_marker() {
    DirRecord r;
    r.parent = END_MARKER;
    return r;
}

FileRecord file_marker() {
    FileRecord r;
    r.parent = END_MARKER;
    return r;
}

std::string_view cut_at_nul(std::string_view s) {
    return s.substr(0, s.find('\0'));
}

}  // namespace

std::string_view pool_text(std::span<const std::uint8_t> pool, std::size_t offset) {
    if (offset >= pool.size()) return {};
    const auto* start = reinterpret_cast<const char*>(pool.data() + offset);
    const std::size_t avail = pool.size() - offset;
    const void* nul = std::memchr(start, 0, avail);
    const std::size_t len =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - start) : avail;
    return std::string_view(start, len);
}

std::uint32_t push_comment_text(std::vector<std::uint8_t>& pool, std::string_view text) {
    text = cut_at_nul(text);
    if (pool.size() == DIR_DELETED_COMMENT) pool.push_back(0);  // an unused empty text
    const auto offset = static_cast<std::uint32_t>(pool.size());
    pool.insert(pool.end(), text.begin(), text.end());
    pool.push_back(0);
    return offset;
}

Catalog::Catalog() : Catalog(WorkLimits{}, false) {}

Catalog::Catalog(const WorkLimits& limits, bool english) {
    reserve(limits);
    reset(english);
}

void Catalog::reserve(const WorkLimits& limits) {
    dirs_.reserve(std::size_t{limits.directories} + 16);
    files_.reserve(std::size_t{limits.files} + 16);
    names_.reserve(std::size_t{limits.names} + 4096);
    comments_.reserve(std::size_t{limits.comments} + 4096);
    images_.reserve(std::size_t{limits.images} + 32768);
    description_.reserve(MAX_DESCRIPTION + 1);
}

void Catalog::reset(bool english) {
    header = MediumHeader{};
    info = MediumInfo{};
    description_.clear();

    // Clearing keeps the reserved capacity; the few bytes below always fit.
    dirs_.clear();
    dirs_.push_back(DirRecord{});  // the root: empty name, parent 0, no comment
    dirs_.push_back(dir_marker());
    files_.clear();
    files_.push_back(file_marker());

    names_.assign(1, 0);
    const std::string_view archive = english ? ARCHIVE_TEXT_EN : ARCHIVE_TEXT_DE;
    comments_.assign(1, 0);
    comments_.insert(comments_.end(), archive.begin(), archive.end());
    comments_.push_back(0);
    comments_.insert(comments_.end(), std::begin(COMMENT_END_MARK), std::end(COMMENT_END_MARK));
    images_.assign(FIRST_IMAGE_OFFSET, 0);

    changed_ = false;
    sync_header();
}

bool Catalog::set_description(std::string_view text) {
    text = cut_at_nul(text);
    const std::size_t n = stored_prefix_length(text, MAX_DESCRIPTION);
    description_.assign(text.substr(0, n));
    info.description_length = static_cast<std::uint32_t>(description_.size());
    return n == text.size();
}

AppendResult Catalog::append_dir(const DirRecord& rec) {
    const std::uint32_t index = dir_count();
    if (index >= MAX_RECORDS) return {0, AppendStatus::TooMany};
    if (rec.parent >= index) return {0, AppendStatus::BadParent};
    if (!make_room(dirs_, 1)) return {0, AppendStatus::OutOfMemory};
    dirs_.back() = rec;
    dirs_.push_back(dir_marker());
    header.dir_count = dir_count();
    return {index, AppendStatus::Ok};
}

void Catalog::drop_dirs_from(std::uint32_t index) {
    if (index == 0 || index >= dir_count()) return;
    // Shrinking keeps the capacity, so putting the marker back cannot throw.
    dirs_.resize(index);
    dirs_.push_back(dir_marker());
    header.dir_count = dir_count();
}

AppendResult Catalog::append_file(const FileRecord& rec) {
    const std::uint32_t index = file_count();
    if (index >= MAX_RECORDS) return {0, AppendStatus::TooMany};
    if (rec.parent >= dir_count()) return {0, AppendStatus::BadParent};
    if (!make_room(files_, 1)) return {0, AppendStatus::OutOfMemory};
    files_.back() = rec;
    files_.push_back(file_marker());
    header.file_count = file_count();
    return {index, AppendStatus::Ok};
}

AppendResult Catalog::append_name(std::string_view name) {
    name = cut_at_nul(name);
    const std::size_t offset = names_.size();
    if (offset + name.size() + 1 > MAX_NAMES_SIZE) return {0, AppendStatus::PoolFull};
    if (!make_room(names_, name.size() + 1)) return {0, AppendStatus::OutOfMemory};
    if (offset <= kSmallNamesLimit && offset + name.size() + 1 > kSmallNamesLimit) {
        // From now on all 32 bits of a name field are its offset: a top
        // byte that version 3 readers ignored must not start to count.
        drop_name_top_bytes(dirs(), files());
    }
    names_.insert(names_.end(), name.begin(), name.end());
    names_.push_back(0);
    header.names_size = static_cast<std::uint32_t>(names_.size());
    return {static_cast<std::uint32_t>(offset), AppendStatus::Ok};
}

AppendResult Catalog::append_comment(std::string_view text) {
    text = cut_at_nul(text);
    const std::size_t used = comments_used();
    // text, its NUL, a possible padding byte and the end mark
    if (used + text.size() + 2 > MAX_POOL_SIZE) return {0, AppendStatus::PoolFull};
    if (!make_room(comments_, text.size() + 2)) return {0, AppendStatus::OutOfMemory};
    comments_.resize(used);  // drop the end mark; capacity stays
    const std::uint32_t offset = push_comment_text(comments_, text);
    comments_.insert(comments_.end(), std::begin(COMMENT_END_MARK), std::end(COMMENT_END_MARK));
    return {offset, AppendStatus::Ok};
}

AppendResult Catalog::append_image(std::span<const std::uint8_t> bytes) {
    const std::size_t offset = images_.size();
    if (offset + bytes.size() + 1 > MAX_POOL_SIZE) return {0, AppendStatus::PoolFull};
    if (!make_room(images_, bytes.size() + 1)) return {0, AppendStatus::OutOfMemory};
    images_.insert(images_.end(), bytes.begin(), bytes.end());
    images_.push_back(0);
    header.images_size = static_cast<std::uint32_t>(images_.size());
    return {static_cast<std::uint32_t>(offset), AppendStatus::Ok};
}

AppendResult Catalog::replace_comment(std::uint32_t offset, std::string_view text) {
    const std::size_t used = comments_used();
    if (offset > COMMENT_ARCHIVE && offset < used) {
        const std::string_view old = comment_at(offset);
        if (offset + old.size() + 1 == used) {
            // The old text ends the pool: drop it and write the new one there.
            // Its bytes stay until the append succeeds, so a failure loses nothing.
            const std::size_t extra = text.size() > old.size() ? text.size() - old.size() : 0;
            if (!make_room(comments_, extra + 2)) return {0, AppendStatus::OutOfMemory};
            const std::string copy(cut_at_nul(text));
            comments_.resize(offset);
            const std::uint32_t at = push_comment_text(comments_, copy);
            comments_.insert(comments_.end(), std::begin(COMMENT_END_MARK),
                             std::end(COMMENT_END_MARK));
            return {at, AppendStatus::Ok};
        }
    }
    return append_comment(text);
}

std::uint32_t Catalog::name_offset(std::uint32_t name) const {
    return name & name_offset_mask(names_.size());
}

std::string_view Catalog::name_at(std::uint32_t offset) const {
    return pool_text(names_, name_offset(offset));
}

std::string_view Catalog::comment_at(std::uint32_t offset) const {
    return pool_text(comment_bytes(), offset);
}

std::span<const std::uint8_t> Catalog::image_at(std::uint32_t offset) const {
    if (offset < FIRST_IMAGE_OFFSET || offset >= images_.size()) return {};
    return std::span<const std::uint8_t>(images_).subspan(offset);
}

std::string_view Catalog::dir_name(std::uint32_t index) const {
    return index < dir_count() ? name_at(dirs_[index].name) : std::string_view{};
}

std::string_view Catalog::file_name(std::uint32_t index) const {
    return index < file_count() ? name_at(files_[index].name) : std::string_view{};
}

std::string_view Catalog::dir_comment(std::uint32_t index) const {
    return index < dir_count() ? comment_at(dirs_[index].comment) : std::string_view{};
}

std::string_view Catalog::file_comment(std::uint32_t index) const {
    return index < file_count() ? comment_at(files_[index].comment) : std::string_view{};
}

std::string Catalog::dir_path(std::uint32_t index) const {
    if (index >= dir_count()) return {};
    std::vector<std::uint32_t> chain;
    for (std::uint32_t cur = index; cur != 0;) {
        chain.push_back(cur);
        const std::uint32_t parent = dirs_[cur].parent;
        if (parent >= cur) break;  // broken chain: stop here
        cur = parent;
    }
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty()) path += '/';
        path += dir_name(*it);
    }
    return path;
}

std::string Catalog::file_path(std::uint32_t index) const {
    if (index >= file_count()) return {};
    std::string path = dir_path(files_[index].parent);
    if (!path.empty()) path += '/';
    path += file_name(index);
    return path;
}

void Catalog::assign_records(std::vector<DirRecord> dirs, std::vector<FileRecord> files) {
    if (dirs.empty()) dirs.push_back(DirRecord{});
    dirs.push_back(dir_marker());
    files.push_back(file_marker());
    dirs_ = std::move(dirs);
    files_ = std::move(files);
    sync_header();
}

void Catalog::assign_names(std::vector<std::uint8_t> bytes) {
    if (bytes.empty()) bytes.push_back(0);
    names_ = std::move(bytes);
    sync_header();
}

void Catalog::assign_comments(std::vector<std::uint8_t> bytes) {
    if (bytes.empty()) bytes.push_back(0);
    bytes.insert(bytes.end(), std::begin(COMMENT_END_MARK), std::end(COMMENT_END_MARK));
    comments_ = std::move(bytes);
}

void Catalog::assign_images(std::vector<std::uint8_t> bytes) {
    if (bytes.size() < FIRST_IMAGE_OFFSET) bytes.resize(FIRST_IMAGE_OFFSET, 0);
    images_ = std::move(bytes);
    sync_header();
}

void Catalog::set_end_markers() {
    dirs_.back() = dir_marker();
    files_.back() = file_marker();
}

void Catalog::sync_header() {
    header.dir_count = dir_count();
    header.file_count = file_count();
    header.names_size = static_cast<std::uint32_t>(names_.size());
    header.images_size = static_cast<std::uint32_t>(images_.size());
    info.description_length = static_cast<std::uint32_t>(description_.size());
}

std::string Catalog::status_text(std::size_t list_rows) const {
    char buf[96];
    std::snprintf(buf, sizeof buf, "V:%u D:%u K:%zu I:%zu H:%zu", dir_count(), file_count(),
                  comments_used(), images_used(), list_rows);
    return buf;
}

}  // namespace orbisto
