// A description text from reading to the comment of a record: the read limit
// and conversion chosen by the file name, and the CommentPool append.
#include "text/description_text.h"

#include <algorithm>

#include "catalog/catalog_context.h"
#include "platform/codepage.h"

namespace orbisto {

namespace {

// What an append costs beyond the text: its NUL, a possible padding byte in
// front of it and the pool's end mark are already counted in the pool's
// size, so one NUL and one padding byte remain.
constexpr std::size_t kAppendOverhead = 2;

bool names_markup(std::string_view name) {
    return ContainsCI(name, ".HTM") || ContainsCI(name, ".RTF") || ContainsCI(name, ".XML");
}

}  // namespace

std::size_t comment_room(const Catalog& catalog) {
    // comments_used() leaves out the two bytes of the end mark.
    const std::size_t taken = catalog.comments_used() + 2 + kAppendOverhead;
    const std::size_t capacity = catalog.comments_capacity();
    return capacity > taken ? capacity - taken : 0;
}

std::size_t description_limit(const CatalogContext& ctx, std::string_view name) {
    const Options& o = ctx.settings.options;
    const int setting = names_markup(name) ? o.max_html_bytes : o.max_description_bytes;
    const std::size_t limit = setting > 0 ? static_cast<std::size_t>(setting) : 0;
    return std::min(limit, comment_room(ctx.catalog));
}

void convert_by_name(CatalogContext& ctx, std::string_view name, std::string& text) {
    if (ContainsCI(name, ".HTM")) {
        HtmlToText(text);
    } else if (ContainsCI(name, ".XML")) {
        XmlToText(text);
    } else if (ContainsCI(name, ".RTF")) {
        RtfToText(ctx.frontend, text);
    } else {
        OemToAnsiIfNeeded(text, ctx.settings.options.convert_dos_text);
    }
}

bool set_description_comment(CatalogContext& ctx, std::string_view text, std::uint32_t& comment) {
    text = text.substr(0, text.find('\0'));
    if (text.empty()) return true;
    std::string utf8(text);
    DropCutUtf8Tail(utf8);
    if (!is_valid_utf8(utf8)) utf8 = cp1252_to_utf8(utf8);
    utf8.resize(utf8_prefix_length(utf8, comment_room(ctx.catalog)));
    if (utf8.empty()) return false;  // no room now; the walk's growth deals with it
    const AppendResult r = ctx.catalog.append_comment(utf8);
    if (!r.ok()) {
        ctx.log.line("comment - error\r\n");
        ctx.limits_hit.comments = true;
        return false;
    }
    comment = r.value;
    return true;
}

}  // namespace orbisto
