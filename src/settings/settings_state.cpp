// The start and display state: section "Optionen" (view state), the column
// widths of the four list views in both layouts, and the list font.
//
// Declared in settings/settings_io.h
// (one header for every group of the settings file, one file per group).
#include "settings/environment.h"
#include "settings/settings_io.h"
#include "settings/settings_keys.h"

namespace orbisto {

using settings_detail::int_key;
using settings_detail::IntKey;
using settings_detail::OnWhen;

namespace {

constexpr const char* kFont = "Font";

constexpr IntKey<StartState> kStateKeys[] = {
    int_key<&StartState::show_preview>("Preview"),
    int_key<&StartState::never_ask_drive, OnWhen::One>("nicht fragen"),
    int_key<&StartState::last_drive>("Letztes Laufwerk"),
    int_key<&StartState::last_catalog>("LetzteCD"),
    int_key<&StartState::last_category>("LetzteKategorie"),
    int_key<&StartState::show_media_list>("ShowMedienliste"),
    int_key<&StartState::split_percent>("Split"),
    int_key<&StartState::split3_percent>("Split3"),
    int_key<&StartState::tree_full_percent>("TreeFull"),
    int_key<&StartState::tree_preview_percent>("TreePrev"),
    int_key<&StartState::sorting>("sorting"),
};

// Written when the window closes but not read at start.
constexpr IntKey<StartState> kStateWriteOnly[] = {
    int_key<&StartState::show_crc>("ShowCRC"),
    int_key<&StartState::list_view_style>("Darstellung"),
};

// Height comes first: the others are read only when it is not -1.
constexpr IntKey<FontSettings> kFontRest[] = {
    int_key<&FontSettings::width>("With"),
    int_key<&FontSettings::escapement>("Escapement"),
    int_key<&FontSettings::orientation>("Orientation"),
    int_key<&FontSettings::weight>("Weight"),
    int_key<&FontSettings::italic>("Italic"),
    int_key<&FontSettings::underline>("Underline"),
    int_key<&FontSettings::strike_out>("StrikeOut"),
    int_key<&FontSettings::char_set>("CharSet"),
    int_key<&FontSettings::out_precision>("OutPrecision"),
    int_key<&FontSettings::clip_precision>("ClipPrecision"),
    int_key<&FontSettings::quality>("Quality"),
    int_key<&FontSettings::pitch_and_family>("PitchAndFamily"),
};

std::string column_key(const char* prefix, size_t i) {
    return prefix + std::to_string(i + 1);
}

template <size_t N>
void read_columns(const IniFile& ini, const char* section, ColumnWidths<N>& c) {
    for (size_t i = 0; i < N; ++i) {
        c.normal[i] = ini.get_int(section, column_key("Spalte", i), c.normal[i]);
    }
    for (size_t i = 0; i < N; ++i) {
        c.description_layout[i] =
            ini.get_int(section, column_key("bSpalte", i), c.description_layout[i]);
    }
}

template <size_t N>
void write_columns(IniFile& ini, const char* section, const ColumnWidths<N>& c) {
    for (size_t i = 0; i < N; ++i) ini.set_int(section, column_key("Spalte", i), c.normal[i]);
    for (size_t i = 0; i < N; ++i) {
        ini.set_int(section, column_key("bSpalte", i), c.description_layout[i]);
    }
}

ColumnSettings read_all_columns(const IniFile& ini) {
    ColumnSettings c;
    read_columns(ini, "Anzeige", c.files);
    read_columns(ini, "Ergebnis", c.results);
    read_columns(ini, "Start", c.start);
    read_columns(ini, "Liste", c.media_list);
    return c;
}

FontSettings read_font(const IniFile& ini) {
    FontSettings f;
    f.height = ini.get_int(kFont, "Height", -1);
    if (f.height == -1) return f;
    settings_detail::read_ints(ini, kFont, kFontRest, f);
    f.face_name = ini.get_string(kFont, "FaceName", "", kFaceNameBufferSize);
    return f;
}

}  // namespace

void read_start_state(Environment& ctx) {
    using namespace settings_detail;
    const IniFile ini = IniFile::load_or_empty(ctx.paths.settings_file);
    StartState s;
    read_ints(ini, kSectionOptions, kStateKeys, s);
    if (!ctx.settings.options.reload_last) {
        s.last_catalog = 0;
        s.last_category = 0;
    }
    ctx.settings.state = s;
    ctx.settings.columns = read_all_columns(ini);
    ctx.settings.font = read_font(ini);
    ctx.settings.freedb = read_freedb(ini);
}

bool write_start_state(Environment& ctx) {
    using namespace settings_detail;
    const Settings& st = ctx.settings;
    return write_profile_group(ctx, ctx.paths.settings_file, [&](IniFile& ini) {
        const char* sec = kSectionOptions;
        write_ints(ini, sec, kStateKeys, st.state);
        ini.set_int(sec, "SubKat", st.options.include_subcategories ? 1 : 0);
        ini.set_int(sec, "beschreibung", st.options.description_layout ? 1 : 0);
        write_ints(ini, sec, kStateWriteOnly, st.state);
        ini.set_int(sec, "AllesAnzeigen", 0);
        write_columns(ini, "Anzeige", st.columns.files);
        write_columns(ini, "Ergebnis", st.columns.results);
        write_columns(ini, "Start", st.columns.start);
        write_columns(ini, "Liste", st.columns.media_list);
        ini.set_int(kFont, "Height", st.font.height);
        write_ints(ini, kFont, kFontRest, st.font);
        ini.set(kFont, "FaceName", cut_utf8(st.font.face_name, kFaceNameBufferSize - 1));
    });
}

}  // namespace orbisto
