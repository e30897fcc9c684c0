// The printed forms of the file list, the tree and the media list: the
// file forms one text per printed line, without line breaks, each section
// closed by a separator line and, with `FF`, followed by a new page.
#pragma once

#include <string>
#include <string_view>

#include "output/list_forms.h"
#include "output/print_device.h"

namespace orbisto {

// The line that closes a printed section.
inline constexpr std::string_view kPrintedSeparator = "/* --- */";

// The document name the spooler shows.
const char* print_document_name(bool english);

class PrintedFileList final : public FileListForm {
  public:
    PrintedFileList(Printer& out, const OutputStyle& style) : out_(out), style_(style) {}

    void list_header(const MediumFacts& medium, std::string_view path) override;
    void directory(const MediumFacts& medium, std::string_view path) override;
    // "%35s (Verzeichnis)", then the comment on a line of its own.
    void subdirectory(std::string_view name, std::string_view comment, bool packed) override;
    // Each enabled field on a line of its own.
    void file(const ListedFile& f) override;
    // The separator, and a new page with `FF`.
    void end_section() override;
    void result_header(const ResultHeader& h) override;
    // "%s%s p:%s CD:%s c:%s": name, extension, path, medium, comment.
    void result_row(const ResultRow& row) override;

  private:
    Printer& out_;
    const OutputStyle& style_;
    std::string line_;
};

class PrintedTree final : public TreeForm {
  public:
    PrintedTree(Printer& out, const OutputStyle& style) : out_(out), style_(style) {}

    void list_header(const MediumFacts& medium) override;
    void medium(const MediumFacts& medium, std::string_view path) override;
    // "%s %s" (the depth's prefix, the name), without the comment.
    void directory(int depth, std::string_view name, std::string_view comment) override;
    // The separator, and a new page with `FF`.
    void end_medium() override;

  private:
    Printer& out_;
    const OutputStyle& style_;
    std::string line_;
};

class PrintedMediaList final : public MediaListForm {
  public:
    PrintedMediaList(Printer& out, const OutputStyle& style) : out_(out), style_(style) {}

    void header(const MediaTotals& totals) override;
    // Number, place and name ("%10s(%20s):%40s"), the description as
    // "%80s" and the other enabled fields on a line each; a new page after
    // it with `FF`.
    void medium(const MediumFacts& m) override;
    // Number, name and description, then to whom and when it was lent, and
    // the separator.
    void lent_medium(const MediumFacts& m) override;

  private:
    Printer& out_;
    const OutputStyle& style_;
    std::string line_;
};

}  // namespace orbisto
