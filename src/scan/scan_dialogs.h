// The questions a scan asks: which drive to read (for a new medium, an
// update or an identification), what to do with a medium that is
// catalogued already, and the medium-information sheet after the scan.
// Every frontend answers them (the GUI with its dialogs, the console with
// its fixed policy), so each method is pure virtual.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/frontend.h"

namespace orbisto {

class Catalog;

// The drive dialogs (scan a new medium, update, identify).
enum class DriveDialog { Scan, Update, Identify };
struct DriveChoice {
    DriveDialog kind = DriveDialog::Scan;
    std::string caption;             // "Neues Medium einlesen" / "scan new medium", ...
    std::vector<std::string> notes;  // extra text lines of the dialog (the update warning)
    std::vector<std::string> items;  // one row per drive: "%s %s" (root and volume label)
    int preselected = 0;             // row selected when the dialog opens
    // The check boxes of the scan dialog; a frontend stores the user's changes here.
    bool never_ask = false;  // "immer letztes Laufwerk benutzen wenn Medium drin ist"
    bool cd_text = false;
    DialogPos pos;  // where to show it; a frontend stores a move here
};

// The answers of the dialog for a medium that is catalogued already.
enum class KnownMediumChoice { Update, New, Show, Cancel };

class ScanDialogs {
  public:
    virtual ~ScanDialogs() = default;

    // A drive dialog: returns the chosen row of choice.items, or -1 for
    // "Abbruch".
    virtual int choose_drive(DriveChoice& choice) = 0;
    // The dialog shown when a medium to be scanned is catalogued already
    // ("Update", "Neu", "Anzeigen", "Abbruch").
    virtual KnownMediumChoice known_medium(std::string_view caption,
                                           std::string_view medium_name) = 0;
    // The medium-information sheet after a scan ("CD-Informationen" /
    // "CD-information"): the user edits the Catalog's description, medium
    // name, category and info block in place. on_name_edited is called after
    // every edit of the medium name (it offers matching categories). Returns
    // false when the sheet was cancelled.
    virtual bool medium_information(
        Catalog& catalog, std::string_view caption,
        const std::function<void(std::string_view name)>& on_name_edited) = 0;
};

}  // namespace orbisto
