#include "output/rows.h"

#include <cmath>
#include <cstdio>

#include "output/text_fields.h"

namespace orbisto {

namespace {

std::string fixed(double value, int decimals) {
    char buf[400];  // enough for the largest double with its decimals
    std::snprintf(buf, sizeof buf, "%.*f", decimals < 0 ? 0 : decimals > 20 ? 20 : decimals, value);
    return buf;
}

}  // namespace

RowField RowField::of_text(std::string_view key, std::string_view text, RowForm form) {
    RowField f;
    f.key = key;
    f.kind = Kind::Text;
    f.text = text;
    f.form = form;
    return f;
}

RowField RowField::of_integer(std::string_view key, std::int64_t value, RowForm form) {
    RowField f;
    f.key = key;
    f.kind = Kind::Integer;
    f.integer = value;
    f.form = form;
    return f;
}

RowField RowField::of_number(std::string_view key, double value, int decimals, RowForm form) {
    RowField f;
    f.key = key;
    f.kind = Kind::Number;
    f.number = value;
    f.decimals = decimals;
    f.form = form;
    return f;
}

RowField RowField::null(std::string_view key, RowForm form) {
    RowField f;
    f.key = key;
    f.form = form;
    return f;
}

std::string tsv_line(const Row& row, LineStyle style) {
    std::string out;
    bool first = true;
    for (const RowField& f : row) {
        if (f.form == RowForm::JsonOnly) continue;
        if (!first) out += '\t';
        first = false;
        switch (f.kind) {
            case RowField::Kind::Text:
                out += style == LineStyle::Terminal ? terminal_field(f.text) : tsv_field(f.text);
                break;
            case RowField::Kind::Integer:
                out += std::to_string(f.integer);
                break;
            case RowField::Kind::Number:
                out += fixed(f.number, f.decimals);
                break;
            case RowField::Kind::Null:
                break;
        }
    }
    out += '\n';
    return out;
}

std::string json_line(const Row& row) {
    std::string out = "{";
    for (const RowField& f : row) {
        if (f.form == RowForm::TsvOnly) continue;
        if (out.size() > 1) out += ',';
        out += json_string(f.key);
        out += ':';
        switch (f.kind) {
            case RowField::Kind::Text:
                out += json_string(f.text);
                break;
            case RowField::Kind::Integer:
                out += std::to_string(f.integer);
                break;
            case RowField::Kind::Number:
                out += std::isfinite(f.number) ? fixed(f.number, f.decimals) : "null";
                break;
            case RowField::Kind::Null:
                out += "null";
                break;
        }
    }
    out += "}\n";
    return out;
}

}  // namespace orbisto
