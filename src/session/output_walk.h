// The walks of an output run: the media of the scope loaded one after the
// other, each directory, file or result row handed to a list form (a file
// writer or its printed form) or to a table writer, with the output
// filter, progress and abort. Internal to the output run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "catalog/catalog.h"
#include "catalog/long_operation.h"
#include "output/list_forms.h"
#include "output/output_file.h"
#include "search/search_pattern.h"
#include "session/output_run.h"

namespace orbisto {

class Printer;

// The state of one run: the forms' style, the file or the printer, the
// filter, the progress frame and a Catalog the media of the scope are
// loaded into.
struct OutputWalk {
    OutputWalk(Context& c, const OutputSettings& s, const OutputRequest& r, Printer* p = nullptr);

    Context& ctx;
    const OutputSettings& settings;
    const OutputRequest& request;
    OutputStyle style;
    OutputFile file;
    Printer* printer;  // the target instead of the file when set
    SearchPattern filter;
    LongOperation op;
    Catalog scratch;
    bool aborted = false;
    std::uint64_t items = 0;

    // Whether the file or the printer still takes output.
    bool target_ok() const;
    // Shows the share done on the progress bar and runs the pump; false
    // once the run must end.
    bool step(double done);
    // The status bar's "item/count - name" of the medium, directory or row
    // being written ("item/count" without a name).
    void status(std::size_t item, std::size_t count, std::string_view name);
    // The desktop's description of a file's type when the settings ask for
    // it in place of a missing comment; empty otherwise.
    std::string_view type_description(std::string_view name, std::string_view comment);
};

void write_file_list(OutputWalk& w, FileListForm& out);
void write_result_list(OutputWalk& w, FileListForm& out);
void write_tree(OutputWalk& w, TreeForm& out);
void write_media_list(OutputWalk& w, MediaListForm& out);
void write_csv(OutputWalk& w);
void write_dbase(OutputWalk& w);

}  // namespace orbisto
