// The headless search: "orbisto find [options] TEXT" prints one line per hit.
#pragma once

#include <string>
#include <vector>

#include "catalog/catalog.h"
#include "output/rows.h"
#include "search/search_state.h"

namespace orbisto {
struct Context;
}  // namespace orbisto

namespace orbisto::app {

// orbisto find [options] TEXT; exit status 0 with hits, 1 without, 2 on a
// usage error. The settings file is never written.
int run_find(Context& ctx, const std::vector<std::string>& args);

// What a hit's quality is in the search mode: nothing, the error count of
// the extended language or the rate of the similarity language.
enum class HitQuality { None, Errors, Rate };

struct HitFormat {
    bool json = false;
    HitQuality quality = HitQuality::None;
    // Tab-separated lines get a ninth field with the quality (empty for
    // HitQuality::None); JSON objects always carry it.
    bool quality_column = false;
    // Tab-separated lines for a terminal: what could act on it is spelled
    // out (terminal_field).
    LineStyle style = LineStyle::Plain;
};

// One hit as a tab-separated line (or a JSON object), with its newline; the
// texts follow the field rules of output/text_fields.h:
// catalogue number, medium name, kind (F, D or M), directory path, object
// name, size in KB (%.2f), local time "YYYY-MM-DD HH:MM", comment, and as
// `format` asks the quality: the error count, or the rate as %.2f ("errors"
// or "rate" in JSON; a rate that was not computed is null there).
std::string hit_line(const Catalog& cat, const HitRecord& hit, const HitDetail& detail,
                     const HitFormat& format);

}  // namespace orbisto::app
