#include "output/media_list_writer.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <numeric>

#include "output/csv_writer.h"

namespace orbisto {

namespace {

constexpr std::size_t kTextDescriptionChars = 1000;
constexpr std::size_t kCsvDescriptionChars = 800;
constexpr std::size_t kLentDescriptionChars = 80;
constexpr std::size_t kWideField = 1000;

std::string free_text(float kb) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%7.1f", static_cast<double>(kb));
    return buf;
}

}  // namespace

std::string last_change_text(const OutputStyle& style, const LocalTime& t) {
    char buf[128];
    if (!t.valid) return style.tr("Letzte \xC3\x84nderung:", "last change:");
    std::snprintf(buf, sizeof buf, "%s%02d.%02d.%d  %02d:%02d",
                  style.tr("Letzte \xC3\x84nderung:", "last change:"), t.day, t.month, t.year,
                  t.hour, t.minute);
    return buf;
}

namespace {

// "%Ns" of a catalogue text, cleaned after formatting.
std::string field(std::string_view text, std::size_t width) {
    return clean_text(padded(text, width));
}

}  // namespace

std::string media_list_header(const OutputStyle& style, const MediaTotals& totals) {
    std::string text = banner_line();
    text +=
        style.tr("// Fileliste erzeugt von ", "// filelist created out of ") + style.program + "\n";
    text += style.tr("// Liste erzeugt am ", "// list created on ") + style.created;
    text += banner_line();
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  style.tr("Gesamt:%lld CDs  Verzeichnisse:%lld  Dateien:%lld\n",
                           "total:%lld CDs  directories:%lld  files:%lld\n"),
                  static_cast<long long>(totals.media), static_cast<long long>(totals.dirs),
                  static_cast<long long>(totals.files));
    text += buf;
    text += banner_line();
    return text;
}

void MediaListWriter::header(const MediaTotals& totals) {
    if (style_.settings.header) out_.text(media_list_header(style_, totals));
}

void MediaListWriter::medium(const MediumFacts& m) {
    const OutputSettings& s = style_.settings;
    line_.clear();
    if (!s.media_list_csv) {
        if (s.show_place) {
            line_ += field(m.number, 10) + "(" + field(m.place, 20) + "):";
        }
        if (s.show_medium_name) {
            line_ += field(m.name, 40) + "  ";
            if (s.show_medium_info) {
                line_ += "\t" +
                         field(first_chars(m.description, kTextDescriptionChars), kWideField) + ",";
            }
            if (s.show_last_change) {
                line_ += "\t" + field(last_change_text(style_, m.last_change), kWideField) + ",";
            }
        }
        if (s.show_free_space) line_ += "," + free_text(m.free_kb);
        if (s.show_category) line_ += "," + clean_text(m.category);
        if (s.show_manufacturer) line_ += "," + clean_text(m.manufacturer);
        if (s.show_supplier) line_ += "," + clean_text(m.supplier);
        if (s.show_order_number) line_ += "," + clean_text(m.order_number);
        if (s.show_price) line_ += "," + clean_text(m.price);
    } else {
        if (s.show_place) line_ += csv_quoted(m.number) + ";" + csv_quoted(m.place) + ";";
        if (s.show_medium_name) {
            line_ += csv_quoted(m.name);
            if (s.show_medium_info) {
                line_ += ";" + csv_quoted(first_chars(m.description, kCsvDescriptionChars));
            }
            if (s.show_last_change) {
                line_ += ";" + csv_quoted(last_change_text(style_, m.last_change));
            }
        }
        if (s.show_free_space) line_ += ";" + csv_quoted(free_text(m.free_kb), false);
        if (s.show_category) line_ += ";" + csv_quoted(m.category);
        if (s.show_manufacturer) line_ += ";" + csv_quoted(m.manufacturer);
        if (s.show_supplier) line_ += ";" + csv_quoted(m.supplier);
        if (s.show_order_number) line_ += ";" + csv_quoted(m.order_number);
        if (s.show_price) line_ += ";" + csv_quoted(m.price);
    }
    if (!s.one_line) line_ += "\n";
    if (s.form_feed) line_ += "\f\n";
    out_.text(line_);
}

void MediaListWriter::lent_medium(const MediumFacts& m) {
    line_.clear();
    if (!m.number.empty()) line_ += field(m.number, 10) + "(" + field(m.place, 20) + "):";
    line_ += field(m.name, 40) + "  ";
    line_ += "\t" +
             clean_text(padded(first_chars(m.description, kLentDescriptionChars),
                               kLentDescriptionChars, true)) +
             "\n";
    line_ += style_.tr("\tverliehen an:", "\tlent to:") + clean_text(m.lent_to) + "\n";
    line_ += style_.tr("\tvon:", "\tfrom:") + clean_text(m.lent_from) + "\n";
    line_ += style_.tr("\tbis:", "\tuntil:") + clean_text(m.lent_until) + "\r\n\n";
    if (style_.settings.form_feed) line_ += "\f\n";
    out_.text(line_);
}

std::vector<std::size_t> sorted_media_order(const std::vector<std::string_view>& names) {
    try {
        std::vector<std::size_t> order(names.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return names[a] < names[b]; });
        return order;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

}  // namespace orbisto
