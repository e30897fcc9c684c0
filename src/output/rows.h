// Rows of the headless commands' output: a row is a list of named fields,
// written as one tab-separated line (fields in order, no header) or as one
// JSON object (the names as keys, in order). The commands build rows from
// their own data; the writers know nothing of catalogues or hits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto {

// Which of the two forms carries a field.
enum class RowForm { Both, TsvOnly, JsonOnly };

struct RowField {
    enum class Kind { Text, Integer, Number, Null };

    std::string_view key;  // the JSON key; keys are plain ASCII names
    Kind kind = Kind::Null;
    std::string text;
    std::int64_t integer = 0;
    double number = 0;
    int decimals = 0;
    RowForm form = RowForm::Both;

    // A text, cleaned by tsv_field or quoted by json_string.
    static RowField of_text(std::string_view key, std::string_view text,
                            RowForm form = RowForm::Both);
    static RowField of_integer(std::string_view key, std::int64_t value,
                               RowForm form = RowForm::Both);
    // A number printed with a fixed count of decimals ("%.*f"). A number that
    // is not finite is null in JSON; the tab-separated line spells it as
    // printf does ("nan", "inf").
    static RowField of_number(std::string_view key, double value, int decimals,
                              RowForm form = RowForm::Both);
    // No value: an empty field, null in JSON.
    static RowField null(std::string_view key, RowForm form = RowForm::Both);
};

using Row = std::vector<RowField>;

// How the texts of a tab-separated line are written: for a pipe or file
// (tsv_field) or for a terminal (terminal_field).
enum class LineStyle { Plain, Terminal };

// The row as a tab-separated line with its newline.
std::string tsv_line(const Row& row, LineStyle style = LineStyle::Plain);
// The row as a JSON object on one line with its newline.
std::string json_line(const Row& row);

}  // namespace orbisto
