// The printer as the printed lists see it: a line printer that draws one
// line of text at a row of the page, and the page logic above it (59 lines
// a page, the left margin, texts split into lines at control characters).
// The device itself lives with the window's toolkit; the core only talks
// to this interface.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace orbisto {

class PrintDevice {
  public:
    virtual ~PrintDevice() = default;
    // Starts the document (the name the spooler shows) and its first page.
    // False when the printer cannot be had or refuses to start.
    virtual bool begin(std::string_view document_name) = 0;
    // Draws a line of text at `x` (device units from the left edge) on row
    // `row` of the page (1 the first; the row times the line height gives
    // the baseline). False when the printer failed; error() says why.
    virtual bool line(int x, int row, std::string_view text) = 0;
    // Ends the page and starts the next.
    virtual bool new_page() = 0;
    // Ends the document; false when it could not be completed.
    virtual bool end() = 0;
    // The printer's message after a failure.
    virtual std::string error() const = 0;
};

// Makes the device of a print: the PDF file `pdf_file`, or the platform's
// default printer when it is empty. Null when no printer can be had.
using PrintDeviceFactory = std::function<std::unique_ptr<PrintDevice>(const std::string& pdf_file)>;

// The page logic. A line counter starts at 0 and is raised before each
// line; when it reaches 60 the page is ended, the next begun and the counter
// set to 1, so a page holds 59 lines. After the first failure nothing more
// is printed.
class Printer {
  public:
    static constexpr int kPageLines = 59;

    // `one_line`: a text is cleaned and printed as one line instead of one
    // line per run between control characters.
    Printer(PrintDevice& device, int left_margin, bool one_line)
        : device_(device), margin_(left_margin), one_line_(one_line) {}

    bool begin(std::string_view document_name);
    // Prints a text: each run of printable characters one line (the control
    // characters between them are dropped, so no empty line is printed), or
    // with `one_line` the whole text cleaned as one line.
    void text(std::string_view text);
    // The next line starts a new page (a page that has no line yet stays
    // the current one, so no empty page is printed).
    void page_break();
    // Ends the document; false when printing failed at any point.
    bool end();

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }
    std::uint64_t lines() const { return lines_; }

  private:
    void line(std::string_view text);
    void fail();

    PrintDevice& device_;
    int margin_;
    bool one_line_;
    bool ok_ = true;
    bool started_ = false;
    bool break_pending_ = false;
    int counter_ = 0;
    std::uint64_t lines_ = 0;
    std::string error_;
};

}  // namespace orbisto
