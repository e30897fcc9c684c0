#include "session/output_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "catalog/media_list.h"
#include "output/file_list_writer.h"
#include "output/media_list_writer.h"
#include "output/printed_lists.h"
#include "output/tree_writer.h"
#include "search/search_engine.h"
#include "session/context.h"
#include "session/output_walk.h"

namespace orbisto {

namespace {

std::string errno_text(int e) {
    return e == 0 ? std::string() : std::string(" (") + std::strerror(e) + ")";
}

// Ends a run: the status and the message go into the result, and the
// message to the user.
struct Failing {
    Context& ctx;
    OutputResult& result;
    OutputResult operator()(OutputStatus status, const std::string& text, const char* title) const {
        result.status = status;
        result.message = text;
        ctx.frontend.message(text, title, Buttons::Ok,
                             status == OutputStatus::Aborted ? Icon::Information : Icon::Stop);
        return result;
    }
};

// The printed forms: the file list and the tree, every other format as
// the media list.
OutputResult print_output(Context& ctx, const OutputSettings& settings,
                          const OutputRequest& request, OutputResult result) {
    const Failing fail{ctx, result};
    const char* error_title = ctx.tr("Fehler", "error");
    if (!ctx.print_devices) {
        return fail(OutputStatus::Refused,
                    ctx.tr("Drucken ist in dieser Fassung nicht m\xC3\xB6glich",
                           "printing is not available in this build"),
                    error_title);
    }
    OutputSettings s = settings;
    if (s.format == OutputFormat::Csv || s.format == OutputFormat::Dbase) {
        s.format = OutputFormat::MediaList;
    }
    const std::unique_ptr<PrintDevice> device = ctx.print_devices(s.print_file);
    const std::string setup_failed =
        ctx.tr("Probleme mit der Druckereinstellung", "problems with printer setup");
    if (!device) return fail(OutputStatus::Failed, setup_failed, error_title);
    Printer printer(*device, s.left_margin, s.one_line);
    if (!printer.begin(print_document_name(ctx.english()))) {
        const std::string why = printer.error();
        return fail(OutputStatus::Failed, why.empty() ? setup_failed : setup_failed + ": " + why,
                    error_title);
    }
    OutputWalk w(ctx, s, request, &printer);
    if (s.use_filter) {
        w.filter.IgnoreCase = s.ignore_case;
        PrepareFilterString(w.filter, request.filter_text);
    }
    if (s.format == OutputFormat::Files) {
        PrintedFileList out(printer, w.style);
        if (s.scope == OutputScope::SearchResult) {
            write_result_list(w, out);
        } else {
            write_file_list(w, out);
        }
    } else if (s.format == OutputFormat::Tree) {
        PrintedTree out(printer, w.style);
        write_tree(w, out);
    } else {
        PrintedMediaList out(printer, w.style);
        write_media_list(w, out);
    }
    const bool printed = printer.end();
    w.op.finish();
    result.items = w.items;
    if (!printed) return fail(OutputStatus::Failed, printer.error(), error_title);
    if (w.aborted) {
        return fail(OutputStatus::Aborted,
                    ctx.tr("Drucken abgebrochen; das bisher Gedruckte bleibt",
                           "printing aborted; what was printed is kept"),
                    ctx.tr("Ausgabe", "output"));
    }
    return result;
}

}  // namespace

std::string output_file_path(const std::string& file_name, OutputFormat format) {
    const char* ext = format == OutputFormat::Csv     ? "CSV"
                      : format == OutputFormat::Dbase ? "DBF"
                                                      : "TXT";
    const std::size_t slash = file_name.rfind('/');
    const std::size_t dot = file_name.rfind('.');
    const bool has_ext =
        dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (has_ext ? file_name.substr(0, dot) : file_name) + "." + ext;
}

OutputResult RunOutputTo(Context& ctx, const OutputSettings& settings,
                         const OutputRequest& request) {
    OutputResult result;
    const Failing fail{ctx, result};
    const char* error_title = ctx.tr(" Fehler ", " error ");
    const bool table =
        settings.target == OutputTarget::File &&
        (settings.format == OutputFormat::Csv || settings.format == OutputFormat::Dbase);
    if (table && settings.scope == OutputScope::SearchResult && settings.dirs_only) {
        return fail(OutputStatus::Refused,
                    ctx.tr("Nur Verzeichnisse sollen ausgegeben werden\nAusgabe abgebrochen",
                           "only directories are to be written\noutput aborted"),
                    ctx.tr("Achtung", "attention"));
    }
    if ((settings.scope == OutputScope::CurrentMedium || settings.scope == OutputScope::FromPath) &&
        ctx.catalog.current_number() < 0 &&
        (request.medium < 0 ||
         !ctx.media.position_of(static_cast<std::uint32_t>(request.medium)))) {
        return fail(OutputStatus::Refused, ctx.tr("Kein Medium geladen", "no medium loaded"),
                    error_title);
    }
    const bool printer = settings.target == OutputTarget::Printer;
    if (printer) {
        // A PDF file the print goes to follows the rules of an output file.
        result.path = settings.print_file;
    } else {
        result.path = request.exact_path ? settings.file_name
                                         : output_file_path(settings.file_name, settings.format);
    }
    const bool append = settings.append && !table && !printer;

    struct stat st {};
    const bool exists = !result.path.empty() && ::stat(result.path.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        return fail(
            OutputStatus::Refused,
            result.path + ctx.tr(": keine gew\xC3\xB6hnliche Datei", ": not a regular file"),
            error_title);
    }
    // A file nobody may write to is not replaced, even by a user (root) whom
    // the permissions would not stop.
    if (exists && ((st.st_mode & 0222) == 0 || ::access(result.path.c_str(), W_OK) != 0)) {
        return fail(OutputStatus::Refused,
                    result.path + ctx.tr(": schreibgesch\xC3\xBCtzt, nicht ersetzt",
                                         ": read-only, not replaced"),
                    error_title);
    }
    if (exists && !append) {
        if (request.existing == ExistingFile::Keep) {
            return fail(
                OutputStatus::Declined,
                result.path + ctx.tr(": Datei vorhanden, nicht ersetzt (--force ersetzt sie)",
                                     ": file exists, not replaced (--force replaces it)"),
                error_title);
        }
        if (request.existing == ExistingFile::Ask &&
            ctx.frontend.message(ctx.tr(" Datei vorhanden. \xC3\x9C"
                                        "berschreiben? ",
                                        " file already exists. overwrite? "),
                                 error_title, Buttons::YesNo, Icon::Question) != Answer::Yes) {
            result.status = OutputStatus::Declined;
            return result;
        }
    }

    if (printer) return print_output(ctx, settings, request, result);

    OutputWalk w(ctx, settings, request);
    const TextEncoding encoding =
        settings.windows1252_text ? TextEncoding::Windows1252 : TextEncoding::Utf8;
    errno = 0;
    if (!w.file.open(result.path, append,
                     settings.format == OutputFormat::Dbase ? TextEncoding::Utf8 : encoding)) {
        const int e = errno;
        w.op.finish();
        return fail(OutputStatus::Failed,
                    ctx.tr(" Datei konnte nicht ge\xC3\xB6\x66\x66net werden ",
                           " file could not be opened ") +
                        std::string(": ") + result.path + errno_text(e),
                    error_title);
    }
    if (settings.use_filter) {
        w.filter.IgnoreCase = settings.ignore_case;
        PrepareFilterString(w.filter, request.filter_text);
    }
    switch (settings.format) {
        case OutputFormat::Files: {
            FileListWriter out(w.file, w.style);
            if (settings.scope == OutputScope::SearchResult) {
                write_result_list(w, out);
            } else {
                write_file_list(w, out);
            }
            break;
        }
        case OutputFormat::Tree: {
            TreeWriter out(w.file, w.style);
            write_tree(w, out);
            break;
        }
        case OutputFormat::Csv:
            write_csv(w);
            break;
        case OutputFormat::Dbase:
            write_dbase(w);
            break;
        case OutputFormat::MediaList: {
            MediaListWriter out(w.file, w.style);
            write_media_list(w, out);
            break;
        }
    }
    errno = 0;
    const bool written = w.file.close();
    const int e = errno;
    w.op.finish();
    result.items = w.items;
    if (!written) {
        return fail(
            OutputStatus::Failed,
            ctx.tr(" Datei konnte nicht geschrieben werden ", " file could not be written ") +
                std::string(": ") + result.path + errno_text(e) +
                ctx.tr("; das bisher Geschriebene bleibt", "; what was written is kept"),
            error_title);
    }
    if (w.aborted) {
        return fail(OutputStatus::Aborted,
                    ctx.tr("Ausgabe abgebrochen; das bisher Geschriebene bleibt in ",
                           "output aborted; what was written is kept in ") +
                        result.path,
                    ctx.tr("Ausgabe", "output"));
    }
    return result;
}

OutputResult RunOutputNoDialog(Context& ctx, ExistingFile existing) {
    OutputRequest request;
    request.existing = existing;
    request.filter_text = ctx.settings.output.history[0];
    request.medium = ctx.settings.state.last_catalog;
    // Building the list empties the current Catalog: only when none is loaded.
    if (ctx.media.entries.empty() && ctx.catalog.current_number() < 0) BuildMediaList(ctx);
    return RunOutputTo(ctx, ctx.settings.output, request);
}

}  // namespace orbisto
