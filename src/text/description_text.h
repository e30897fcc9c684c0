// From a description text as read and converted to the comment of a record:
// the conversion chosen by the file name, and the CommentPool append.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "catalog/catalog.h"
#include "text/text_convert.h"

namespace orbisto {

struct CatalogContext;

// Bytes a description may still take before the CommentPool must grow: what
// the pool holds beyond its used bytes, never less than 0.
std::size_t comment_room(const Catalog& catalog);

// The read limit of a description file by its name: max_html_bytes for names
// containing ".HTM", ".RTF" or ".XML", else max_description_bytes; never above the room.
std::size_t description_limit(const CatalogContext& ctx, std::string_view name);

// Converts by name: ".HTM" → HtmlToText, else ".XML" → XmlToText, else ".RTF"
// → RtfToText, else OemToAnsiIfNeeded (convert_dos_text).
void convert_by_name(CatalogContext& ctx, std::string_view name, std::string& text);

// Appends a finished text (up to its first NUL; valid UTF-8 stays, also when
// only its last character was cut off by a read limit, which is dropped;
// anything else is read as Windows-1252) to the CommentPool, cut at a
// character boundary so that it fits the room, and sets `comment`. An empty
// text sets nothing and counts as success. False when the pool had no room
// or could not take it (an append failure is logged and sets
// ctx.limits_hit.comments, as in the walk).
bool set_description_comment(CatalogContext& ctx, std::string_view text, std::uint32_t& comment);

}  // namespace orbisto
