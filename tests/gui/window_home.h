// A program directory with catalogued media and the real main window over
// it, for the window's tests: media are made by scanning real folders, the
// window runs on the offscreen platform, and modal dialogs are answered by
// a timer that finds them and presses their buttons.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/file_list_model.h"
#include "gui/gui_frontend.h"
#include "gui/main_window.h"
#include "session/context.h"
#include "support/fake_volumes.h"
#include "support/temp_home.h"

class QWidget;

namespace orbisto::test {

struct WindowHome {
    TempDir dir;
    std::string base;  // the temporary directory without links
    std::string home;  // program directory (ORBISTO_HOME)
    std::string cds;   // catalogue directory
    FakeVolumes volumes;
    std::unique_ptr<gui::GuiFrontend> frontend;
    std::unique_ptr<Context> ctx;
    std::unique_ptr<gui::MainWindow> window;

    WindowHome();
    ~WindowHome();

    // Writes a file (parents made) below base and returns its path.
    std::string put(const std::string& relative, const std::string& text = "data") const;
    // Scans base/folder as a new medium into the catalogue directory (a
    // run of its own, before the window starts); returns its number.
    int scan(const std::string& folder, const std::string& medium_name);
    // A disc catalogued from its own CD drive (base/folder, with this volume
    // label and serial), then taken out of the drive; returns its number.
    int scan_disc(const std::string& folder, const std::string& label, std::uint32_t serial);
    // Puts that disc back into its drive.
    void insert_disc(const std::string& folder, const std::string& label, std::uint32_t serial) {
        volumes.add(base + "/" + folder, kDriveCdRom, label, serial);
    }
    // Writes settings lines ("[Section]" / "key=value") to the settings file.
    void settings(const std::string& text) const;
    // Starts the program's run and shows the window (English or German by
    // the settings file).
    gui::MainWindow& open();
    // Closes the window as the window manager would; true when it closed.
    bool close();
};

// Runs `answer` on the next modal dialog once it is shown (polling from the
// event loop), so a test can drive a dialog that a command opens.
void on_next_modal(std::function<void(QWidget*)> answer);
// Presses the button of a dialog whose text (without '&') is `text`.
bool press(QWidget* dialog, const QString& text);
// Makes the window active again (as the window manager does when a modal
// dialog closes), so that its shortcuts reach it.
void activate(QWidget& window);
// The text of a message box (empty for other dialogs).
QString box_text(QWidget* dialog);

// The row of the file list whose name column shows this text; -1 when none.
int file_row_named(const gui::FileListModel* files, const QString& name);

}  // namespace orbisto::test
