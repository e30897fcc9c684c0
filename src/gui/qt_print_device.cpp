#include "gui/qt_print_device.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdlib>

#include "gui/qt_text.h"

namespace orbisto::gui {

namespace {

class QtPrintDevice final : public PrintDevice {
  public:
    explicit QtPrintDevice(const std::string& pdf_file) : pdf_file_(pdf_file) {}

    bool begin(std::string_view document_name) override {
        if (pdf_file_.empty()) {
            const QPrinterInfo info = QPrinterInfo::defaultPrinter();
            if (info.isNull()) {
                error_ = "no default printer";
                return false;
            }
            printer_ = std::make_unique<QPrinter>(info, QPrinter::PrinterResolution);
        } else {
            printer_ = std::make_unique<QPrinter>(QPrinter::PrinterResolution);
            printer_->setOutputFormat(QPrinter::PdfFormat);
            printer_->setOutputFileName(qs(pdf_file_));
        }
        printer_->setDocName(qs(document_name));
        if (!painter_.begin(printer_.get())) {
            error_ = pdf_file_.empty() ? "the printer did not start"
                                       : pdf_file_ + ": could not be written";
            return false;
        }
        const QFontMetrics metrics(painter_.font(), printer_.get());
        line_height_ = metrics.height() + metrics.leading();
        return true;
    }

    bool line(int x, int row, std::string_view text) override {
        if (!painter_.isActive() || printer_->printerState() == QPrinter::Error) {
            error_ = "the printer reported an error";
            return false;
        }
        painter_.drawText(x, row * line_height_, qs(text));
        return true;
    }

    bool new_page() override {
        if (printer_->newPage()) return true;
        error_ = "the printer could not start a new page";
        return false;
    }

    bool end() override {
        if (!painter_.isActive()) return false;
        if (painter_.end() && printer_->printerState() != QPrinter::Error) return true;
        error_ = pdf_file_.empty() ? "the printer could not complete the document"
                                   : pdf_file_ + ": could not be written";
        return false;
    }

    std::string error() const override { return error_; }

  private:
    std::string pdf_file_;
    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    int line_height_ = 0;
    std::string error_;
};

}  // namespace

std::unique_ptr<PrintDevice> make_qt_print_device(const std::string& pdf_file) {
    return std::make_unique<QtPrintDevice>(pdf_file);
}

// Qt sees the program's name alone: the command line is the program's.
HeadlessPrinting::HeadlessPrinting(int argc, char** argv) : argc_(argc > 0 ? 1 : 0), argv_(argv) {}

HeadlessPrinting::~HeadlessPrinting() = default;

PrintDeviceFactory HeadlessPrinting::factory() {
    return [this](const std::string& pdf_file) -> std::unique_ptr<PrintDevice> {
        if (!QGuiApplication::instance()) {
            // Printing draws no window: the offscreen platform serves with
            // or without a display, unless a platform was chosen.
            const char* platform = std::getenv("QT_QPA_PLATFORM");
            if (!platform || !*platform) qputenv("QT_QPA_PLATFORM", "offscreen");
            app_ = std::make_unique<QGuiApplication>(argc_, argv_);
        }
        return make_qt_print_device(pdf_file);
    };
}

}  // namespace orbisto::gui
