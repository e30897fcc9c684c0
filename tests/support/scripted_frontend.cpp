#include "support/scripted_frontend.h"

namespace orbisto::test {

Answer ScriptedFrontend::message(std::string_view text, std::string_view caption, Buttons buttons,
                                 Icon icon) {
    messages.push_back({std::string(text), std::string(caption), buttons, icon});
    events.push_back("message:" + std::string(caption));
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    switch (buttons) {
        case Buttons::YesNo:
        case Buttons::YesNoCancel:
            return Answer::Yes;
        default:
            return Answer::Ok;
    }
}

void ScriptedFrontend::status(int part, std::string_view text) {
    if (part == 0) statuses.emplace_back(text);
    events.push_back("status:" + std::string(text));
}

void ScriptedFrontend::window_title(std::string_view text) {
    titles.emplace_back(text);
    events.push_back("title:" + std::string(text));
}

void ScriptedFrontend::progress_open(const ProgressTexts& texts, int range_max, DialogPos pos) {
    progress_shown = true;
    progress_pos = pos;
    progress_range = range_max;
    progress_texts.push_back(texts.text);
    events.push_back("progress_open:" + texts.text);
}

void ScriptedFrontend::progress_text(std::string_view text) {
    progress_texts.emplace_back(text);
    events.push_back("progress_text:" + std::string(text));
}

void ScriptedFrontend::progress_value(int value) {
    progress_values.push_back(value);
}

DialogPos ScriptedFrontend::progress_close() {
    progress_shown = false;
    events.push_back("progress_close");
    return progress_pos;
}

void ScriptedFrontend::main_window(WindowAction action) {
    window_actions.push_back(action);
    events.push_back(action == WindowAction::Minimize ? "window:minimize"
                     : action == WindowAction::Hide   ? "window:hide"
                                                      : "window:restore");
}

void ScriptedFrontend::beep() {
    ++beeps;
    events.push_back("beep");
}

void ScriptedFrontend::pump() {
    ++pumps;
    if (on_pump) on_pump(pumps);
}

std::optional<std::string> ScriptedFrontend::next_path(std::string_view kind,
                                                       std::string_view title) {
    events.push_back(std::string(kind) + ":" + std::string(title));
    if (chosen_paths.empty()) return std::nullopt;
    auto p = chosen_paths.front();
    chosen_paths.pop_front();
    return p;
}

std::optional<std::string> ScriptedFrontend::choose_folder(std::string_view title,
                                                           std::string_view) {
    return next_path("choose_folder", title);
}

std::optional<std::string> ScriptedFrontend::choose_open_file(std::string_view title,
                                                              const std::vector<FileFilter>&,
                                                              std::string_view) {
    return next_path("choose_open_file", title);
}

std::optional<std::string> ScriptedFrontend::choose_save_file(std::string_view title,
                                                              const std::vector<FileFilter>&,
                                                              std::string_view) {
    return next_path("choose_save_file", title);
}

DuplicateMediumAnswer ScriptedFrontend::duplicate_medium(
    DuplicateMediumPair& pair, const std::function<void(PairMember which)>& show) {
    duplicate_medium_pairs.push_back(pair);
    events.push_back("duplicate_medium:" + pair.first_name + "|" + pair.second_name);
    while (!duplicate_medium_answers.empty()) {
        const DuplicateMediumStep step = duplicate_medium_answers.front();
        duplicate_medium_answers.pop_front();
        if (const auto* press = std::get_if<ShowPairMember>(&step)) {
            show(press->which);
            continue;
        }
        return std::get<DuplicateMediumAnswer>(step);
    }
    return DuplicateMediumAnswer::Next;
}

int ScriptedFrontend::choose_drive(DriveChoice& choice) {
    drive_dialogs.push_back(choice);
    events.push_back("choose_drive:" + choice.caption);
    if (drive_answers.empty()) return choice.items.empty() ? -1 : choice.preselected;
    const int a = drive_answers.front();
    drive_answers.pop_front();
    return a;
}

KnownMediumChoice ScriptedFrontend::known_medium(std::string_view caption,
                                                 std::string_view medium_name) {
    events.push_back("known_medium:" + std::string(caption) + "|" + std::string(medium_name));
    if (known_medium_answers.empty()) return KnownMediumChoice::Cancel;
    const KnownMediumChoice a = known_medium_answers.front();
    known_medium_answers.pop_front();
    return a;
}

bool ScriptedFrontend::medium_information(
    Catalog& catalog, std::string_view caption,
    const std::function<void(std::string_view name)>& on_name_edited) {
    ++medium_sheets;
    events.push_back("medium_information:" + std::string(caption));
    if (on_medium_sheet) on_medium_sheet(catalog, on_name_edited);
    if (medium_sheet_answers.empty()) return true;
    const bool a = medium_sheet_answers.front();
    medium_sheet_answers.pop_front();
    return a;
}

bool ScriptedFrontend::saw_message(std::string_view text) const {
    for (const auto& m : messages) {
        if (m.text == text) return true;
    }
    return false;
}

}  // namespace orbisto::test
