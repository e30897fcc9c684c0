// The file list: a section per directory (its header, its subdirectories,
// its files), one line per file with the enabled fields separated by tabs;
// and the file list of a search result, one block (or line) per row.
#pragma once

#include <string>
#include <string_view>

#include "output/list_forms.h"
#include "output/output_file.h"

namespace orbisto {

// The header block of a search result's list.
std::string result_header_block(const OutputStyle& style, const ResultHeader& h);

class FileListWriter final : public FileListForm {
  public:
    FileListWriter(OutputFile& out, const OutputStyle& style) : out_(out), style_(style) {}

    void list_header(const MediumFacts& medium, std::string_view path) override;
    void directory(const MediumFacts& medium, std::string_view path) override;
    // A line per subdirectory, its comment after tabs.
    void subdirectory(std::string_view name, std::string_view comment, bool packed) override;
    // A line per file, the enabled fields separated by tabs.
    void file(const ListedFile& f) override;
    // A form feed with `FF` on.
    void end_section() override;

    void result_header(const ResultHeader& h) override;
    void result_row(const ResultRow& row) override;

  private:
    OutputFile& out_;
    const OutputStyle& style_;
    std::string line_;
};

}  // namespace orbisto
