// The medium-information sheet after an interactive scan: the description
// pre-filled from the newest file and the MP3 totals, and the categories
// offered while the user types the medium name.
#pragma once

#include <string_view>

namespace orbisto {

struct ScanContext;

// Offers the categories whose upper-cased name occurs in the upper-cased
// medium name, each with "Diese Kategorie übernehmen?" titled with the
// category's name. Yes files the medium there (a later Yes wins), No ends
// the offers; once a question was answered, later edits offer nothing.
class CategoryOffers {
  public:
    explicit CategoryOffers(ScanContext& ctx) : ctx_(ctx) {}
    void operator()(std::string_view medium_name);
    bool done() const { return done_; }

  private:
    ScanContext& ctx_;
    bool done_ = false;
};

// Pre-fills an empty description of a new medium, shows the sheet
// ("CD-Informationen") with the category offers when auto_category is on, and
// empties the placeholder description "noch keine Information vorhanden".
// Returns false when the sheet was cancelled.
bool ShowMediumSheet(ScanContext& ctx, bool new_medium);

}  // namespace orbisto
