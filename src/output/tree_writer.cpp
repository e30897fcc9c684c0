#include "output/tree_writer.h"

namespace orbisto {

namespace {

constexpr std::size_t kTreeCommentChars = 250;

}  // namespace

void TreeWriter::list_header(const MediumFacts& medium) {
    if (style_.settings.header) out_.text(header_block(style_, medium, "/", true));
}

void TreeWriter::medium(const MediumFacts& medium, std::string_view path) {
    if (style_.settings.header) out_.text(header_block(style_, medium, path, false));
}

bool tree_writes_depth(const OutputSettings& settings, int depth) {
    if (depth < 0 || depth > settings.max_level) return false;
    return depth == 0 || !settings.root_only;
}

void TreeWriter::directory(int depth, std::string_view name, std::string_view comment) {
    if (!tree_writes_depth(style_.settings, depth)) return;
    line_.clear();
    for (int i = 0; i < depth; ++i) line_ += "|--------";
    if (depth > 0) line_ += "\\";
    line_ += " " + clean_text(name) + " ";
    if (!comment.empty()) line_ += "\t" + clean_text(first_chars(comment, kTreeCommentChars));
    line_ += "\n";
    out_.text(line_);
}

void TreeWriter::end_medium() {
    if (style_.settings.form_feed) out_.bytes("\f\n");
}

}  // namespace orbisto
