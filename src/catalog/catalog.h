// The Catalog: everything known about one medium. A header and an info
// block, the description text, one DirRecord per directory (record 0 is the
// root), one FileRecord per file and three byte pools for names, comments and
// thumbnails. Records point into the pools by offset and to their directory
// by index; a parent always has a smaller index than its children.
//
// Each record array holds one record more than its count: the end marker,
// whose parent is END_MARKER. Our own loops stop at the counts; the markers
// are kept for readers that stop at them.
//
// The counts and pool sizes in `header` (dir_count, file_count, names_size,
// images_size) and `info.description_length` mirror the containers and are
// rewritten by every operation here; edit the other fields freely.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/records.h"
#include "catalog/work_limits.h"

namespace orbisto {

inline constexpr const char* ARCHIVE_TEXT_DE = "Archiveinhalt!! KEIN richtiges Verzeichnis";
inline constexpr const char* ARCHIVE_TEXT_EN = "expanded archive!! NO real directory";

enum class AppendStatus {
    Ok,
    PoolFull,     // the pool would pass its 32-bit offset range
    OutOfMemory,  // growing the area failed; nothing was changed
    BadParent,    // the parent index does not name an earlier directory
    TooMany,      // the record index would collide with the directory bit
};

struct AppendResult {
    std::uint32_t value = 0;  // the new offset or record index
    AppendStatus status = AppendStatus::Ok;
    bool ok() const { return status == AppendStatus::Ok; }
};

class Catalog {
  public:
    // Offsets in all pools are 32-bit. A NamePool of more than 16 MiB (or
    // more than 65,535 directories) is stored in the large file form.
    static constexpr std::size_t MAX_POOL_SIZE = 0xFFFFFFF0u;
    static constexpr std::size_t MAX_NAMES_SIZE = MAX_POOL_SIZE;
    static constexpr std::size_t MAX_DESCRIPTION = 32767;
    // Record indexes must leave the directory bit of an object reference free.
    static constexpr std::uint32_t MAX_RECORDS = 0x7FFFFFFF;

    // An empty Catalog with the archive text in German, areas reserved with
    // the start limits.
    Catalog();
    explicit Catalog(const WorkLimits& limits, bool english = false);

    // Reserves the work areas from the limits; never drops contents. May
    // throw std::bad_alloc.
    void reserve(const WorkLimits& limits);

    // Empties the Catalog: the root record alone, no files, empty pools with
    // the archive text at comment offset 1 in the given language, a zeroed
    // header (version 3) and info block, no description, changed flag
    // cleared. The current catalogue number stays.
    void reset(bool english);

    MediumHeader header;
    MediumInfo info;

    // ---- description (what MAX_DESCRIPTION stored bytes hold) ----
    std::string_view description() const { return description_; }
    // Stores the UTF-8 text cut at a character boundary to MAX_DESCRIPTION
    // characters when it is Windows-1252 text, else to MAX_DESCRIPTION bytes;
    // returns false when it had to be cut.
    bool set_description(std::string_view text);

    // ---- records ----
    std::uint32_t dir_count() const { return static_cast<std::uint32_t>(dirs_.size() - 1); }
    std::uint32_t file_count() const { return static_cast<std::uint32_t>(files_.size() - 1); }
    // The records without their end markers.
    std::span<DirRecord> dirs() { return {dirs_.data(), dirs_.size() - 1}; }
    std::span<const DirRecord> dirs() const { return {dirs_.data(), dirs_.size() - 1}; }
    std::span<FileRecord> files() { return {files_.data(), files_.size() - 1}; }
    std::span<const FileRecord> files() const { return {files_.data(), files_.size() - 1}; }
    // The end-marker records (for checks; re-set by set_end_markers()).
    const DirRecord& dir_end_marker() const { return dirs_.back(); }
    const FileRecord& file_end_marker() const { return files_.back(); }

    // Appends a record behind the last one, keeping the end marker behind it.
    // A directory's parent must be an existing directory (so it is smaller
    // than the new index); so must a file's.
    AppendResult append_dir(const DirRecord& rec);
    AppendResult append_file(const FileRecord& rec);
    // Removes the DirRecords from `index` on: records appended last that no
    // FileRecord refers to (a directory that turned out empty is taken back).
    // Index 0 or one past the last record changes nothing.
    void drop_dirs_from(std::uint32_t index);

    // ---- pools ----
    std::size_t names_used() const { return names_.size(); }
    std::size_t comments_used() const { return comments_.size() - 2; }
    std::size_t images_used() const { return images_.size(); }

    // Append a NUL-terminated text (cut at an embedded NUL) and return its
    // offset. A NamePool that would pass MAX_NAMES_SIZE refuses with
    // PoolFull, which the scanner turns into its name-limit message.
    AppendResult append_name(std::string_view name);
    AppendResult append_comment(std::string_view text);
    // Appends a thumbnail followed by one 0 byte; the offset is 8 or more.
    AppendResult append_image(std::span<const std::uint8_t> bytes);

    // Texts by offset, safe for any value: an offset outside the used bytes
    // gives an empty text, and no text reaches past the used bytes. Name
    // offsets are masked with NAME_OFFSET_MASK while the NamePool fits 24
    // bits, as version 3 readers do; a larger pool takes all 32 bits.
    std::string_view name_at(std::uint32_t offset) const;
    // The NamePool offset a record's name field stands for.
    std::uint32_t name_offset(std::uint32_t name) const;
    std::string_view comment_at(std::uint32_t offset) const;
    // The ImagePool bytes from a thumbnail offset to the end of the used
    // bytes (the thumbnail's own header tells its length); empty for offsets
    // below 8 or outside the pool.
    std::span<const std::uint8_t> image_at(std::uint32_t offset) const;

    // Names and comments of records by index; empty for an index out of range.
    std::string_view dir_name(std::uint32_t index) const;
    std::string_view file_name(std::uint32_t index) const;
    std::string_view dir_comment(std::uint32_t index) const;
    std::string_view file_comment(std::uint32_t index) const;

    // The path of a directory: the names from DirRecord 1 downward joined
    // with "/" ("" for the root, "a" for a top-level directory "a"). A broken
    // parent chain (a parent not smaller than its child) ends the walk.
    std::string dir_path(std::uint32_t index) const;
    // The directory path and the file name joined with "/".
    std::string file_path(std::uint32_t index) const;

    // ---- bulk access for loading and saving ----
    std::span<const std::uint8_t> name_bytes() const { return names_; }
    // The used bytes, without the end mark.
    std::span<const std::uint8_t> comment_bytes() const {
        return {comments_.data(), comments_used()};
    }
    std::span<const std::uint8_t> image_bytes() const { return images_; }

    // Replace the records at once: exactly dir_count / file_count records,
    // without end markers (they are added; pass vectors with room for one
    // more to avoid a copy). An empty directory array gets a root record.
    // Parents are taken as they are: repairing a file's references is the
    // loader's job; every reader here stays safe with any value. The
    // assign_* functions may throw std::bad_alloc when a vector has no room
    // for what they add.
    void assign_records(std::vector<DirRecord> dirs, std::vector<FileRecord> files);
    // Replace a pool with its used bytes. The NamePool and CommentPool keep
    // at least the empty text at offset 0, the ImagePool at least its 8
    // reserved bytes; the CommentPool gets its end mark.
    void assign_names(std::vector<std::uint8_t> bytes);
    void assign_comments(std::vector<std::uint8_t> bytes);
    void assign_images(std::vector<std::uint8_t> bytes);

    // Re-sets the end-marker records behind the last records.
    void set_end_markers();
    // Rewrites the counts and sizes in header and info from the containers.
    void sync_header();

    // ---- state ----
    // The number of the catalogue file; -1 until the first load or save.
    int current_number() const { return current_number_; }
    void set_current_number(int n) { current_number_ = n; }
    bool changed() const { return changed_; }
    void set_changed(bool on) { changed_ = on; }

    // "V:%d D:%d K:%d I:%d H:%d": directories, files, comment bytes, image
    // bytes and the rows of the list view.
    std::string status_text(std::size_t list_rows) const;

    // Capacity of the areas, for work that sizes a new area from the old.
    std::size_t names_capacity() const { return names_.capacity(); }
    std::size_t comments_capacity() const { return comments_.capacity(); }
    // Records that fit without reallocating (the end marker's slot not counted).
    std::size_t dirs_capacity() const { return dirs_.capacity() - 1; }
    std::size_t files_capacity() const { return files_.capacity() - 1; }

    // Make room for this many records or pool bytes in one step, so that a
    // long run of appends (a scan) reallocates rarely. Never drops contents;
    // may throw std::bad_alloc, leaving the area as it was.
    void reserve_dirs(std::size_t records) { dirs_.reserve(records + 1); }
    void reserve_files(std::size_t records) { files_.reserve(records + 1); }
    void reserve_names(std::size_t bytes) { names_.reserve(bytes); }
    void reserve_comments(std::size_t bytes) { comments_.reserve(bytes); }

    // Replaces the comment text at `offset` by `text` and returns the new
    // offset. When the old text is the last one of the pool its bytes are
    // reused (the text being built for the newest record); otherwise the new
    // text is appended and the old one stays unreferenced.
    AppendResult replace_comment(std::uint32_t offset, std::string_view text);

  private:
    std::string description_;
    std::vector<DirRecord> dirs_;         // dir_count + end marker
    std::vector<FileRecord> files_;       // file_count + end marker
    std::vector<std::uint8_t> names_;     // used bytes
    std::vector<std::uint8_t> comments_;  // used bytes + 0xFF 0x00
    std::vector<std::uint8_t> images_;    // used bytes
    int current_number_ = -1;
    bool changed_ = false;
};

// A text of a pool at an offset: up to its NUL, never past the used bytes;
// empty when the offset lies outside. Shared by the Catalog and the work
// that rebuilds pools.
std::string_view pool_text(std::span<const std::uint8_t> pool, std::size_t offset);

// Appends a NUL-terminated text to a comment pool under construction and
// returns its offset. No text starts at DIR_DELETED_COMMENT, so a directory
// comment can never be mistaken for the deletion mark. The caller makes sure
// the vector has room (the function may still throw std::bad_alloc).
std::uint32_t push_comment_text(std::vector<std::uint8_t>& pool, std::string_view text);

}  // namespace orbisto
