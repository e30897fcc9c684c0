// The directory tree: one line per directory, indented by its depth, with
// the start of its comment; files are not part of it.
#pragma once

#include <string>
#include <string_view>

#include "output/list_forms.h"
#include "output/output_file.h"

namespace orbisto {

class TreeWriter final : public TreeForm {
  public:
    TreeWriter(OutputFile& out, const OutputStyle& style) : out_(out), style_(style) {}

    void list_header(const MediumFacts& medium) override;
    void medium(const MediumFacts& medium, std::string_view path) override;
    void directory(int depth, std::string_view name, std::string_view comment) override;
    // A form feed with `FF` on.
    void end_medium() override;

  private:
    OutputFile& out_;
    const OutputStyle& style_;
    std::string line_;
};

}  // namespace orbisto
