// A Frontend for tests: records every call and answers message boxes and
// choosers from a script, so each message and question path can be asserted.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "settings/frontend.h"

namespace orbisto::test {

struct MessageCall {
    std::string text;
    std::string caption;
    Buttons buttons;
    Icon icon;
};

class ScriptedFrontend : public Frontend {
public:
    // Answers for the next message boxes, in order. When the script is empty,
    // a box is answered with the default answer of its buttons (Ok, Ok, Yes, Yes).
    std::deque<Answer> answers;
    // Paths returned by the next choosers; nullopt means "cancelled".
    std::deque<std::optional<std::string>> chosen_paths;
    // Called on every pump(); a test can request an abort here.
    std::function<void(int pump_count)> on_pump;

    // Answers of the duplicate-medium dialog, in order; 1204/1205 press
    // "Anzeigen" and the dialog takes the next answer. Empty: "&Weiter".
    std::deque<int> duplicate_medium_answers;
    std::vector<DuplicateMediumPair> duplicate_medium_pairs;  // pairs shown

    // Answers of the drive dialogs (a row, or -1), in order. Empty: the
    // preselected row. Every dialog shown is kept.
    std::deque<int> drive_answers;
    std::vector<DriveChoice> drive_dialogs;
    // Answers of the known-medium dialog. Empty: Cancel.
    std::deque<KnownMediumChoice> known_medium_answers;
    // The medium-information sheet: called with the Catalog when set (a test
    // can edit it or call on_name_edited); the answers say accept (true) or
    // cancel (false). Empty: accept.
    std::function<void(Catalog&, const std::function<void(std::string_view)>&)> on_medium_sheet;
    std::deque<bool> medium_sheet_answers;
    int medium_sheets = 0;
    std::vector<MessageCall> messages;
    std::vector<std::string> statuses;  // texts of status part 0, in order
    std::vector<std::string> titles;
    std::vector<std::string> progress_texts;
    std::vector<int> progress_values;
    std::vector<WindowAction> window_actions;
    std::vector<std::string> events;  // every call in order, e.g. "message:Fehler!"
    int pumps = 0;
    int beeps = 0;
    bool progress_shown = false;
    DialogPos progress_pos{};
    int progress_range = 0;

    Answer message(std::string_view text, std::string_view caption, Buttons buttons,
                   Icon icon) override;
    void status(int part, std::string_view text) override;
    void window_title(std::string_view text) override;
    void progress_open(const ProgressTexts& texts, int range_max, DialogPos pos) override;
    void progress_text(std::string_view text) override;
    void progress_value(int value) override;
    DialogPos progress_close() override;
    void main_window(WindowAction action) override;
    void beep() override;
    void pump() override;
    std::optional<std::string> choose_folder(std::string_view title,
                                             std::string_view start) override;
    std::optional<std::string> choose_open_file(std::string_view title,
                                                const std::vector<FileFilter>& filters,
                                                std::string_view default_ext) override;
    std::optional<std::string> choose_save_file(std::string_view title,
                                                const std::vector<FileFilter>& filters,
                                                std::string_view default_ext) override;
    int duplicate_medium(DuplicateMediumPair& pair,
                         const std::function<void(int which)>& show) override;

    int choose_drive(DriveChoice& choice) override;
    KnownMediumChoice known_medium(std::string_view caption, std::string_view medium_name) override;
    bool medium_information(Catalog& catalog, std::string_view caption,
                            const std::function<void(std::string_view name)>& on_name_edited) override;
    // The last status text, or "" when none was shown.
    std::string last_status() const { return statuses.empty() ? std::string() : statuses.back(); }
    // True when a message box with this text (exactly) was shown.
    bool saw_message(std::string_view text) const;

private:
    std::optional<std::string> next_path(std::string_view kind, std::string_view title);
};

}  // namespace orbisto::test
