// The general user interaction of the core goes through a Frontend: message
// boxes, the status bar, the window title, the long-operation cancel dialog,
// the message pump and the few choosers. Every method is pure virtual, so a
// frontend that forgets one does not compile. The questions of one feature
// (the scan dialogs, the duplicate-medium dialog) are interfaces of their
// own in the layer that asks them; the session's SessionFrontend gathers
// them all for the GUI, the console and the scripted test frontend.
#pragma once

#include <atomic>
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

    // The abort flag that long operations poll between steps.
    bool abort_requested() const { return abort_.load(std::memory_order_relaxed); }
    void request_abort() { abort_.store(true, std::memory_order_relaxed); }
    void clear_abort() { abort_.store(false, std::memory_order_relaxed); }

  private:
    std::atomic<bool> abort_{false};
};

}  // namespace orbisto
