// Window placements and dialog positions, each in a section of its own.
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

// The bottom edge is written as "unten"; lookups ignore case, so files that
// spell it "Unten" read the same.
constexpr IntKey<WindowPlacement> kPlacementKeys[] = {
    int_key<&WindowPlacement::flags>("Flags"),  int_key<&WindowPlacement::show_cmd>("ShowCmd"),
    int_key<&WindowPlacement::min_x>("XMin"),   int_key<&WindowPlacement::min_y>("YMin"),
    int_key<&WindowPlacement::max_x>("XMax"),   int_key<&WindowPlacement::max_y>("YMax"),
    int_key<&WindowPlacement::left>("Links"),   int_key<&WindowPlacement::top>("Oben"),
    int_key<&WindowPlacement::right>("Rechts"), int_key<&WindowPlacement::bottom>("unten"),
};

constexpr int kShowMinimized = 2;
constexpr int kShowMinimize = 6;
constexpr int kShow = 5;

}  // namespace

WindowPlacement read_placement(Environment& ctx, const std::string& section) {
    const IniFile ini = IniFile::load_or_empty(ctx.paths.settings_file);
    WindowPlacement p;
    settings_detail::read_ints(ini, section.c_str(), kPlacementKeys, p);
    // A window is never restored minimised.
    if (p.show_cmd == kShowMinimize || p.show_cmd == kShowMinimized) p.show_cmd = kShow;
    return p;
}

bool write_placement(Environment& ctx, const std::string& section, const WindowPlacement& values) {
    return write_profile_group(ctx, ctx.paths.settings_file, [&](IniFile& ini) {
        settings_detail::write_ints(ini, section.c_str(), kPlacementKeys, values);
    });
}

DialogPos read_dialog_pos(Environment& ctx, const std::string& section) {
    const IniFile ini = IniFile::load_or_empty(ctx.paths.settings_file);
    return DialogPos{ini.get_int(section, "X", 10), ini.get_int(section, "Y", 10)};
}

bool write_dialog_pos(Environment& ctx, const std::string& section, DialogPos pos) {
    return write_profile_group(ctx, ctx.paths.settings_file, [&](IniFile& ini) {
        ini.set_int(section, "X", pos.x);
        ini.set_int(section, "Y", pos.y);
    });
}

}  // namespace orbisto
