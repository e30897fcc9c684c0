// The dialogs the core asks through its feature interfaces, as the window
// shows them: the drive dialogs, the known-medium dialog, the medium
// information sheet and the duplicate-medium dialog; and the information
// sheet of a file or folder. Each is modal over `parent` and takes its texts
// in the interface language.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "scan/scan_dialogs.h"
#include "search/media_dialogs.h"

class QWidget;

namespace orbisto {
class CategoryTable;
}

namespace orbisto::gui {

// What the dialogs need of the run besides their own data.
struct DialogEnv {
    bool english = false;
    const CategoryTable* categories = nullptr;
    // The "&Kategorie ändern" menu of the medium sheet chose category n;
    // empty: the sheet sets the Catalog's category itself.
    std::function<void(int)> category_chosen;
    // The catalogue directory, for the file name and date of the loaded
    // medium on the statistics page; empty: they are not shown.
    std::string catalog_dir;
    // Moves the CD changer to the loaded medium's slot (true) or back
    // (false); empty while no changer library is loaded, and then the
    // sheet has no changer buttons.
    std::function<void(bool load)> changer;
};

// A drive dialog (scan, update, identify): the chosen row of choice.items or
// -1 for "Abbruch"; the check boxes and a moved position are stored back.
int drive_dialog(QWidget* parent, DriveChoice& choice, const DialogEnv& env);

// "Update" / "Neu" / "Anzeigen" / "Abbruch" for a medium that is catalogued.
KnownMediumChoice known_medium_dialog(QWidget* parent, std::string_view caption,
                                      std::string_view medium_name, const DialogEnv& env);

// The medium information sheet ("Beschreibung", "Info", "Statistik", "Ort")
// over the Catalog's header, info block and description. Returns false when
// it was cancelled (the Catalog is then as it was); true with the edits
// stored, and the Catalog's changed flag set when anything changed.
bool medium_sheet(QWidget* parent, Catalog& catalog, std::string_view caption,
                  const std::function<void(std::string_view name)>& on_name_edited,
                  const DialogEnv& env);

// The duplicate-medium dialog; "Anzeigen" calls show and stays open.
DuplicateMediumAnswer duplicate_medium_dialog(QWidget* parent, DuplicateMediumPair& pair,
                                              const std::function<void(PairMember)>& show,
                                              const DialogEnv& env);

// The information sheet of a file ("Daten", "Beschreibung", "Preview") or a
// folder ("Daten", "Beschreibung"); object is a record index with the high
// bit set for a directory. The comment edited on the sheet is stored in the
// Catalog; returns true when it was changed (the changed flag is then set).
bool object_sheet(QWidget* parent, Catalog& catalog, std::uint32_t object, const DialogEnv& env);

}  // namespace orbisto::gui
