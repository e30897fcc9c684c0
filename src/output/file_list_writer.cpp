#include "output/file_list_writer.h"

#include "output/number_text.h"

namespace orbisto {

namespace {

constexpr std::size_t kFileCommentChars = 10000;
constexpr std::size_t kDirCommentWidth = 80;

}  // namespace

void FileListWriter::list_header(const MediumFacts& medium, std::string_view path) {
    if (style_.settings.header) out_.text(header_block(style_, medium, path, true));
}

void FileListWriter::directory(const MediumFacts& medium, std::string_view path) {
    if (style_.settings.header) out_.text(header_block(style_, medium, path, false));
}

void FileListWriter::subdirectory(std::string_view name, std::string_view comment, bool packed) {
    const OutputSettings& s = style_.settings;
    if (!s.show_path) return;
    line_ = clean_text(name);
    if (s.show_comment) {
        line_ += packed ? style_.tr("\t(gepackte Datei)\t", "\t(packed file)\t")
                        : style_.tr("\t(Verzeichnis)\t", "\t(directory)\t");
        if (!comment.empty()) line_ += clean_text(padded(comment, kDirCommentWidth));
    }
    line_ += "\n";
    out_.text(line_);
}

void FileListWriter::file(const ListedFile& f) {
    const OutputSettings& s = style_.settings;
    if (s.dirs_only) return;
    line_.clear();
    if (s.show_name) {
        append_clean(line_, f.name);
        line_ += '\t';
    }
    if (s.show_size) {
        line_ += size_text(f.size_kb, style_.group_digits, f.audio_cd);
        line_ += '\t';
    }
    if (s.show_date) {
        line_ += list_date_text(f.time);
        line_ += '\t';
    }
    if (s.show_comment) {
        if (!f.comment.empty()) {
            append_clean(line_, first_chars(f.comment, kFileCommentChars));
        } else if (!f.type_description.empty()) {
            line_ += "(R)";
            append_clean(line_, f.type_description);
        }
    }
    line_ += '\n';
    out_.text(line_);
}

void FileListWriter::end_section() {
    if (style_.settings.form_feed) out_.bytes("\f\n");
}

std::string result_header_block(const OutputStyle& style, const ResultHeader& h) {
    std::string text = banner_line();
    text += style.tr("// Fileliste erzeugt aus Suchergebnis von ",
                     "// filelist from search result out of ") +
            style.program + "\n";
    if (h.approximate) {
        text +=
            style.tr("// erweiterte Suche Fehlerbereich:", "// extended search max. differences:") +
            std::to_string(h.errors) + "\n";
    }
    text += style.tr("// Suchbegriff:", "// search string:") + clean_text(h.search_text) + "\n";
    text += style.tr("// Liste erzeugt am ", "// list created on ") + style.created;
    text += banner_line();
    return text;
}

void FileListWriter::result_header(const ResultHeader& h) {
    if (style_.settings.header) out_.text(result_header_block(style_, h));
}

void FileListWriter::result_row(const ResultRow& row) {
    const OutputSettings& s = style_.settings;
    const bool en = style_.english;
    const char* brk = s.one_line ? "" : "\n";
    line_.clear();
    if (s.show_medium_name) line_ += "Medium:" + clean_text(row.medium) + "  " + brk;
    if (s.show_name)
        line_ += (en ? "filename:" : "Name:") + clean_text(row.name) + (en ? "" : "  ");
    const char* gap = en ? " " : "  ";
    if (s.show_extension) line_ += clean_text(row.extension) + gap;
    if (s.show_size) line_ += clean_text(row.size) + gap;
    if (s.show_date) line_ += clean_text(row.date) + (en ? "" : "  ");
    line_ += brk;
    if (s.show_path) line_ += (en ? "path:" : "Pfad:") + clean_text(row.path) + "  " + brk;
    if (s.show_comment) {
        line_ += (en ? "comment:" : "Kommentar:") +
                 clean_text(first_chars(row.comment, kFileCommentChars)) + "  " + brk;
    }
    line_ += "\n";
    out_.text(line_);
}

}  // namespace orbisto
