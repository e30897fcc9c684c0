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

using settings_detail::IntKey;

namespace {

constexpr const char* kOutput = "Ausgabe";
constexpr const char* kSearch = "Suche";

constexpr IntKey<OutputSettings> kOutputKeysA[] = {
    {"Was", &OutputSettings::Was},
    {"Wie", &OutputSettings::Wie},
    {"Womit", &OutputSettings::Womit},
    {"anhaengen", &OutputSettings::anhaengen},
    {"FF", &OutputSettings::FF},
    {"Header", &OutputSettings::Header},
    {"Root", &OutputSettings::Root},
    {"Dir", &OutputSettings::Dir},
    {"CSV-Liste", &OutputSettings::CSV_Liste},
    {"einzeilig", &OutputSettings::einzeilig},
    {"LinkerRand", &OutputSettings::LinkerRand},
};

// Datei comes between these tables.
constexpr IntKey<OutputSettings> kOutputKeysB[] = {
    {"Ort", &OutputSettings::Ort},
    {"CD", &OutputSettings::CD},
    {"Name", &OutputSettings::Name},
    {"Erweiterung", &OutputSettings::Erweiterung},
    {"Laenge", &OutputSettings::Laenge},
    {"Datum", &OutputSettings::Datum},
    {"Pfad", &OutputSettings::Pfad},
    {"Kommentar", &OutputSettings::Kommentar},
    {"Hersteller", &OutputSettings::Hersteller},
    {"Lieferant", &OutputSettings::Lieferant},
    {"Nummer", &OutputSettings::Nummer},
    {"Preis", &OutputSettings::Preis},
    {"Info", &OutputSettings::Info},
    {"Letzte Änderung", &OutputSettings::Letzte_Aenderung},
    {"Kategorie", &OutputSettings::Kategorie},
    {"frei", &OutputSettings::frei},
    {"Unterkategorie", &OutputSettings::Unterkategorie},
    {"Filter", &OutputSettings::Filter},
    {"Filtermodus", &OutputSettings::Filtermodus},
    {"NurKommentar", &OutputSettings::NurKommentar},
    {"GrossKlein", &OutputSettings::GrossKlein},
    {"MaxLevel", &OutputSettings::MaxLevel},
};

constexpr IntKey<SearchSettings> kSearchKeys[] = {
    {"Suchbereich", &SearchSettings::Suchbereich},
    {"SuchJahr1", &SearchSettings::SuchJahr1},
    {"SuchMonat1", &SearchSettings::SuchMonat1},
    {"SuchTag1", &SearchSettings::SuchTag1},
    {"SuchJahr2", &SearchSettings::SuchJahr2},
    {"SuchMonat2", &SearchSettings::SuchMonat2},
    {"SuchTag2", &SearchSettings::SuchTag2},
    {"Automatik", &SearchSettings::Automatik},
    {"Info", &SearchSettings::Info},
    {"GrossKlein", &SearchSettings::GrossKlein},
    {"SuchModus", &SearchSettings::SuchModus},
    {"FuzzyToleranz", &SearchSettings::FuzzyToleranz},
    {"FuzzyTreffer", &SearchSettings::FuzzyTreffer},
    {"MaxFehler", &SearchSettings::MaxFehler},
    {"Flag", &SearchSettings::Flag},
    {"Kategorie", &SearchSettings::Kategorie},
    {"Unterkategorien", &SearchSettings::Unterkategorien},
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
    o.Datei = ini.get_string(kOutput, "Datei", o.Datei, kPathBufferSize);
    read_ints(ini, kOutput, kOutputKeysB, o);
    read_history(ini, kOutput, o.Begriff);
    ctx.settings.output = std::move(o);
}

bool write_output(Environment& ctx) {
    using namespace settings_detail;
    const OutputSettings& o = ctx.settings.output;
    return write_profile_group(ctx, ctx.paths.settings_file, [&](IniFile& ini) {
        write_ints(ini, kOutput, kOutputKeysA, o);
        ini.set(kOutput, "Datei", cut_utf8(o.Datei, kPathBufferSize - 1));
        write_ints(ini, kOutput, kOutputKeysB, o);
        write_history(ini, kOutput, o.Begriff);
    });
}

void read_search(Environment& ctx) {
    using namespace settings_detail;
    const IniFile ini = IniFile::load_or_empty(ctx.paths.settings_file);
    SearchSettings s;
    const Date d = today();
    s.SuchJahr1 = s.SuchJahr2 = d.year;
    s.SuchMonat1 = s.SuchMonat2 = d.month;
    s.SuchTag1 = s.SuchTag2 = d.day;
    read_ints(ini, kSearch, kSearchKeys, s);
    // Both are 16-bit values in the file format.
    s.Kategorie = static_cast<std::uint16_t>(s.Kategorie);
    s.Unterkategorien = static_cast<std::uint16_t>(s.Unterkategorien);
    read_history(ini, kSearch, s.Begriff);
    ctx.settings.search = std::move(s);
}

bool write_search(Environment& ctx) {
    using namespace settings_detail;
    const SearchSettings& s = ctx.settings.search;
    return write_profile_group(ctx, ctx.paths.settings_file, [&](IniFile& ini) {
        write_ints(ini, kSearch, kSearchKeys, s);
        write_history(ini, kSearch, s.Begriff);
    });
}

}  // namespace orbisto
