#include "settings/command_line.h"

#include <array>
#include <optional>

namespace orbisto {
namespace {

// An option of either syntax, as found on the command line.
struct Occurrence {
    std::string name;  // canonical name without prefix, e.g. "drive"
    std::string argument;
    bool has_argument = false;
};

struct OptionDef {
    const char* name;
    bool takes_argument;
};

// Classic options are matched by prefix at the start of a word, so the
// longer names come before any name that is a prefix of them.
constexpr std::array<OptionDef, 15> kOptions = {{
    {"drive", true},
    {"update", true},
    {"ssearch", true},
    {"search", true},
    {"slook", false},
    {"look", false},
    {"export", false},
    {"label", true},
    {"info", true},
    {"dir", true},
    {"hide", false},
    {"force", false},
    {"progress", false},
    {"help", false},
    {"version", false},
}};

const OptionDef* find_long(std::string_view name) {
    for (const auto& o : kOptions) {
        if (name == o.name) return &o;
    }
    return nullptr;
}

// A help request among the arguments of a headless command: the word
// "/help" or "--help" before a "--" that ends the command's options.
void find_help_among(const std::vector<std::string>& words, size_t from, CommandLine& cl) {
    for (size_t i = from; i < words.size() && words[i] != "--"; ++i) {
        if (words[i] == "/help") cl.help = true;
        if (words[i] == "--help") cl.help = cl.long_help = true;
    }
}

const OptionDef* find_classic(std::string_view word) {
    for (const auto& o : kOptions) {
        // Long forms only.
        if (std::string_view(o.name) == "version" || std::string_view(o.name) == "progress")
            continue;
        if (word.starts_with(o.name)) return &o;
    }
    return nullptr;
}

}  // namespace

bool is_interactive(RunMode mode) {
    return mode != RunMode::ScanNew && mode != RunMode::Update && mode != RunMode::Export;
}

CommandLine parse_command_line(const std::vector<std::string>& args) {
    CommandLine cl;
    std::vector<Occurrence> found;
    // Help stands before anything else, usage errors included: the first
    // error is kept while the rest of the line is still read for a help
    // request.
    std::string error, error_de;
    const auto fail = [&](std::string en, std::string de) {
        if (error.empty()) {
            error = std::move(en);
            error_de = std::move(de);
        }
    };

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& w = args[i];
        if (!cl.command.empty()) break;
        if (w.starts_with("--")) {
            std::string name = w.substr(2);
            std::optional<std::string> value;
            if (const auto eq = name.find('='); eq != std::string::npos) {
                value = name.substr(eq + 1);
                name.resize(eq);
            }
            const OptionDef* def = find_long(name);
            if (!def) {
                fail("unknown option --" + name, "unbekannte Option --" + name);
                continue;
            }
            Occurrence occ{def->name, {}, false};
            if (def->takes_argument) {
                if (!value) {
                    if (i + 1 >= args.size()) {
                        fail("option --" + name + " needs an argument",
                             "Option --" + name + " braucht ein Argument");
                        continue;
                    }
                    value = args[++i];
                }
                occ.argument = *value;
                occ.has_argument = true;
            } else if (value) {
                fail("option --" + name + " takes no argument",
                     "Option --" + name + " nimmt kein Argument");
                continue;
            }
            if (occ.name == "help") cl.help = cl.long_help = true;
            found.push_back(std::move(occ));
        } else if (w.starts_with("/") && find_classic(std::string_view(w).substr(1))) {
            const OptionDef* def = find_classic(std::string_view(w).substr(1));
            Occurrence occ{def->name, {}, false};
            if (def->takes_argument) {
                std::string_view rest =
                    std::string_view(w).substr(1 + std::string_view(def->name).size());
                if (!rest.empty() && rest.front() == '"') {
                    // Classic form: the text between the quote that follows the
                    // name and the next quote.
                    rest.remove_prefix(1);
                    if (const auto q = rest.find('"'); q != std::string_view::npos)
                        rest = rest.substr(0, q);
                    occ.argument = std::string(rest);
                    occ.has_argument = true;
                } else if (!rest.empty()) {
                    // The shell has stripped the quotes: the rest of the word.
                    occ.argument = std::string(rest);
                    occ.has_argument = true;
                } else if (std::string_view(def->name) != "label" &&
                           std::string_view(def->name) != "info" && i + 1 < args.size()) {
                    // "/drive PATH": the next word. /label and /info without
                    // a text right behind them are ignored.
                    occ.argument = args[++i];
                    occ.has_argument = true;
                }
            }
            if (occ.name == "help") cl.help = true;
            found.push_back(std::move(occ));
        } else if (w.starts_with("-") || w.starts_with("/")) {
            fail("unknown option " + w, "unbekannte Option " + w);
        } else {
            cl.command = w;
            find_help_among(args, i + 1, cl);
            // The catalogue directory may also follow the command's own
            // words ("find readme --dir X"); "--" ends the options.
            for (size_t j = i + 1; j < args.size(); ++j) {
                const std::string& a = args[j];
                if (a == "--") {
                    cl.command_args.insert(cl.command_args.end(),
                                           args.begin() + static_cast<long>(j), args.end());
                    break;
                }
                if (a == "--dir" && j + 1 < args.size()) {
                    found.push_back({"dir", args[++j], true});
                } else if (a.starts_with("--dir=")) {
                    found.push_back({"dir", a.substr(6), true});
                } else {
                    cl.command_args.push_back(a);
                }
            }
        }
    }
    if (cl.help) return cl;
    if (!error.empty()) {
        cl.error = std::move(error);
        cl.error_de = std::move(error_de);
        return cl;
    }

    auto first = [&](std::string_view name) -> const Occurrence* {
        for (const auto& o : found) {
            if (o.name == name) return &o;
        }
        return nullptr;
    };

    cl.version = first("version") != nullptr;
    cl.hide = first("hide") != nullptr;
    cl.force = first("force") != nullptr;
    cl.progress = first("progress") != nullptr;
    if (const auto* o = first("label"); o && o->has_argument) {
        cl.label_given = true;
        cl.label = cut_stored(o->argument, kLabelCapacity);
    }
    if (const auto* o = first("info"); o && o->has_argument) {
        cl.info_given = true;
        cl.info = cut_stored(o->argument, kInfoCapacity);
    }
    if (const auto* o = first("dir")) {
        if (!o->has_argument || o->argument.empty()) {
            cl.error = "/dir needs a directory";
            cl.error_de = "/dir braucht ein Verzeichnis";
            return cl;
        }
        cl.dir_given = true;
        cl.dir = cut_utf8(o->argument, kDirCapacity);
        cl.run_mode = RunMode::InteractiveDir;
    }

    static constexpr std::pair<const char*, RunMode> kModes[] = {
        {"drive", RunMode::ScanNew}, {"update", RunMode::Update},
        {"search", RunMode::Search}, {"ssearch", RunMode::SearchCategory},
        {"look", RunMode::Look},     {"slook", RunMode::LookCategory},
        {"export", RunMode::Export},
    };
    // A scan of a new medium and an update of an old one are two different
    // things to do: given both, which one was meant is not known.
    if (first("drive") && first("update")) {
        cl.error = "--drive and --update exclude each other";
        cl.error_de =
            "--drive und --update schlie\xC3\x9F"
            "en einander aus";
        return cl;
    }
    for (const auto& [name, mode] : kModes) {
        const Occurrence* o = first(name);
        if (!o) continue;
        cl.run_mode = mode;
        if (mode == RunMode::ScanNew || mode == RunMode::Update || mode == RunMode::Search ||
            mode == RunMode::SearchCategory) {
            if (!o->has_argument || o->argument.empty()) {
                cl.error = std::string("/") + name + " needs an argument";
                cl.error_de = std::string("/") + name + " braucht ein Argument";
                return cl;
            }
            // Paths are kept whole: a path cut short would name another place.
            cl.run_argument = (mode == RunMode::Search || mode == RunMode::SearchCategory)
                                  ? cut_utf8(o->argument, kSearchCapacity)
                                  : o->argument;
        }
        break;
    }
    return cl;
}

std::string help_text() {
    const std::string hyphens(26, '-');
    return hyphens + "\r\n" + "Orbisto Kommandozeilenoptionen\r\n" + hyphens + "\r\n" +
           "/drive\"C:\" liest Laufwerk C ein und beendet sich danach.\r\n"
           "/label\"Label\" setzt den Mediumnamen auf Label. Wirkt nur im Zusammenhang mit "
           "/drive.\r\n"
           "/info\"Informationen\" setzt ddie Kurzinformationen. Wirkt nur im Zusammenhang mit "
           "/drive.\r\n"
           "/dir\"C:\\Verzeichnis\\CDS\\\" setzt den Pfad f\xC3\xBCr die Orbisto-Datenbank auf das "
           "angegebene Verzeichnis.\r\n";
}

std::string long_help_text() {
    return "\n"
           "Usage: orbisto [OPTION]... [COMMAND [ARGS]...]\n"
           "\n"
           "Run modes (the first one given wins, in this order):\n"
           "  --drive PATH      scan PATH as a new medium, store it and exit\n"
           "  --update PATH     rescan the medium in PATH under its old number and exit\n"
           "  --search TEXT     start and search all media for the file name in TEXT\n"
           "  --ssearch TEXT    the same within the remembered search category\n"
           "  --look            start with the search dialog open\n"
           "  --slook           the same in the last category and date range\n"
           "  --export          run the stored output settings and exit\n"
           "Options:\n"
           "  --label TEXT      medium name for --drive/--update (30 characters)\n"
           "  --info TEXT       medium description for --drive when none was found\n"
           "  --dir PATH        catalogue directory\n"
           "  --hide            hide the window during long operations\n"
           "  --force           let --export replace an existing output file\n"
           "  --progress        show a scan's progress also when standard error is no terminal\n"
           "  --help            this text\n"
           "  --version         the program version\n"
           "The classic forms /drive\"PATH\", /label\"TEXT\", ... are understood as well.\n"
           "Environment: ORBISTO_HOME makes a run self-contained in that directory.\n";
}

}  // namespace orbisto
