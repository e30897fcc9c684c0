#include "app/console_frontend.h"

#include <signal.h>
#include <unistd.h>

#include <csignal>

namespace orbisto {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void on_sigint(int) {
    g_interrupted = 1;
}

// Message texts carry Windows line breaks and blank padding; the console
// shows them as plain lines.
std::string console_text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out.push_back(text[i]);
    }
    const auto b = out.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    const auto e = out.find_last_not_of(' ');
    return out.substr(b, e - b + 1);
}

const char* answer_name(Answer a, bool english) {
    switch (a) {
        case Answer::Ok:
            return "OK";
        case Answer::Cancel:
            return english ? "Cancel" : "Abbrechen";
        case Answer::Yes:
            return english ? "Yes" : "Ja";
        case Answer::No:
            return english ? "No" : "Nein";
    }
    return "";
}

}  // namespace

ConsoleFrontend::ConsoleFrontend(std::FILE* err) : err_(err) {
    tty_ = ::isatty(::fileno(err_)) != 0;
    struct sigaction sa {};
    sa.sa_handler = on_sigint;
    sigemptyset(&sa.sa_mask);
    // The first Ctrl-C asks the running operation to stop; the handler then
    // falls back to the default, so a second one ends the program.
    sa.sa_flags = SA_RESETHAND;
    ::sigaction(SIGINT, &sa, nullptr);
}

ConsoleFrontend::~ConsoleFrontend() {
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
}

Answer ConsoleFrontend::policy_answer(Buttons buttons) {
    return (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel) ? Answer::Yes
                                                                          : Answer::Ok;
}

Answer ConsoleFrontend::message(std::string_view text, std::string_view caption, Buttons buttons,
                                Icon) {
    const Answer a = policy_answer(buttons);
    const std::string cap = console_text(caption);
    const std::string body = console_text(text);
    if (progress_open_ && tty_) std::fputc('\n', err_);
    if (cap.empty()) {
        std::fprintf(err_, "%s", body.c_str());
    } else {
        std::fprintf(err_, "%s: %s", cap.c_str(), body.c_str());
    }
    if (buttons != Buttons::Ok) std::fprintf(err_, " [%s]", answer_name(a, english_));
    std::fputc('\n', err_);
    std::fflush(err_);
    return a;
}

void ConsoleFrontend::status(int part, std::string_view text) {
    if (part != 0) return;
    last_status_ = std::string(text);
    if (verbose_) {
        std::fprintf(err_, "%s\n", last_status_.c_str());
        std::fflush(err_);
    }
}

void ConsoleFrontend::progress_open(const ProgressTexts& texts, int range_max, DialogPos pos) {
    progress_open_ = true;
    progress_range_ = range_max > 0 ? range_max : 100;
    last_percent_ = -1;
    pos_ = pos;
    if (verbose_ || (tty_ && percent_shown_)) {
        std::fprintf(err_, "%s\n", texts.text.c_str());
        std::fflush(err_);
    }
}

void ConsoleFrontend::progress_text(std::string_view text) {
    if (verbose_) {
        std::fprintf(err_, "%.*s\n", static_cast<int>(text.size()), text.data());
        std::fflush(err_);
    }
}

void ConsoleFrontend::progress_value(int value) {
    if (!tty_ || !progress_open_ || !percent_shown_) return;
    const int percent = static_cast<int>(100LL * value / progress_range_);
    if (percent == last_percent_) return;
    last_percent_ = percent;
    std::fprintf(err_, "\r%3d%%", percent);
    std::fflush(err_);
}

DialogPos ConsoleFrontend::progress_close() {
    if (progress_open_ && tty_ && last_percent_ >= 0) std::fputc('\n', err_);
    progress_open_ = false;
    return pos_;
}

int ConsoleFrontend::choose_drive(DriveChoice& choice) {
    if (choice.items.empty()) return -1;
    return choice.preselected;
}

DuplicateMediumAnswer ConsoleFrontend::duplicate_medium(DuplicateMediumPair& pair,
                                                        const std::function<void(PairMember)>&) {
    std::fprintf(err_, "%s: %s  %s | %s  %s\n", pair.caption.c_str(), pair.first_name.c_str(),
                 pair.first_date.c_str(), pair.second_name.c_str(), pair.second_date.c_str());
    std::fflush(err_);
    return DuplicateMediumAnswer::Next;
}

void ConsoleFrontend::pump() {
    if (g_interrupted) {
        g_interrupted = 0;
        request_abort();
    }
}

}  // namespace orbisto
