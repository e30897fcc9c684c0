// The CSV table: a header line of the enabled column names, then one line
// per file. Every value is quoted (a quote inside doubled, so any CSV
// reader takes the value back as it was); values are separated by
// semicolons, and the line ends after its last value (no separator after
// it, so a reader sees no empty column there).
#pragma once

#include <string>

#include "output/output_file.h"
#include "output/table_record.h"

namespace orbisto {

class CsvWriter {
  public:
    // `result_form` writes the columns of a search-result row (no number,
    // place, free space or category).
    CsvWriter(OutputFile& out, const OutputStyle& style, bool result_form = false)
        : out_(out), style_(style), result_form_(result_form) {}

    void header();
    void record(const TableRecord& r);

  private:
    void value(std::string_view text, bool clean = true);

    OutputFile& out_;
    const OutputStyle& style_;
    bool result_form_;
    std::string line_;
};

// A value as a quoted CSV field: `"` doubled, a catalogue text cleaned
// (`clean`) so that it cannot break the line.
std::string csv_quoted(std::string_view text, bool clean = true);

}  // namespace orbisto
