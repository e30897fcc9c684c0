// Window placements and dialog positions, each in a section of its own.
//
// Declared in settings/settings_io.h
// (one header for every group of the settings file, one file per group).
#include "settings/environment.h"
#include "settings/settings_io.h"
#include "settings/settings_keys.h"

namespace orbisto {

using settings_detail::IntKey;

namespace {

// The bottom edge is written as "unten"; lookups ignore case, so files that
// spell it "Unten" read the same.
constexpr IntKey<WindowPlacement> kPlacementKeys[] = {
    {"Flags", &WindowPlacement::Flags},   {"ShowCmd", &WindowPlacement::ShowCmd},
    {"XMin", &WindowPlacement::XMin},     {"YMin", &WindowPlacement::YMin},
    {"XMax", &WindowPlacement::XMax},     {"YMax", &WindowPlacement::YMax},
    {"Links", &WindowPlacement::Links},   {"Oben", &WindowPlacement::Oben},
    {"Rechts", &WindowPlacement::Rechts}, {"unten", &WindowPlacement::Unten},
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
    if (p.ShowCmd == kShowMinimize || p.ShowCmd == kShowMinimized) p.ShowCmd = kShow;
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
