#include "app/desktop_entries.h"

#include "app/program_icon.h"  // generated from data/icons/orbisto.svg
#include "platform/codepage.h"

namespace orbisto::app {
namespace {

// A verb offered on folders or files: the option the program takes the
// path with, and the types it is offered for. The names stay German as the
// program has always called them; Name[en] serves English desktops.
struct Verb {
    ShellSetting setting;
    const char* id;  // file name stem, also the desktop-file id
    const char* name;
    const char* name_en;
    const char* comment;
    const char* comment_en;
    const char* option;
    // MimeType of the "Open With" entry; null when the verb gets none.
    const char* open_with_types;
    // Types of the context-menu actions (KDE and file-manager actions both
    // read "all/allfiles" as every file that is no directory).
    const char* action_types;
};

// The drive verbs start a scan or update job that writes a catalogue and
// ends. They appear only in the context menu: an "Open With" entry for every
// folder could become the default opener of folders on a desktop that names
// none, and a double click would then scan the folder.
constexpr Verb kVerbs[] = {
    {ShellSetting::FolderVerb, "orbisto-daten", "Orbisto Daten", "Orbisto data",
     "Den Ordner als Katalogverzeichnis öffnen", "Open the folder as the catalogue directory",
     "--dir", "inode/directory;", "inode/directory;"},
    {ShellSetting::SearchVerb, "orbisto-suchen", "Orbisto suchen", "Orbisto search",
     "In allen Medien nach dem Dateinamen suchen", "Search all media for the file name", "--search",
     "application/octet-stream;", "all/allfiles;"},
    {ShellSetting::DriveVerbs, "orbisto-katalogisieren", "katalogisieren", "catalogue",
     "Den Ordner als neues Medium einlesen", "Scan the folder as a new medium", "--drive", nullptr,
     "inode/directory;"},
    {ShellSetting::DriveVerbs, "orbisto-update", "Orbisto update", "Orbisto update",
     "Das Medium im Ordner neu einlesen", "Rescan the medium in the folder", "--update", nullptr,
     "inode/directory;"},
};

constexpr const char* kAppEntry = "applications/orbisto.desktop";
constexpr const char* kIconFile = "icons/hicolor/scalable/apps/orbisto.svg";

std::string line(std::string_view key, std::string_view value) {
    std::string out(key);
    out += '=';
    out += value;
    out += '\n';
    return out;
}

std::string mark_line() {
    return line(kGeneratedMark, "true");
}

// The Exec value of a verb: the program, the option and the field code of
// one local file path, escaped as a string value.
std::string verb_exec(std::string_view executable, const Verb& v) {
    return escape_desktop_value(quote_exec_argument(executable) + " " + v.option + " %f");
}

std::string app_entry(std::string_view executable) {
    std::string s = "[Desktop Entry]\n";
    s += line("Type", "Application");
    s += line("Version", "1.4");
    s += line("Name", "Orbisto");
    s += line("GenericName", "Medienkatalog");
    s += line("GenericName[en]", "Media cataloguer");
    s += line("Comment", "Medien katalogisieren, durchsuchen und verwalten");
    s += line("Comment[en]", "Catalogue, search and manage media");
    s += line("Exec", escape_desktop_value(quote_exec_argument(executable)));
    s += line("TryExec", escape_desktop_value(executable));
    s += line("Icon", "orbisto");
    s += line("Terminal", "false");
    s += line("Categories", "Utility;Archiving;");
    s += mark_line();
    return s;
}

std::string open_with_entry(std::string_view executable, const Verb& v) {
    std::string s = "[Desktop Entry]\n";
    s += line("Type", "Application");
    s += line("Version", "1.4");
    s += line("Name", v.name);
    s += line("Name[en]", v.name_en);
    s += line("Comment", v.comment);
    s += line("Comment[en]", v.comment_en);
    s += line("Exec", verb_exec(executable, v));
    s += line("TryExec", escape_desktop_value(executable));
    s += line("Icon", "orbisto");
    s += line("Terminal", "false");
    s += line("NoDisplay", "true");
    s += line("MimeType", v.open_with_types);
    s += mark_line();
    return s;
}

std::string service_menu(std::string_view executable, const Verb& v) {
    std::string s = "[Desktop Entry]\n";
    s += line("Type", "Service");
    s += line("X-KDE-ServiceTypes", "KonqPopupMenu/Plugin");
    s += line("MimeType", v.action_types);
    s += line("Actions", "run;");
    // One path per run: the program takes one folder or file per option.
    s += line("X-KDE-RequiredNumberOfUrls", "1");
    // The program is given a local path; remote folders have none.
    s += line("X-KDE-Protocols", "file");
    s += line("TryExec", escape_desktop_value(executable));
    s += mark_line();
    s += "\n[Desktop Action run]\n";
    s += line("Name", v.name);
    s += line("Name[en]", v.name_en);
    s += line("Icon", "orbisto");
    s += line("Exec", verb_exec(executable, v));
    return s;
}

std::string file_manager_action(std::string_view executable, const Verb& v) {
    std::string s = "[Desktop Entry]\n";
    s += line("Type", "Action");
    s += line("Name", v.name);
    s += line("Name[en]", v.name_en);
    s += line("Tooltip", v.comment);
    s += line("Tooltip[en]", v.comment_en);
    s += line("Icon", "orbisto");
    s += line("Profiles", "main;");
    s += mark_line();
    s += "\n[X-Action-Profile main]\n";
    s += line("MimeTypes", v.action_types);
    s += line("SelectionCount", "=1");
    s += line("Exec", verb_exec(executable, v));
    return s;
}

std::string open_with_path(const Verb& v) {
    return std::string("applications/") + v.id + ".desktop";
}
std::string service_menu_path(const Verb& v) {
    return std::string("kio/servicemenus/") + v.id + ".desktop";
}
std::string file_manager_action_path(const Verb& v) {
    return std::string("file-manager/actions/") + v.id + ".desktop";
}

// The installed icon with the mark as a comment after the XML declaration.
std::string marked_icon() {
    std::string svg(program_icon_svg());
    const std::string comment = "<!-- " + std::string(kGeneratedMark) + " -->\n";
    const auto decl_end = svg.starts_with("<?xml") ? svg.find("?>") : std::string::npos;
    if (decl_end == std::string::npos) return comment + svg;
    const auto after = svg.find('\n', decl_end);
    svg.insert(after == std::string::npos ? svg.size() : after + 1, comment);
    return svg;
}

}  // namespace

std::string quote_exec_argument(std::string_view arg) {
    // The characters that must be quoted in a desktop entry's Exec line.
    constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    const bool quote = arg.empty() || arg.find_first_of(kReserved) != std::string_view::npos;
    std::string out;
    if (quote) out += '"';
    for (const char c : arg) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
        out += c;
        if (c == '%') out += '%';
    }
    if (quote) out += '"';
    return out;
}

std::string escape_desktop_value(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == ' ' && i == 0) {
            out += "\\s";
        } else {
            out += c;
        }
    }
    return out;
}

std::string unusable_program_path(std::string_view executable) {
    if (executable.empty() || executable.front() != '/') return "not an absolute path";
    if (!is_valid_utf8(executable)) return "not valid UTF-8";
    for (const char c : executable) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) return "holds a control character";
        // Written as "%%" it is correct, but GLib looks for the program
        // under the unexpanded name and refuses the entry.
        if (c == '%') return "holds '%', which desktop launchers do not read alike";
    }
    return {};
}

std::vector<DesktopFile> desktop_files_for(ShellSetting setting, std::string_view executable) {
    std::vector<DesktopFile> files;
    if (setting == ShellSetting::AppPath) {
        files.push_back({kAppEntry, app_entry(executable), false});
        files.push_back({kIconFile, marked_icon(), false});
        return files;
    }
    for (const Verb& v : kVerbs) {
        if (v.setting != setting) continue;
        if (v.open_with_types) files.push_back({open_with_path(v), open_with_entry(executable, v)});
        files.push_back({service_menu_path(v), service_menu(executable, v), true});
        files.push_back({file_manager_action_path(v), file_manager_action(executable, v), false});
    }
    return files;
}

std::vector<std::string> desktop_file_paths(ShellSetting setting) {
    std::vector<std::string> paths;
    for (DesktopFile& f : desktop_files_for(setting, "/"))
        paths.push_back(std::move(f.relative_path));
    return paths;
}

std::string_view program_icon_svg() {
    return kProgramIconSvg;
}

}  // namespace orbisto::app
