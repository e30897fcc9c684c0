// The frontend of the headless run modes: messages go to standard error as
// "caption: text"; questions are answered by a fixed policy (the affirmative
// answer: Yes or OK, since the console only runs the job that was asked for on
// the command line) and the answer is printed with them; Ctrl-C sets the
// abort flag (a second Ctrl-C ends the program); choosers answer "cancelled".
// The dialogs of a scan take the preselected drive, answer "Abbruch" for a
// medium that is catalogued already and accept the information sheet
// unchanged; each duplicate-medium pair is listed on the error stream and the
// search goes on. Nothing is shown of the observer's events.
#pragma once

#include <cstdio>
#include <string>

#include "session/session_frontend.h"

namespace orbisto {

class ConsoleFrontend : public SessionFrontend {
  public:
    explicit ConsoleFrontend(std::FILE* err = stderr);
    ~ConsoleFrontend() override;

    // Status texts are printed only when verbose (they change many times a
    // second during a scan); the last one is always kept.
    void set_verbose(bool on) { verbose_ = on; }
    const std::string& last_status() const { return last_status_; }
    // Whether the progress frame shows its text and a percentage on a
    // terminal (off where a run draws a progress line of its own).
    void set_percent_shown(bool on) { percent_shown_ = on; }
    // The language of the answers printed after a question.
    void set_english(bool on) { english_ = on; }

    Answer message(std::string_view text, std::string_view caption, Buttons buttons,
                   Icon icon) override;
    void status(int part, std::string_view text) override;
    void window_title(std::string_view) override {}
    void progress_open(const ProgressTexts& texts, int range_max, DialogPos pos) override;
    void progress_text(std::string_view text) override;
    void progress_value(int value) override;
    DialogPos progress_close() override;
    void main_window(WindowAction) override {}
    void beep() override {}
    void pump() override;
    std::optional<std::string> choose_folder(std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> choose_open_file(std::string_view, const std::vector<FileFilter>&,
                                                std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> choose_save_file(std::string_view, const std::vector<FileFilter>&,
                                                std::string_view) override {
        return std::nullopt;
    }

    int choose_drive(DriveChoice& choice) override;
    KnownMediumChoice known_medium(std::string_view, std::string_view) override {
        return KnownMediumChoice::Cancel;
    }
    bool medium_information(Catalog&, std::string_view,
                            const std::function<void(std::string_view)>&) override {
        return true;
    }
    DuplicateMediumAnswer duplicate_medium(DuplicateMediumPair& pair,
                                           const std::function<void(PairMember)>&) override;

    // The policy's answer for a box with these buttons.
    static Answer policy_answer(Buttons buttons);

  private:
    std::FILE* err_;
    bool verbose_ = false;
    bool tty_ = false;
    bool progress_open_ = false;
    bool percent_shown_ = true;
    bool english_ = true;
    int progress_range_ = 100;
    int last_percent_ = -1;
    DialogPos pos_{};
    std::string last_status_;
};

}  // namespace orbisto
