// The option group: section "Optionen" with its companions "freeDB" and
// "Packer".
//
// Declared in settings/settings_io.h
// (one header for every group of the settings file, one file per group).
#include <climits>

#include "settings/environment.h"
#include "settings/settings_io.h"
#include "settings/settings_keys.h"

namespace orbisto {

using settings_detail::IntKey;
using settings_detail::StringKey;

namespace {

constexpr const char* kFreeDb = "freeDB";
constexpr const char* kPacker = "Packer";

// The rows are in the order of the settings file; AutoKat is written first.
constexpr IntKey<Options> kSwitchesA[] = {
    {"AutoKat", &Options::AutoKat},
    {"ShowProtect", &Options::ShowProtect},
    {"AviLengthDirect", &Options::AviLengthDirect},
    {"NoMCI", &Options::NoMCI},
    {"show info", &Options::show_info},
    {"PackerTesten", &Options::PackerTesten},
    {"schoen", &Options::schoen},
    {"SubKat", &Options::SubKat},
    {"FormatNumber", &Options::FormatNumber},
    {"TimeOut", &Options::TimeOut},
    {"NichtLöschen", &Options::NichtLoeschen},
    {"ToolTips", &Options::ToolTips},
    {"Eject", &Options::Eject},
    {"language", &Options::language},
    {"beschreibung", &Options::beschreibung},
    {"Pfad", &Options::Pfad},
    {"Ordner", &Options::Ordner},
    {"Laufwerk", &Options::Laufwerk},
    {"Suchen", &Options::Suchen},
    {"DoppelKlick", &Options::DoppelKlick},
    {"Registry", &Options::Registry},
    {"NurFILES.BBS", &Options::NurFILES_BBS},
    {"OhneFILES.BBS", &Options::OhneFILES_BBS},
};

// MaxSize and MaxHTML come between these tables (stored in KB).
constexpr IntKey<Options> kSwitchesB[] = {
    {"FILE_ID.DIZ", &Options::FILE_ID_DIZ},
    {"ETX", &Options::ETX},
    {"LSM", &Options::LSM},
    {"INDEX", &Options::INDEX},
};

// Selbst1..5 and their texts come before these.
constexpr IntKey<Options> kSwitchesC[] = {
    {"Umlaut", &Options::Umlaut},
    {"CDentpacken", &Options::CDentpacken},
    {"EXE", &Options::EXE},
    {"RPM", &Options::RPM},
    {"ZIP", &Options::ZIP},
    {"ZOO", &Options::ZOO},
    {"LHA", &Options::LHA},
    {"ARJ", &Options::ARJ},
    {"ACE", &Options::ACE},
    {"RAR", &Options::RAR},
    {"UC2", &Options::UC2},
    {"COMPRESS", &Options::COMPRESS},
    {"i5Comp", &Options::i5Comp},
    {"iscab", &Options::iscab},
    {"EXTRACT", &Options::EXTRACT},
    {"UNTGZ", &Options::UNTGZ},
    {"GZ", &Options::GZ},
    {"EXPANDER", &Options::EXPANDER},
    {"mehrzeilig", &Options::mehrzeilig},
    {"Update", &Options::Update},
    {"gepacktSpeichern", &Options::gepacktSpeichern},
    {"Dateiinformationen", &Options::Dateiinformationen},
    {"Bildinformationen", &Options::Bildinformationen},
    {"Thumbnails", &Options::Thumbnails},
    {"ThumbUnd", &Options::ThumbUnd},
    {"ThumbSchnell", &Options::ThumbSchnell},
    {"ThumbQualitaet", &Options::ThumbQualitaet},
    {"ThumbBreite", &Options::ThumbBreite},
    {"ThumbHoehe", &Options::ThumbHoehe},
    {"MinBreite", &Options::MinBreite},
    {"MinHoehe", &Options::MinHoehe},
    {"MaxMem", &Options::MaxMem},
    {"Fontinformationen", &Options::Fontinformationen},
    {"Modinformationen", &Options::Modinformationen},
    {"Soundinformationen", &Options::Soundinformationen},
    {"Multimediainformationen", &Options::Multimediainformationen},
    {"Versionsinformationen", &Options::Versionsinformationen},
    {"FastLoad", &Options::FastLoad},
    {"Reload", &Options::Reload},
};

// CopyPfad and DataPfad come before these.
constexpr IntKey<Options> kSwitchesD[] = {
    {"AlteOption", &Options::AlteOption}, {"Minimize", &Options::Minimize},
    {"Restore", &Options::Restore},       {"Idle", &Options::Idle},
    {"AutoCD", &Options::AutoCD},         {"Disk", &Options::Disk},
    {"AutoScan", &Options::AutoScan},     {"CDonly", &Options::CDonly},
    {"CRC32", &Options::CRC32},           {"LogFile", &Options::LogFile},
    {"Echtzeit", &Options::Echtzeit},
};

constexpr IntKey<FreeDbSettings> kFreeDbInts[] = {
    {"CDDB-Unix", &FreeDbSettings::CDDB_Unix},       {"freeDB", &FreeDbSettings::freeDB},
    {"CD-Text", &FreeDbSettings::CD_Text},           {"LocalfreeDB", &FreeDbSettings::LocalfreeDB},
    {"RemotefreeDB", &FreeDbSettings::RemotefreeDB},
};

constexpr StringKey<FreeDbSettings> kFreeDbStrings[] = {
    {"freeDB-Path", &FreeDbSettings::freeDB_Path, kPathBufferSize},
    {"freeDB-URL", &FreeDbSettings::freeDB_URL, kLongBufferSize},
    {"freeDB-EMail", &FreeDbSettings::freeDB_EMail, kLongBufferSize},
};

struct PackerKey {
    const char* key;
    PackerTemplate PackerSettings::*field;
};

constexpr PackerKey kPackerTemplates[] = {
    {"RPM", &PackerSettings::RPM},         {"Zip", &PackerSettings::Zip},
    {"Zoo", &PackerSettings::Zoo},         {"LHA", &PackerSettings::LHA},
    {"ARJ", &PackerSettings::ARJ},         {"ACE", &PackerSettings::ACE},
    {"RAR", &PackerSettings::RAR},         {"UC2", &PackerSettings::UC2},
    {"Extract", &PackerSettings::Extract}, {"UnTGZ", &PackerSettings::UnTGZ},
    {"UnGZ", &PackerSettings::UnGZ},
};

constexpr StringKey<PackerSettings> kPackerCommands[] = {
    {"OwnCmd", &PackerSettings::OwnCmd, kLongBufferSize},
    {"OwnExt", &PackerSettings::OwnExt, kLongBufferSize},
    {"InfoCmd", &PackerSettings::InfoCmd, kLongBufferSize},
    {"InfoExt", &PackerSettings::InfoExt, kLongBufferSize},
    {"DirCmd", &PackerSettings::DirCmd, kLongBufferSize},
};

// Description-file limits are stored in KB and held in bytes; the KB value
// is kept in a range whose byte count fits an int.
int kb_to_bytes(int kb) {
    if (kb < 0) return 0;
    if (kb > INT_MAX / 1024) kb = INT_MAX / 1024;
    return kb * 1024;
}

std::string selbst_key(size_t i) {
    return "Selbst" + std::to_string(i + 1);
}
std::string selbst_text_key(size_t i) {
    return selbst_key(i) + "-Text";
}

std::string without_trailing_slash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

PackerSettings read_packer(const IniFile& ini) {
    PackerSettings p;
    for (const auto& k : kPackerTemplates) {
        // A stored text is taken only when it is longer than 2 characters;
        // otherwise the default stays.
        const auto v = ini.get(kPacker, k.key);
        if (!v) continue;
        std::string text = cut_utf8(*v, kPackerBufferSize - 1);
        if (text.size() > 2) p.*k.field = PackerTemplate{std::move(text), true};
    }
    settings_detail::read_strings(ini, kPacker, kPackerCommands, p);
    return p;
}

}  // namespace

namespace settings_detail {

FreeDbSettings read_freedb(const IniFile& ini) {
    FreeDbSettings f;
    read_ints(ini, kFreeDb, kFreeDbInts, f);
    read_strings(ini, kFreeDb, kFreeDbStrings, f);
    return f;
}

void write_freedb(IniFile& ini, const FreeDbSettings& f) {
    write_ints(ini, kFreeDb, kFreeDbInts, f);
    write_strings(ini, kFreeDb, kFreeDbStrings, f);
}

}  // namespace settings_detail

void read_options(Environment& ctx) {
    using namespace settings_detail;
    const IniFile ini = IniFile::load_or_empty(ctx.paths.settings_file);
    const char* sec = kSectionOptions;
    Options o;
    read_ints(ini, sec, kSwitchesA, o);
    const int max_kb = ini.get_int(sec, "MaxSize", 1);
    const int html_kb = ini.get_int(sec, "MaxHTML", max_kb);
    o.MaxSize = kb_to_bytes(max_kb);
    o.MaxHTML = kb_to_bytes(html_kb);
    read_ints(ini, sec, kSwitchesB, o);
    for (size_t i = 0; i < o.Selbst.size(); ++i) {
        o.Selbst[i] = ini.get_int(sec, selbst_key(i), 0);
        o.Selbst_Text[i] = ini.get_string(sec, selbst_text_key(i), "", kPathBufferSize);
    }
    read_ints(ini, sec, kSwitchesC, o);
    o.CopyPfad = ini.get_string(sec, "CopyPfad", "", kPathBufferSize);
    const std::string data =
        without_trailing_slash(ini.get_string(sec, "DataPfad", "", kPathBufferSize));
    read_ints(ini, sec, kSwitchesD, o);
    o.Restore &= 1;

    // The stored CatalogDirectory counts only when /dir did not name one. It
    // is kept either way, so a run with /dir does not overwrite it.
    if (!ctx.command_line.dir_given && !data.empty()) ctx.paths.catalog_dir = data;
    if (!data.empty()) {
        o.DataPfad = data;
    } else {
        o.DataPfad = ctx.paths.default_catalog_dir.empty() ? ctx.paths.catalog_dir
                                                           : ctx.paths.default_catalog_dir;
    }

    ctx.settings.options = std::move(o);
    ctx.settings.freeDB = read_freedb(ini);
    ctx.settings.packer = read_packer(ini);
    ctx.log.set_enabled(ctx.settings.options.LogFile == 1);
}

bool write_options(Environment& ctx) {
    using namespace settings_detail;
    const Options& o = ctx.settings.options;
    const FreeDbSettings& f = ctx.settings.freeDB;
    return write_profile_group(ctx, ctx.paths.settings_file, [&](IniFile& ini) {
        const char* sec = kSectionOptions;
        write_ints(ini, sec, kSwitchesA, o);
        ini.set_int(sec, "MaxSize", o.MaxSize / 1024);
        ini.set_int(sec, "MaxHTML", o.MaxHTML / 1024);
        write_ints(ini, sec, kSwitchesB, o);
        for (size_t i = 0; i < o.Selbst.size(); ++i) {
            ini.set_int(sec, selbst_key(i), o.Selbst[i]);
        }
        for (size_t i = 0; i < o.Selbst.size(); ++i) {
            ini.set(sec, selbst_text_key(i), cut_utf8(o.Selbst_Text[i], kPathBufferSize - 1));
        }
        write_ints(ini, sec, kSwitchesC, o);
        ini.set(sec, "CopyPfad", cut_utf8(o.CopyPfad, kPathBufferSize - 1));
        ini.set(sec, "DataPfad", cut_utf8(o.DataPfad, kPathBufferSize - 1));
        write_ints(ini, sec, kSwitchesD, o);
        write_freedb(ini, f);
    });
}

}  // namespace orbisto
