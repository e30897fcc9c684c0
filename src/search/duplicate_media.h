// Duplicate media: media-list entries that describe the same physical medium
// (equal volume serial, byte-for-byte equal volume label and the same
// scanned path, see same_medium; folders of one file system and media whose
// label and serial tell nothing are never paired by those alone). Each pair goes
// to the duplicate-medium dialog of the media dialogs, where the user deletes one
// of them, takes the comments of one over into the other, or looks at either.
#pragma once

#include <cstddef>
#include <string>

namespace orbisto {

struct SearchContext;

struct DuplicateMediaResult {
    bool stopped = false;     // the dialog was left with "&Abbruch"
    std::size_t pairs = 0;    // pairs shown
    std::size_t deleted = 0;  // media deleted
    bool changed = false;     // something was deleted or commented
};

// The tools-page command. With exactly one medium: "Was soll ich finden?..."
// and nothing else. Otherwise every pair i < j of the media list that is
// one medium is shown. A deletion removes the catalogue
// file and the entry at once (the fast-load index follows) and the walk goes
// on over the shifted list without skipping a pair. Ends with "Suche beendet"
// unless stopped. When result.changed, the caller refreshes the category view
// and loads the medium selected in the media box again.
DuplicateMediaResult FindDuplicateMedia(SearchContext& ctx);

// Fills the comments that the target medium lacks from the source medium
// (both media-list positions), matching directories and files by their full
// path; each source comment is taken once. Leaves the target loaded as the
// current Catalog, marked changed when a comment was taken (it is saved by the
// usual save question). False when nothing could be done to the end: a
// medium could not be loaded, memory ran out ("Zu wenig Speicher!") or the
// user aborted ("Du hast den Button gedrückt!"); comments taken before stay.
bool TakeComments(SearchContext& ctx, std::size_t target, std::size_t source);

// The date of a catalogue file as the dialog shows it, "%02d.%02d.%d  %02d:%02d"
// in local time, or "Fehler" / "error" when the file is missing.
std::string catalog_file_date(const SearchContext& ctx, int number);

// The fixed texts of the duplicate-medium dialog for a frontend that draws it:
// button labels and tool tips by control id (1200 .. 1210, abort 9996).
struct DuplicateMediumTexts {
    std::string remove, show, next, update, abort;
    std::string tips[11];  // ids 1200 .. 1210
};
DuplicateMediumTexts duplicate_medium_texts(bool english);

}  // namespace orbisto
