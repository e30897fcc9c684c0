// The directory tree: one line per directory, indented by its depth, with
// the start of its comment; files are not part of it.
#pragma once

#include <string>
#include <string_view>

#include "output/output_file.h"
#include "output/output_header.h"

namespace orbisto {

class TreeWriter {
  public:
    TreeWriter(OutputFile& out, const OutputStyle& style) : out_(out), style_(style) {}

    // The header at the top (with `Header` on), path "/".
    void list_header(const MediumFacts& medium);
    // The start of a medium's tree: the header of its starting directory.
    void medium(const MediumFacts& medium, std::string_view path);
    // Whether directories `depth` levels below the start are written (the
    // children of the start are depth 0): `MaxLevel` bounds the depth and
    // `Root` keeps the first level alone. The caller need not descend
    // further when this is false.
    bool writes_depth(int depth) const;
    void directory(int depth, std::string_view name, std::string_view comment);
    // The end of a medium: a form feed with `FF` on.
    void end_medium();

  private:
    OutputFile& out_;
    const OutputStyle& style_;
    std::string line_;
};

}  // namespace orbisto
