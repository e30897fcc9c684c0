#include "output/output_header.h"

#include <cstdio>
#include <ctime>

#include "output/output_file.h"

namespace orbisto {

LocalTime local_time_of(std::int64_t unix_seconds) {
    const std::time_t t = static_cast<std::time_t>(unix_seconds);
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return {};
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, true};
}

namespace {

// Digits by hand: a million dates are formatted per export.
void put_number(std::string& out, int v, int width) {
    char digits[12];
    int n = 0;
    unsigned u = v < 0 ? 0u : static_cast<unsigned>(v);
    do {
        digits[n++] = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u != 0 && n < 12);
    for (int i = n; i < width; ++i) out += '0';
    while (n > 0) out += digits[--n];
}

}  // namespace

std::string list_date_text(const LocalTime& t) {
    std::string out;
    if (!t.valid) return out;
    put_number(out, t.day, 2);
    out += '.';
    put_number(out, t.month, 2);
    out += '.';
    put_number(out, t.year, 1);
    out += "  ";
    put_number(out, t.hour, 2);
    out += ':';
    put_number(out, t.minute, 2);
    return out;
}

std::string table_date_text(const LocalTime& t) {
    std::string out;
    if (!t.valid) return out;
    put_number(out, t.year, 1);
    out += '.';
    put_number(out, t.month, 2);
    out += '.';
    put_number(out, t.day, 2);
    out += "  ";
    put_number(out, t.hour, 2);
    out += ':';
    put_number(out, t.minute, 2);
    return out;
}

std::string created_text() {
    const std::time_t now = std::time(nullptr);
    char buf[64];
    if (!ctime_r(&now, buf)) return "\n";
    return buf;
}

std::string banner_line() {
    return "/" + std::string(70, '*') + "/\n";
}

std::string header_block(const OutputStyle& style, const MediumFacts& medium, std::string_view path,
                         bool full) {
    const OutputSettings& s = style.settings;
    const auto line = [](std::string_view label, std::string_view value) {
        return std::string(label) + clean_text(value) + "\n";
    };
    std::string out = banner_line();
    out +=
        style.tr("// Fileliste erzeugt von ", "// filelist created out of ") + style.program + "\n";
    out += style.tr("// Liste erzeugt am ", "// list created on ") + style.created;
    if (s.show_place) {
        out += style.tr("// Nummer / Ort:", "// number / place:") + clean_text(medium.number) +
               " / " + clean_text(medium.place) + "\n";
    }
    if (s.show_medium_name) out += line(style.tr("// CD-Name:", "// CD-name:"), medium.name);
    if (s.show_free_space) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%7.1f KB\n", static_cast<double>(medium.free_kb));
        out += style.tr("// frei:", "// free:") + std::string(buf);
    }
    if (s.show_category) {
        out += line(style.tr("// CD-Kategorie:", "// CD-category:"), medium.category);
    }
    if (full) {
        if (s.show_manufacturer) {
            out += line(style.tr("// CD-Hersteller:", "// CD-manufacturer:"), medium.manufacturer);
        }
        if (s.show_supplier) {
            out += line(style.tr("// CD-Lieferant:", "// CD-supplier:"), medium.supplier);
        }
        if (s.show_order_number) {
            out +=
                line(style.tr("// CD-Bestellnummer:", "// CD-order number:"), medium.order_number);
        }
        if (s.show_price) out += line(style.tr("// CD-Preis:", "// CD-prize:"), medium.price);
        if (s.show_comment && style.printed && style.english) {
            // The printed English form gives the description a line of its own.
            out += "/* CD-comment:\n" + clean_text(first_chars(medium.description, 80)) + "\n";
        } else if (s.show_comment) {
            const std::size_t width = style.printed ? 50 : 80;
            out += style.tr("// CD-Beschreibung:", "// CD-comment:") +
                   clean_text(padded(first_chars(medium.description, width), width, true)) +
                   (style.printed ? " */\n" : "\n");
        }
    }
    out += line(style.tr("// Pfad:", "// path:"), path);
    out += banner_line();
    return out;
}

}  // namespace orbisto
