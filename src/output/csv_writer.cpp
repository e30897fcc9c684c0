#include "output/csv_writer.h"

#include <cstdio>

namespace orbisto {

namespace {

constexpr std::size_t kCsvCommentChars = 4000;

}  // namespace

NameParts split_extension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return {name, {}};
    return {name.substr(0, dot), name.substr(dot)};
}

namespace {

void append_quoted(std::string& out, std::string_view text, bool clean) {
    out += '"';
    int blanks = 0;
    for (char c : text) {
        if (clean) {
            if (static_cast<unsigned char>(c) < 32) c = ' ';
            blanks = c == ' ' ? blanks + 1 : 0;
            if (blanks > 2) continue;
        }
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

}  // namespace

std::string csv_quoted(std::string_view text, bool clean) {
    std::string out;
    append_quoted(out, text, clean);
    return out;
}

void CsvWriter::value(std::string_view text, bool clean) {
    if (!line_.empty()) line_ += ';';
    append_quoted(line_, text, clean);
}

void CsvWriter::header() {
    const OutputSettings& s = style_.settings;
    line_.clear();
    if (!result_form_ && s.show_place) {
        value("Nummer");
        value("Ort");
    }
    if (s.show_medium_name) value("CD-Name");
    if (!result_form_ && s.show_free_space) value("frei");
    if (!result_form_ && s.show_category) value("CD-Kategorie");
    if (s.show_name) value("Name");
    if (s.show_extension) value("Erweiterung");
    if (s.show_size) value("L\xC3\xA4nge");
    if (s.show_date) value("Datum");
    if (s.show_path) value("Pfad");
    if (s.show_comment) value("Kommentar");
    line_ += "\n";
    out_.text(line_);
}

void CsvWriter::record(const TableRecord& r) {
    const OutputSettings& s = style_.settings;
    const bool medium_columns = !result_form_ && r.medium;
    line_.clear();
    if (medium_columns && s.show_place) {
        value(r.medium->number);
        value(r.medium->place);
    }
    if (s.show_medium_name) value(r.medium_name);
    if (medium_columns && s.show_free_space) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%7.1f", static_cast<double>(r.medium->free_kb));
        value(buf, false);
    }
    if (medium_columns && s.show_category) value(r.medium->category);
    if (s.show_name) value(r.name);
    if (s.show_extension) value(r.extension);
    if (s.show_size) value(r.size);
    if (s.show_date) value(r.date);
    if (s.show_path) value(r.path);
    if (s.show_comment) {
        if (r.comment.empty() && !r.type_description.empty()) {
            value("(R)" + std::string(r.type_description));
        } else {
            value(first_chars(r.comment, kCsvCommentChars));
        }
    }
    line_ += "\n";
    out_.text(line_);
}

}  // namespace orbisto
