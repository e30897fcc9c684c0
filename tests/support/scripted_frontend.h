// A frontend for tests: records every call and answers message boxes,
// choosers and dialogs from a script, so each message and question path can
// be asserted. The observer's events are recorded apart from the calls.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "session/session_frontend.h"

namespace orbisto::test {

struct MessageCall {
    std::string text;
    std::string caption;
    Buttons buttons;
    Icon icon;
};

// A press of "Anzeigen" in the duplicate-medium dialog; the dialog stays open.
struct ShowPairMember {
    PairMember which;
};
using DuplicateMediumStep = std::variant<DuplicateMediumAnswer, ShowPairMember>;

class ScriptedFrontend : public SessionFrontend {
  public:
    // Answers for the next message boxes, in order. When the script is empty,
    // a box is answered with the default answer of its buttons (Ok, Ok, Yes, Yes).
    std::deque<Answer> answers;
    // Paths returned by the next choosers; nullopt means "cancelled".
    std::deque<std::optional<std::string>> chosen_paths;
    // Called on every pump(); a test can request an abort here.
    std::function<void(int pump_count)> on_pump;

    // Answers of the duplicate-medium dialog, in order; a ShowPairMember
    // presses "Anzeigen" and the dialog takes the next step. Empty: "&Weiter".
    std::deque<DuplicateMediumStep> duplicate_medium_answers;
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
    // The observer's events in order: "catalog_replaced", "catalog_changed",
    // "media_changed", "categories_changed", "hits_changed",
    // "long_operation_started", "long_operation_ended".
    std::vector<std::string> observed;
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
    DuplicateMediumAnswer duplicate_medium(
        DuplicateMediumPair& pair, const std::function<void(PairMember which)>& show) override;

    int choose_drive(DriveChoice& choice) override;
    KnownMediumChoice known_medium(std::string_view caption, std::string_view medium_name) override;
    bool medium_information(
        Catalog& catalog, std::string_view caption,
        const std::function<void(std::string_view name)>& on_name_edited) override;

    void catalog_replaced() override { observed.emplace_back("catalog_replaced"); }
    void catalog_changed() override { observed.emplace_back("catalog_changed"); }
    void media_changed() override { observed.emplace_back("media_changed"); }
    void categories_changed() override { observed.emplace_back("categories_changed"); }
    void hits_changed() override { observed.emplace_back("hits_changed"); }
    void long_operation_started() override { observed.emplace_back("long_operation_started"); }
    void long_operation_ended() override { observed.emplace_back("long_operation_ended"); }

    // The last status text, or "" when none was shown.
    std::string last_status() const { return statuses.empty() ? std::string() : statuses.back(); }
    // True when a message box with this text (exactly) was shown.
    bool saw_message(std::string_view text) const;

  private:
    std::optional<std::string> next_path(std::string_view kind, std::string_view title);
};

}  // namespace orbisto::test
