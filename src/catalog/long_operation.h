// The frame around every long operation (scan, update, search, bulk packing):
// save question, busy flag, abort flag, the modeless cancel dialog with its
// progress bar, minimising or hiding the main window, idle priority, and at
// the end the dialog position, restore, beep and normal priority.
#pragma once

#include <string>
#include <string_view>

#include "catalog/catalog_context.h"

namespace orbisto {

struct LongOperationOptions {
    // The dialog's text line; empty means "Einlesen läuft." / "scan in progress.".
    std::string text;
    int range = 100;
    // Ask "Datei schreiben?" first when the current Catalog has changed, and
    // empty its medium texts (the operation replaces the Catalog anyway).
    bool replaces_catalog = true;
};

class LongOperation {
  public:
    LongOperation(CatalogContext& ctx, LongOperationOptions options = {});
    ~LongOperation();
    LongOperation(const LongOperation&) = delete;
    LongOperation& operator=(const LongOperation&) = delete;

    // Runs the message pump; returns false once an abort was requested.
    bool step();
    bool aborted() const { return ctx_.frontend.abort_requested(); }
    void progress(int value);
    void text(std::string_view text);
    // Ends the frame now (the destructor does it otherwise).
    void finish();

    // The texts of the cancel dialog in the interface language.
    static ProgressTexts texts(bool english, std::string text);

  private:
    CatalogContext& ctx_;
    bool open_ = false;
    bool idle_ = false;
    int old_policy_ = 0;
    DialogPos dialog_pos_{};
};

}  // namespace orbisto
