// The printer of the printed lists: Qt's printer (the platform's default
// printer through CUPS, or a PDF file) drawn on with the printer's default
// font. The headless commands get it through HeadlessPrinting, which makes
// the Qt application a printer needs only when something is printed, on
// the offscreen platform, so printing needs no display.
#pragma once

#include <memory>
#include <string>

#include "output/print_device.h"

class QGuiApplication;

namespace orbisto::gui {

// A print device for the PDF file `pdf_file`, or for the default printer
// when it is empty; null when there is no default printer. Needs a Qt
// application.
std::unique_ptr<PrintDevice> make_qt_print_device(const std::string& pdf_file);

class HeadlessPrinting {
  public:
    HeadlessPrinting(int argc, char** argv);
    ~HeadlessPrinting();
    HeadlessPrinting(const HeadlessPrinting&) = delete;
    HeadlessPrinting& operator=(const HeadlessPrinting&) = delete;

    // The devices; the first one asked for starts the Qt application.
    PrintDeviceFactory factory();

  private:
    int argc_;
    char** argv_;
    std::unique_ptr<QGuiApplication> app_;
};

}  // namespace orbisto::gui
