// The questions of the media-list tools. Today that is the duplicate-medium
// dialog of the duplicate-media search: for each pair of media with the same
// volume label and serial it asks what to do. Every frontend answers it (the
// console with its fixed policy), so the method is pure virtual.
#pragma once

#include <functional>
#include <string>

#include "settings/frontend.h"

namespace orbisto {

// One pair of the duplicate-medium dialog: two media-list entries with the
// same volume label and serial. Texts are in the interface language.
struct DuplicateMediumPair {
    std::string caption;                  // "doppeltes Medium" / "medium dupes"
    std::string first_name, second_name;  // the medium names
    std::string first_date, second_date;  // catalogue file dates, or "Fehler"
    DialogPos pos;                        // where to show it; a frontend stores a move here
};

// The buttons that close the duplicate-medium dialog. The answer is used at
// once and never stored, so the values are the enum's own.
enum class DuplicateMediumAnswer {
    Stop,            // "&Abbruch" or Escape: end the search
    Next,            // "&Weiter": the next pair
    DeleteFirst,     // delete the first medium's catalogue file and entry
    DeleteSecond,    // the same for the second
    TakeIntoFirst,   // copy the second medium's comments into the first
    TakeIntoSecond,  // copy the first medium's comments into the second
};

// Which medium of the pair "Anzeigen" asks to show.
enum class PairMember { First, Second };

class MediaDialogs {
  public:
    virtual ~MediaDialogs() = default;

    // The modal duplicate-medium dialog. "Anzeigen" calls show(First) or
    // show(Second) (the core loads that medium; the dialog stays open);
    // every other button closes the dialog with its answer.
    virtual DuplicateMediumAnswer duplicate_medium(
        DuplicateMediumPair& pair, const std::function<void(PairMember which)>& show) = 0;
};

}  // namespace orbisto
