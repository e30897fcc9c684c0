#include "output/printed_lists.h"

#include <cstdio>

#include "output/file_list_writer.h"
#include "output/media_list_writer.h"
#include "output/number_text.h"
#include "output/output_file.h"

namespace orbisto {

namespace {

constexpr std::size_t kFileCommentChars = 10000;
constexpr std::size_t kDirCommentChars = 250;
constexpr std::size_t kMediumDescriptionChars = 1000;
constexpr std::size_t kLentDescriptionChars = 80;

// A header block of the file forms, one printed line per line.
void print_block(Printer& out, std::string_view block) {
    while (!block.empty()) {
        const std::size_t end = block.find('\n');
        out.text(block.substr(0, end));
        if (end == std::string_view::npos) break;
        block.remove_prefix(end + 1);
    }
}

void end_printed_section(Printer& out, const OutputSettings& s) {
    out.text(kPrintedSeparator);
    if (s.form_feed) out.page_break();
}

}  // namespace

const char* print_document_name(bool english) {
    return english ? "Orbisto printing in progress" : "Orbisto druckt";
}

void PrintedFileList::list_header(const MediumFacts& medium, std::string_view path) {
    if (style_.settings.header) print_block(out_, header_block(style_, medium, path, true));
}

void PrintedFileList::directory(const MediumFacts& medium, std::string_view path) {
    if (style_.settings.header) print_block(out_, header_block(style_, medium, path, false));
}

void PrintedFileList::subdirectory(std::string_view name, std::string_view comment, bool packed) {
    const OutputSettings& s = style_.settings;
    if (!s.show_path) return;
    line_ = padded(clean_text(name), 35);
    if (s.show_comment) {
        line_ += packed ? style_.tr(" (gepackte Datei)", " (packed file)")
                        : style_.tr(" (Verzeichnis)", " (directory)");
    }
    out_.text(line_);
    if (s.show_comment && !comment.empty()) out_.text(first_chars(comment, kDirCommentChars));
}

void PrintedFileList::file(const ListedFile& f) {
    const OutputSettings& s = style_.settings;
    if (s.dirs_only) return;
    if (s.show_name) out_.text(std::string(f.name) + " ");
    if (s.show_size) out_.text(size_text(f.size_kb, style_.group_digits, f.audio_cd) + " ");
    if (s.show_date) out_.text(list_date_text(f.time));
    if (s.show_comment) {
        if (!f.comment.empty()) {
            out_.text(first_chars(f.comment, kFileCommentChars));
        } else if (!f.type_description.empty()) {
            out_.text("(R)" + std::string(f.type_description));
        }
    }
}

void PrintedFileList::end_section() {
    end_printed_section(out_, style_.settings);
}

void PrintedFileList::result_header(const ResultHeader& h) {
    if (style_.settings.header) print_block(out_, result_header_block(style_, h));
}

void PrintedFileList::result_row(const ResultRow& row) {
    // One line of several fields: each is cleaned so that none breaks it.
    line_.clear();
    append_clean(line_, row.name);
    append_clean(line_, row.extension);
    line_ += " p:";
    append_clean(line_, row.path);
    line_ += " CD:";
    append_clean(line_, row.medium);
    line_ += " c:";
    append_clean(line_, first_chars(row.comment, kFileCommentChars));
    out_.text(line_);
}

void PrintedTree::list_header(const MediumFacts& medium) {
    if (style_.settings.header) print_block(out_, header_block(style_, medium, "/", true));
}

void PrintedTree::medium(const MediumFacts& medium, std::string_view path) {
    if (style_.settings.header) print_block(out_, header_block(style_, medium, path, false));
}

void PrintedTree::directory(int depth, std::string_view name, std::string_view) {
    if (!tree_writes_depth(style_.settings, depth)) return;
    line_.clear();
    for (int i = 0; i < depth; ++i) line_ += "|--------";
    if (depth > 0) line_ += "\\";
    line_ += " ";
    line_ += name;
    out_.text(line_);
}

void PrintedTree::end_medium() {
    end_printed_section(out_, style_.settings);
}

void PrintedMediaList::header(const MediaTotals& totals) {
    if (style_.settings.header) print_block(out_, media_list_header(style_, totals));
}

void PrintedMediaList::medium(const MediumFacts& m) {
    const OutputSettings& s = style_.settings;
    line_.clear();
    if (s.show_place) {
        line_ += padded(clean_text(m.number), 10) + "(" + padded(clean_text(m.place), 20) + "):";
    }
    if (s.show_medium_name) line_ += padded(clean_text(m.name), 40);
    if (!line_.empty()) out_.text(line_);
    if (s.show_medium_name && s.show_medium_info && !m.description.empty()) {
        out_.text(padded(first_chars(m.description, kMediumDescriptionChars), 80));
    }
    if (s.show_medium_name && s.show_last_change) {
        out_.text(last_change_text(style_, m.last_change));
    }
    if (s.show_free_space) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%7.1f KB", static_cast<double>(m.free_kb));
        out_.text(std::string(style_.tr("frei:", "free:")) + buf);
    }
    const std::pair<bool, const std::string*> fields[] = {
        {s.show_category, &m.category}, {s.show_manufacturer, &m.manufacturer},
        {s.show_supplier, &m.supplier}, {s.show_order_number, &m.order_number},
        {s.show_price, &m.price},
    };
    for (const auto& [on, text] : fields) {
        if (on && !text->empty()) out_.text(*text);
    }
    if (s.form_feed) out_.page_break();
}

void PrintedMediaList::lent_medium(const MediumFacts& m) {
    const std::string description = clean_text(first_chars(m.description, kLentDescriptionChars));
    const std::string name = clean_text(m.name);
    if (!m.number.empty()) {
        out_.text(padded(clean_text(m.number), 10, true) + ":" + padded(name, 30) + " " +
                  padded(description, 30, true));
    } else {
        out_.text(padded(name, 35) + " " + padded(description, 35, true));
    }
    out_.text(style_.tr("verliehen an:", "lent to:") + m.lent_to);
    out_.text(style_.tr("von:", "from:") + m.lent_from);
    out_.text(style_.tr("bis:", "until:") + m.lent_until);
    end_printed_section(out_, style_.settings);
}

}  // namespace orbisto
