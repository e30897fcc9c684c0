// The output run: the file a format is written to, the media of the scope
// loaded one after the other (never in place of the loaded medium, whose
// unsaved edits stay as they are), the output filter, progress and abort.
#pragma once

#include <cstdint>
#include <string>

#include "settings/settings.h"

namespace orbisto {

struct Context;

enum class ExistingFile {
    Ask,      // the frontend's question " Datei vorhanden. Überschreiben? "
    Replace,  // replaced without a question (--force)
    Keep,     // never replaced: the run is refused (headless without --force)
};

// What the stored settings do not hold.
struct OutputRequest {
    // The category of the category scope; 0 takes every medium.
    int category = 0;
    // The medium of the loaded-medium and from-path scopes when no medium is
    // loaded (a headless run); -1: none.
    int medium = -1;
    // The directory the from-path scope starts at (0 the root).
    std::uint32_t start_dir = 0;
    // The output filter string (what the filter's pattern languages match).
    std::string filter_text;
    // Write to `file_name` as it stands instead of replacing its extension
    // by the format's.
    bool exact_path = false;
    // What happens to an existing file (appending aside).
    ExistingFile existing = ExistingFile::Ask;
};

enum class OutputStatus {
    Written,
    Declined,  // the existing file was not to be replaced
    Refused,   // nothing written: the settings or the target do not allow it
    Failed,    // opening or writing failed; what was written stays
    Aborted,   // the user aborted; what was written stays
};

struct OutputResult {
    OutputStatus status = OutputStatus::Written;
    std::string path;         // the file written (or meant to be)
    std::string message;      // for every status but Written
    std::uint64_t items = 0;  // lines, records or media written
};

// The output file's name: `file_name` with its extension replaced by the
// format's ("TXT", "CSV" or "DBF"); a name without an extension gets one.
std::string output_file_path(const std::string& file_name, OutputFormat format);

// Writes the output the settings describe to its file. The messages of a
// failure go to the frontend as well as into the result.
OutputResult RunOutputTo(Context& ctx, const OutputSettings& settings,
                         const OutputRequest& request);

// The stored output settings without the sheet: the filter string is the
// newest entry of the output history and the loaded medium the one the
// window showed last when none is loaded.
OutputResult RunOutputNoDialog(Context& ctx, ExistingFile existing);

}  // namespace orbisto
