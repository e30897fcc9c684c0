// The output group (section "Ausgabe") and the search group (section
// "Suche"), each with a history of ten search terms.
//
// Declared in settings/settings_io.h
// (one header for every group of the settings file, one file per group).
#include <cstdint>
#include <ctime>

#include "settings/environment.h"
#include "settings/settings_io.h"
#include "settings/settings_keys.h"

namespace orbisto {

using settings_detail::int_key;
using settings_detail::IntKey;
using settings_detail::OnWhen;

namespace {

constexpr const char* kOutput = "Ausgabe";
constexpr const char* kSearch = "Suche";
// Follows the search keys; a 16-bit number in the file format.
constexpr const char* kSubcategories = "Unterkategorien";

constexpr IntKey<OutputSettings> kOutputKeysA[] = {
    int_key<&OutputSettings::scope>("Was"),
    int_key<&OutputSettings::format>("Wie"),
    int_key<&OutputSettings::target>("Womit"),
    int_key<&OutputSettings::append>("anhaengen"),
    int_key<&OutputSettings::form_feed>("FF"),
    int_key<&OutputSettings::header>("Header"),
    int_key<&OutputSettings::root_only>("Root"),
    int_key<&OutputSettings::dirs_only>("Dir"),
    int_key<&OutputSettings::media_list_csv>("CSV-Liste"),
    int_key<&OutputSettings::one_line>("einzeilig"),
    int_key<&OutputSettings::left_margin>("LinkerRand"),
};

// The output file name comes between these tables.
constexpr IntKey<OutputSettings> kOutputKeysB[] = {
    int_key<&OutputSettings::show_place>("Ort"),
    int_key<&OutputSettings::show_medium_name>("CD"),
    int_key<&OutputSettings::show_name>("Name"),
    int_key<&OutputSettings::show_extension>("Erweiterung"),
    int_key<&OutputSettings::show_size>("Laenge"),
    int_key<&OutputSettings::show_date>("Datum"),
    int_key<&OutputSettings::show_path>("Pfad"),
    int_key<&OutputSettings::show_comment>("Kommentar"),
    int_key<&OutputSettings::show_manufacturer>("Hersteller"),
    int_key<&OutputSettings::show_supplier>("Lieferant"),
    int_key<&OutputSettings::show_order_number>("Nummer"),
    int_key<&OutputSettings::show_price>("Preis"),
    int_key<&OutputSettings::show_medium_info>("Info"),
    int_key<&OutputSettings::show_last_change>("Letzte Änderung"),
    int_key<&OutputSettings::show_category>("Kategorie"),
    int_key<&OutputSettings::show_free_space>("frei"),
    int_key<&OutputSettings::include_subcategories>("Unterkategorie"),
    int_key<&OutputSettings::use_filter>("Filter"),
    int_key<&OutputSettings::filter>("Filtermodus"),
    int_key<&OutputSettings::only_with_comment>("NurKommentar"),
    int_key<&OutputSettings::ignore_case>("GrossKlein"),
    int_key<&OutputSettings::max_level>("MaxLevel"),
};

// The text encoding of text and CSV files: 0 UTF-8, 1 Windows-1252 (any
// other number keeps UTF-8). Written only once it was switched on, so a
// settings file that never used it keeps its bytes.
constexpr const char* kTextEncoding = "Zeichensatz";

// The PDF file the printer target prints into (empty: the default
// printer); written, like the encoding, only once it was set.
constexpr const char* kPrintFile = "Druckdatei";

constexpr IntKey<SearchSettings> kSearchKeys[] = {
    int_key<&SearchSettings::scope>("Suchbereich"),
    int_key<&SearchSettings::from_year>("SuchJahr1"),
    int_key<&SearchSettings::from_month>("SuchMonat1"),
    int_key<&SearchSettings::from_day>("SuchTag1"),
    int_key<&SearchSettings::to_year>("SuchJahr2"),
    int_key<&SearchSettings::to_month>("SuchMonat2"),
    int_key<&SearchSettings::to_day>("SuchTag2"),
    int_key<&SearchSettings::automatic, OnWhen::One>("Automatik"),
    int_key<&SearchSettings::info>("Info"),
    int_key<&SearchSettings::ignore_case, OnWhen::One>("GrossKlein"),
    int_key<&SearchSettings::mode>("SuchModus"),
    int_key<&SearchSettings::fuzzy_tolerance>("FuzzyToleranz"),
    int_key<&SearchSettings::similarity_threshold>("FuzzyTreffer"),
    int_key<&SearchSettings::max_errors>("MaxFehler"),
    int_key<&SearchSettings::flags>("Flag"),
    int_key<&SearchSettings::category>("Kategorie"),
};

std::string history_key(size_t i) {
    return "Begriff" + std::to_string(i);
}

void read_history(const IniFile& ini, const char* section,
                  std::array<std::string, kHistoryEntries>& history) {
    for (size_t i = 0; i < history.size(); ++i) {
        history[i] = ini.get_string(section, history_key(i), "", kHistoryBufferSize);
    }
}

void write_history(IniFile& ini, const char* section,
                   const std::array<std::string, kHistoryEntries>& history) {
    for (size_t i = 0; i < history.size(); ++i) {
        ini.set(section, history_key(i), cut_utf8(history[i], kHistoryBufferSize - 1));
    }
}

}  // namespace

namespace settings_detail {

Date today() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

}  // namespace settings_detail

void read_output(Environment& ctx) {
    using namespace settings_detail;
    const IniFile ini = IniFile::load_or_empty(ctx.paths.settings_file);
    OutputSettings o;
    read_ints(ini, kOutput, kOutputKeysA, o);
    o.file_name = ini.get_string(kOutput, "Datei", o.file_name, kPathBufferSize);
    read_ints(ini, kOutput, kOutputKeysB, o);
    o.windows1252_text = ini.get_int(kOutput, kTextEncoding, 0) == 1;
    o.print_file = ini.get_string(kOutput, kPrintFile, "", kPathBufferSize);
    read_history(ini, kOutput, o.history);
    ctx.settings.output = std::move(o);
}

bool write_output(Environment& ctx) {
    using namespace settings_detail;
    const OutputSettings& o = ctx.settings.output;
    return write_profile_group(ctx, ctx.paths.settings_file, [&](IniFile& ini) {
        write_ints(ini, kOutput, kOutputKeysA, o);
        ini.set(kOutput, "Datei", cut_utf8(o.file_name, kPathBufferSize - 1));
        write_ints(ini, kOutput, kOutputKeysB, o);
        if (o.windows1252_text || ini.has_key(kOutput, kTextEncoding)) {
            ini.set_int(kOutput, kTextEncoding, o.windows1252_text ? 1 : 0);
        }
        if (!o.print_file.empty() || ini.has_key(kOutput, kPrintFile)) {
            ini.set(kOutput, kPrintFile, cut_utf8(o.print_file, kPathBufferSize - 1));
        }
        write_history(ini, kOutput, o.history);
    });
}

void read_search(Environment& ctx) {
    using namespace settings_detail;
    const IniFile ini = IniFile::load_or_empty(ctx.paths.settings_file);
    SearchSettings s;
    const Date d = today();
    s.from_year = s.to_year = d.year;
    s.from_month = s.to_month = d.month;
    s.from_day = s.to_day = d.day;
    read_ints(ini, kSearch, kSearchKeys, s);
    // Both are 16-bit values in the file format.
    s.category = static_cast<std::uint16_t>(s.category);
    s.include_subcategories =
        static_cast<std::uint16_t>(ini.get_int(kSearch, kSubcategories, 1)) != 0;
    read_history(ini, kSearch, s.history);
    ctx.settings.search = std::move(s);
}

bool write_search(Environment& ctx) {
    using namespace settings_detail;
    const SearchSettings& s = ctx.settings.search;
    return write_profile_group(ctx, ctx.paths.settings_file, [&](IniFile& ini) {
        write_ints(ini, kSearch, kSearchKeys, s);
        ini.set_int(kSearch, kSubcategories, s.include_subcategories ? 1 : 0);
        write_history(ini, kSearch, s.history);
    });
}

}  // namespace orbisto
