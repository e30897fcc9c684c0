// The start and display state: section "Optionen" (view state), the column
// widths of the four list views in both layouts, and the list font.
//
// Declared in settings/settings_io.h
// (one header for every group of the settings file, one file per group).
#include "settings/environment.h"
#include "settings/settings_io.h"
#include "settings/settings_keys.h"

namespace orbisto {

using settings_detail::IntKey;

namespace {

constexpr const char* kFont = "Font";

constexpr IntKey<StartState> kStateKeys[] = {
    {"Preview", &StartState::Preview},
    {"nicht fragen", &StartState::nicht_fragen},
    {"Letztes Laufwerk", &StartState::Letztes_Laufwerk},
    {"LetzteCD", &StartState::LetzteCD},
    {"LetzteKategorie", &StartState::LetzteKategorie},
    {"ShowMedienliste", &StartState::ShowMedienliste},
    {"Split", &StartState::Split},
    {"Split3", &StartState::Split3},
    {"TreeFull", &StartState::TreeFull},
    {"TreePrev", &StartState::TreePrev},
    {"sorting", &StartState::sorting},
};

// Written when the window closes but not read at start.
constexpr IntKey<StartState> kStateWriteOnly[] = {
    {"ShowCRC", &StartState::ShowCRC},
    {"Darstellung", &StartState::Darstellung},
};

// Height comes first: the others are read only when it is not -1.
constexpr IntKey<FontSettings> kFontRest[] = {
    {"With", &FontSettings::With},
    {"Escapement", &FontSettings::Escapement},
    {"Orientation", &FontSettings::Orientation},
    {"Weight", &FontSettings::Weight},
    {"Italic", &FontSettings::Italic},
    {"Underline", &FontSettings::Underline},
    {"StrikeOut", &FontSettings::StrikeOut},
    {"CharSet", &FontSettings::CharSet},
    {"OutPrecision", &FontSettings::OutPrecision},
    {"ClipPrecision", &FontSettings::ClipPrecision},
    {"Quality", &FontSettings::Quality},
    {"PitchAndFamily", &FontSettings::PitchAndFamily},
};

std::string column_key(const char* prefix, size_t i) {
    return prefix + std::to_string(i + 1);
}

template <size_t N>
void read_columns(const IniFile& ini, const char* section, ColumnWidths<N>& c) {
    for (size_t i = 0; i < N; ++i) {
        c.Spalte[i] = ini.get_int(section, column_key("Spalte", i), c.Spalte[i]);
    }
    for (size_t i = 0; i < N; ++i) {
        c.bSpalte[i] = ini.get_int(section, column_key("bSpalte", i), c.bSpalte[i]);
    }
}

template <size_t N>
void write_columns(IniFile& ini, const char* section, const ColumnWidths<N>& c) {
    for (size_t i = 0; i < N; ++i) ini.set_int(section, column_key("Spalte", i), c.Spalte[i]);
    for (size_t i = 0; i < N; ++i) ini.set_int(section, column_key("bSpalte", i), c.bSpalte[i]);
}

ColumnSettings read_all_columns(const IniFile& ini) {
    ColumnSettings c;
    read_columns(ini, "Anzeige", c.Anzeige);
    read_columns(ini, "Ergebnis", c.Ergebnis);
    read_columns(ini, "Start", c.Start);
    read_columns(ini, "Liste", c.Liste);
    return c;
}

FontSettings read_font(const IniFile& ini) {
    FontSettings f;
    f.Height = ini.get_int(kFont, "Height", -1);
    if (f.Height == -1) return f;
    settings_detail::read_ints(ini, kFont, kFontRest, f);
    f.FaceName = ini.get_string(kFont, "FaceName", "", kFaceNameBufferSize);
    return f;
}

}  // namespace

void read_start_state(Environment& ctx) {
    using namespace settings_detail;
    const IniFile ini = IniFile::load_or_empty(ctx.paths.settings_file);
    StartState s;
    read_ints(ini, kSectionOptions, kStateKeys, s);
    if (ctx.settings.options.Reload == 0) {
        s.LetzteCD = 0;
        s.LetzteKategorie = 0;
    }
    ctx.settings.state = s;
    ctx.settings.columns = read_all_columns(ini);
    ctx.settings.font = read_font(ini);
    ctx.settings.freeDB = read_freedb(ini);
}

bool write_start_state(Environment& ctx) {
    using namespace settings_detail;
    const Settings& st = ctx.settings;
    return write_profile_group(ctx, ctx.paths.settings_file, [&](IniFile& ini) {
        const char* sec = kSectionOptions;
        write_ints(ini, sec, kStateKeys, st.state);
        ini.set_int(sec, "SubKat", st.options.SubKat);
        ini.set_int(sec, "beschreibung", st.options.beschreibung);
        write_ints(ini, sec, kStateWriteOnly, st.state);
        ini.set_int(sec, "AllesAnzeigen", 0);
        write_columns(ini, "Anzeige", st.columns.Anzeige);
        write_columns(ini, "Ergebnis", st.columns.Ergebnis);
        write_columns(ini, "Start", st.columns.Start);
        write_columns(ini, "Liste", st.columns.Liste);
        ini.set_int(kFont, "Height", st.font.Height);
        write_ints(ini, kFont, kFontRest, st.font);
        ini.set(kFont, "FaceName", cut_utf8(st.font.FaceName, kFaceNameBufferSize - 1));
    });
}

}  // namespace orbisto
