// The list forms a walk over the catalogues feeds: the file list, the tree
// and the media list. Each has a file writer and a printed form; the walk
// calls the same steps on either, so the scopes are walked by one piece of
// code whatever the target.
#pragma once

#include <cstdint>
#include <string_view>

#include "output/output_header.h"

namespace orbisto {

struct ListedFile {
    std::string_view name;  // the full name with its extension
    float size_kb = 0;
    bool audio_cd = false;
    LocalTime time;
    std::string_view comment;
    // The desktop's description of the file's type, written as "(R)..."
    // when the file has no comment (empty: none).
    std::string_view type_description;
};

// One row of the search-result view, as the view shows it.
struct ResultRow {
    std::string_view medium;
    std::string_view name;
    std::string_view extension;
    std::string_view size;
    std::string_view date;
    std::string_view path;
    std::string_view comment;
};

struct ResultHeader {
    std::string_view search_text;
    bool approximate = false;  // the search allowed errors
    int errors = 0;            // the error count of the last approximate match
};

struct MediaTotals {
    std::int64_t media = 0;
    std::int64_t dirs = 0;
    std::int64_t files = 0;
};

// The file list: a section per directory (its header, its subdirectories,
// its files); and the file list of a search result, one block per row.
class FileListForm {
  public:
    virtual ~FileListForm() = default;
    // The header at the top of the list (with `Header` on).
    virtual void list_header(const MediumFacts& medium, std::string_view path) = 0;
    // The start of a directory's section (its header with `Header` on).
    virtual void directory(const MediumFacts& medium, std::string_view path) = 0;
    // A subdirectory (written with `Pfad` on).
    virtual void subdirectory(std::string_view name, std::string_view comment, bool packed) = 0;
    // A file (written unless `Dir` is on).
    virtual void file(const ListedFile& f) = 0;
    // The end of a directory's section.
    virtual void end_section() = 0;
    virtual void result_header(const ResultHeader& h) = 0;
    virtual void result_row(const ResultRow& row) = 0;
};

// Whether a tree writes directories `depth` levels below its start (the
// children of the start are depth 0): `MaxLevel` bounds the depth and
// `Root` keeps the first level alone.
bool tree_writes_depth(const OutputSettings& settings, int depth);

// The directory tree: one entry per directory, indented by its depth.
class TreeForm {
  public:
    virtual ~TreeForm() = default;
    // The header at the top (with `Header` on), path "/".
    virtual void list_header(const MediumFacts& medium) = 0;
    // The start of a medium's tree: the header of its starting directory.
    virtual void medium(const MediumFacts& medium, std::string_view path) = 0;
    virtual void directory(int depth, std::string_view name, std::string_view comment) = 0;
    // The end of a medium.
    virtual void end_medium() = 0;
};

// The media list: one entry per medium; lent media with whom they were lent
// to and when.
class MediaListForm {
  public:
    virtual ~MediaListForm() = default;
    // The header block with the totals (with `Header` on).
    virtual void header(const MediaTotals& totals) = 0;
    virtual void medium(const MediumFacts& m) = 0;
    virtual void lent_medium(const MediumFacts& m) = 0;
};

}  // namespace orbisto
