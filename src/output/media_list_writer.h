// The media list: one line per medium (number and place, name, description,
// last change, free space, category and the purchase fields, as enabled),
// in text or CSV form; lent media with whom they were lent to and when.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "output/list_forms.h"
#include "output/output_file.h"

namespace orbisto {

class MediaListWriter final : public MediaListForm {
  public:
    MediaListWriter(OutputFile& out, const OutputStyle& style) : out_(out), style_(style) {}

    void header(const MediaTotals& totals) override;
    void medium(const MediumFacts& m) override;
    void lent_medium(const MediumFacts& m) override;

  private:
    OutputFile& out_;
    const OutputStyle& style_;
    std::string line_;
};

// The header block of the media list: banner, program and date lines,
// banner, the totals line and a banner.
std::string media_list_header(const OutputStyle& style, const MediaTotals& totals);

// "Letzte Änderung:%02d.%02d.%d  %02d:%02d" of a catalogue file.
std::string last_change_text(const OutputStyle& style, const LocalTime& t);

// The order of the media list: positions into `names` (the media's names)
// in ascending byte order (case-sensitive; equal names keep their order).
// Empty when there is no memory for the copy.
std::vector<std::size_t> sorted_media_order(const std::vector<std::string_view>& names);

}  // namespace orbisto
