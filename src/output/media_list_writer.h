// The media list: one line per medium (number and place, name, description,
// last change, free space, category and the purchase fields, as enabled),
// in text or CSV form; lent media with whom they were lent to and when.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "output/output_file.h"
#include "output/output_header.h"

namespace orbisto {

struct MediaTotals {
    std::int64_t media = 0;
    std::int64_t dirs = 0;
    std::int64_t files = 0;
};

class MediaListWriter {
  public:
    MediaListWriter(OutputFile& out, const OutputStyle& style) : out_(out), style_(style) {}

    // The header block with the totals line (with `Header` on).
    void header(const MediaTotals& totals);
    void medium(const MediumFacts& m);
    void lent_medium(const MediumFacts& m);

  private:
    OutputFile& out_;
    const OutputStyle& style_;
    std::string line_;
};

// The order of the media list: positions into `names` (the media's names)
// in ascending byte order (case-sensitive; equal names keep their order).
// Empty when there is no memory for the copy.
std::vector<std::size_t> sorted_media_order(const std::vector<std::string_view>& names);

}  // namespace orbisto
