// The file list: a section per directory (its header, its subdirectories,
// its files), one line per file with the enabled fields separated by tabs;
// and the file list of a search result, one block (or line) per row.
#pragma once

#include <string>
#include <string_view>

#include "output/output_file.h"
#include "output/output_header.h"

namespace orbisto {

struct ListedFile {
    std::string_view name;  // the full name with its extension
    float size_kb = 0;
    bool audio_cd = false;
    LocalTime time;
    std::string_view comment;
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

class FileListWriter {
  public:
    FileListWriter(OutputFile& out, const OutputStyle& style) : out_(out), style_(style) {}

    // The header at the top of the list (with `Header` on).
    void list_header(const MediumFacts& medium, std::string_view path);
    // The start of a directory's section (its header with `Header` on).
    void directory(const MediumFacts& medium, std::string_view path);
    // A subdirectory line (with `Pfad` on).
    void subdirectory(std::string_view name, std::string_view comment, bool packed);
    // A file line (unless `Dir` is on).
    void file(const ListedFile& f);
    // The end of a directory's section: a form feed with `FF` on.
    void end_section();

    void result_header(const ResultHeader& h);
    void result_row(const ResultRow& row);

  private:
    OutputFile& out_;
    const OutputStyle& style_;
    std::string line_;
};

}  // namespace orbisto
