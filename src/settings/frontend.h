// Every user interaction of the core goes through a Frontend: message boxes,
// the status bar, the window title, the long-operation cancel dialog, the
// message pump and the few choosers. The Qt GUI, the console and the scripted
// test frontend implement it.
#pragma once

#include <atomic>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Stop, Question, Exclamation, Information };
enum class Answer { Ok, Cancel, Yes, No };

// What a long operation does with the main window.
enum class WindowAction { Minimize, Hide, Restore };

struct DialogPos {
    int x = 10;
    int y = 10;
};

// The texts of the modeless cancel dialog, in the interface language.
struct ProgressTexts {
    std::string text;      // the text line, e.g. "Einlesen läuft."
    std::string pause;     // "&Pause"
    std::string go_on;     // "&Weiter"
    std::string abort;     // "&Abbruch"
    std::string aborting;  // "Operation wird abgebrochen!"
    std::string paused;    // "PAUSE!"
};

struct FileFilter {
    std::string label;    // e.g. "Orbisto-Dateien"
    std::string pattern;  // e.g. "*.OBX"
};

// One pair of the duplicate-medium dialog: two media-list entries with the
// same volume label and serial. Texts are in the interface language.
struct DuplicateMediumPair {
    std::string caption;                  // "doppeltes Medium" / "medium dupes"
    std::string first_name, second_name;  // the medium names
    std::string first_date, second_date;  // catalogue file dates, or "Fehler"
    DialogPos pos;                        // where to show it; a frontend stores a move here
};

// Answers of the duplicate-medium dialog (its button ids).
inline constexpr int kDupMediumStop = -1;  // "&Abbruch" or Escape
inline constexpr int kDupMediumNext = 0;   // "&Weiter"
inline constexpr int kDupMediumDeleteFirst = 1202;
inline constexpr int kDupMediumDeleteSecond = 1203;
inline constexpr int kDupMediumShowFirst = 1204;   // handled inside the dialog
inline constexpr int kDupMediumShowSecond = 1205;  // handled inside the dialog
inline constexpr int kDupMediumTakeIntoFirst = 1209;
inline constexpr int kDupMediumTakeIntoSecond = 1210;

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
class Catalog;

class Frontend {
  public:
    virtual ~Frontend() = default;

    // A message box; texts are UTF-8 and may hold "\r\n" line breaks.
    virtual Answer message(std::string_view text, std::string_view caption, Buttons buttons,
                           Icon icon) = 0;

    // Status bar: part 0 is the main status text.
    virtual void status(int part, std::string_view text) = 0;
    virtual void window_title(std::string_view text) = 0;

    // The modeless cancel dialog of long operations: shown at pos with a
    // progress bar of range 0..range_max; closing it returns the position to
    // remember.
    virtual void progress_open(const ProgressTexts& texts, int range_max, DialogPos pos) = 0;
    virtual void progress_text(std::string_view text) = 0;
    virtual void progress_value(int value) = 0;
    virtual DialogPos progress_close() = 0;

    virtual void main_window(WindowAction action) = 0;
    // The exclamation beep at the end of a long operation.
    virtual void beep() = 0;

    // Handles every pending event without blocking and returns when none is
    // left; while the cancel dialog is paused it returns only after "go on".
    // Escape and the cancel button call request_abort().
    virtual void pump() = 0;

    virtual std::optional<std::string> choose_folder(std::string_view title,
                                                     std::string_view start) = 0;
    virtual std::optional<std::string> choose_open_file(std::string_view title,
                                                        const std::vector<FileFilter>& filters,
                                                        std::string_view default_ext) = 0;
    virtual std::optional<std::string> choose_save_file(std::string_view title,
                                                        const std::vector<FileFilter>& filters,
                                                        std::string_view default_ext) = 0;

    // The modal duplicate-medium dialog. "Anzeigen" calls show(0) or show(1)
    // (the core loads that medium; the dialog stays open); every other button
    // closes the dialog with its answer (kDupMedium*). The default, for
    // frontends without such a dialog, lists the pair on stderr and goes on
    // with the next pair.
    virtual int duplicate_medium(DuplicateMediumPair& pair,
                                 const std::function<void(int which)>& show) {
        (void)show;
        std::fprintf(stderr, "%s: %s  %s | %s  %s\n", pair.caption.c_str(), pair.first_name.c_str(),
                     pair.first_date.c_str(), pair.second_name.c_str(), pair.second_date.c_str());
        return kDupMediumNext;
    }

    // A drive dialog: returns the chosen row of choice.items, or -1 for
    // "Abbruch". The default (no dialog) takes the preselected row.
    virtual int choose_drive(DriveChoice& choice) {
        if (choice.items.empty()) return -1;
        return choice.preselected;
    }
    // The dialog shown when a medium to be scanned is catalogued already
    // ("Update", "Neu", "Anzeigen", "Abbruch"). The default does nothing.
    virtual KnownMediumChoice known_medium(std::string_view caption, std::string_view medium_name) {
        (void)caption;
        (void)medium_name;
        return KnownMediumChoice::Cancel;
    }
    // The medium-information sheet after a scan ("CD-Informationen" /
    // "CD-information"): the user edits the Catalog's description, medium
    // name, category and info block in place. on_name_edited is called after
    // every edit of the medium name (it offers matching categories). Returns
    // false when the sheet was cancelled. The default accepts it unchanged.
    virtual bool medium_information(
        Catalog& catalog, std::string_view caption,
        const std::function<void(std::string_view name)>& on_name_edited) {
        (void)catalog;
        (void)caption;
        (void)on_name_edited;
        return true;
    }
    // The abort flag that long operations poll between steps.
    bool abort_requested() const { return abort_.load(std::memory_order_relaxed); }
    void request_abort() { abort_.store(true, std::memory_order_relaxed); }
    void clear_abort() { abort_.store(false, std::memory_order_relaxed); }

  private:
    std::atomic<bool> abort_{false};
};

}  // namespace orbisto
