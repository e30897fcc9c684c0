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

using settings_detail::int_key;
using settings_detail::IntKey;
using settings_detail::OnWhen;
using settings_detail::StringKey;

namespace {

constexpr const char* kFreeDb = "freeDB";
constexpr const char* kPacker = "Packer";

// The rows are in the order of the settings file; AutoKat is written first.
constexpr IntKey<Options> kSwitchesA[] = {
    int_key<&Options::auto_category, OnWhen::One>("AutoKat"),
    int_key<&Options::warn_read_only, OnWhen::One>("ShowProtect"),
    int_key<&Options::avi_length_direct>("AviLengthDirect"),
    int_key<&Options::no_mci>("NoMCI"),
    int_key<&Options::show_info_after_scan>("show info"),
    int_key<&Options::test_packers>("PackerTesten"),
    int_key<&Options::own_list_drawing>("schoen"),
    int_key<&Options::include_subcategories, OnWhen::One>("SubKat"),
    int_key<&Options::group_digits>("FormatNumber"),
    int_key<&Options::time_out>("TimeOut"),
    int_key<&Options::keep_expanded_files>("NichtLöschen"),
    int_key<&Options::tool_tips>("ToolTips"),
    int_key<&Options::eject_after_scan, OnWhen::One>("Eject"),
    int_key<&Options::language>("language"),
    int_key<&Options::description_layout>("beschreibung"),
    int_key<&Options::shell_app_path>("Pfad"),
    int_key<&Options::shell_folder_verb>("Ordner"),
    int_key<&Options::shell_drive_verbs>("Laufwerk"),
    int_key<&Options::shell_search_verb>("Suchen"),
    int_key<&Options::open_on_double_click>("DoppelKlick"),
    int_key<&Options::comments_from_registry>("Registry"),
    int_key<&Options::only_listed_files, OnWhen::One>("NurFILES.BBS"),
    int_key<&Options::ignore_file_lists>("OhneFILES.BBS"),
};

// MaxSize and MaxHTML come between these tables (stored in KB).
constexpr IntKey<Options> kSwitchesB[] = {
    int_key<&Options::use_file_id_diz>("FILE_ID.DIZ"),
    int_key<&Options::use_etx>("ETX"),
    int_key<&Options::use_lsm>("LSM"),
    int_key<&Options::use_index>("INDEX"),
};

// Selbst1..5 and their texts come before these.
constexpr IntKey<Options> kSwitchesC[] = {
    int_key<&Options::convert_dos_text>("Umlaut"),
    int_key<&Options::archive_expansion>("CDentpacken"),
    int_key<&Options::use_exe>("EXE"),
    int_key<&Options::use_rpm>("RPM"),
    int_key<&Options::use_zip>("ZIP"),
    int_key<&Options::use_zoo>("ZOO"),
    int_key<&Options::use_lha>("LHA"),
    int_key<&Options::use_arj>("ARJ"),
    int_key<&Options::use_ace>("ACE"),
    int_key<&Options::use_rar>("RAR"),
    int_key<&Options::use_uc2>("UC2"),
    int_key<&Options::use_compress>("COMPRESS"),
    int_key<&Options::use_i5comp>("i5Comp"),
    int_key<&Options::use_iscab>("iscab"),
    int_key<&Options::use_extract>("EXTRACT"),
    int_key<&Options::use_untgz>("UNTGZ"),
    int_key<&Options::use_gz>("GZ"),
    int_key<&Options::use_expander>("EXPANDER"),
    int_key<&Options::multi_line_comments>("mehrzeilig"),
    int_key<&Options::update_by_name>("Update"),
    int_key<&Options::store_compressed, OnWhen::One>("gepacktSpeichern"),
    int_key<&Options::file_information>("Dateiinformationen"),
    int_key<&Options::image_information>("Bildinformationen"),
    int_key<&Options::thumbnails>("Thumbnails"),
    int_key<&Options::thumbnail_switch>("ThumbUnd"),
    int_key<&Options::fast_thumbnails>("ThumbSchnell"),
    int_key<&Options::thumbnail_quality>("ThumbQualitaet"),
    int_key<&Options::thumbnail_width>("ThumbBreite"),
    int_key<&Options::thumbnail_height>("ThumbHoehe"),
    int_key<&Options::min_image_width>("MinBreite"),
    int_key<&Options::min_image_height>("MinHoehe"),
    int_key<&Options::max_picture_bytes>("MaxMem"),
    int_key<&Options::font_information>("Fontinformationen"),
    int_key<&Options::module_information>("Modinformationen"),
    int_key<&Options::sound_information>("Soundinformationen"),
    int_key<&Options::multimedia_information>("Multimediainformationen"),
    int_key<&Options::version_information>("Versionsinformationen"),
    int_key<&Options::fast_load, OnWhen::One>("FastLoad"),
    int_key<&Options::reload_last>("Reload"),
};

// CopyPfad and DataPfad come before these.
constexpr IntKey<Options> kSwitchesD[] = {
    int_key<&Options::old_scan_option>("AlteOption"),
    int_key<&Options::minimize_during_long_operations>("Minimize"),
    int_key<&Options::restore_after_long_operations>("Restore"),
    int_key<&Options::idle_priority>("Idle"),
    int_key<&Options::identify_inserted_media, OnWhen::One>("AutoCD"),
    int_key<&Options::offer_floppy_drives>("Disk"),
    int_key<&Options::auto_scan, OnWhen::One>("AutoScan"),
    int_key<&Options::cd_drives_only, OnWhen::One>("CDonly"),
    int_key<&Options::compute_crc32>("CRC32"),
    int_key<&Options::log_file, OnWhen::One>("LogFile"),
    int_key<&Options::real_time>("Echtzeit"),
};

constexpr IntKey<FreeDbSettings> kFreeDbInts[] = {
    int_key<&FreeDbSettings::cddb_unix_format>("CDDB-Unix"),
    int_key<&FreeDbSettings::use_freedb>("freeDB"),
    int_key<&FreeDbSettings::read_cd_text, OnWhen::One>("CD-Text"),
    int_key<&FreeDbSettings::use_local_db>("LocalfreeDB"),
    int_key<&FreeDbSettings::use_remote_db>("RemotefreeDB"),
};

constexpr StringKey<FreeDbSettings> kFreeDbStrings[] = {
    {"freeDB-Path", &FreeDbSettings::local_db_path, kPathBufferSize},
    {"freeDB-URL", &FreeDbSettings::server_url, kLongBufferSize},
    {"freeDB-EMail", &FreeDbSettings::email, kLongBufferSize},
};

struct PackerKey {
    const char* key;
    PackerTemplate PackerSettings::*field;
};

constexpr PackerKey kPackerTemplates[] = {
    {"RPM", &PackerSettings::rpm},         {"Zip", &PackerSettings::zip},
    {"Zoo", &PackerSettings::zoo},         {"LHA", &PackerSettings::lha},
    {"ARJ", &PackerSettings::arj},         {"ACE", &PackerSettings::ace},
    {"RAR", &PackerSettings::rar},         {"UC2", &PackerSettings::uc2},
    {"Extract", &PackerSettings::extract}, {"UnTGZ", &PackerSettings::untgz},
    {"UnGZ", &PackerSettings::ungz},
};

constexpr StringKey<PackerSettings> kPackerCommands[] = {
    {"OwnCmd", &PackerSettings::own_command, kLongBufferSize},
    {"OwnExt", &PackerSettings::own_extensions, kLongBufferSize},
    {"InfoCmd", &PackerSettings::info_command, kLongBufferSize},
    {"InfoExt", &PackerSettings::info_extensions, kLongBufferSize},
    {"DirCmd", &PackerSettings::dir_command, kLongBufferSize},
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
    o.max_description_bytes = kb_to_bytes(max_kb);
    o.max_html_bytes = kb_to_bytes(html_kb);
    read_ints(ini, sec, kSwitchesB, o);
    for (size_t i = 0; i < o.own_descriptions.size(); ++i) {
        o.own_descriptions[i] = ini.get_int(sec, selbst_key(i), 0) != 0;
        o.own_description_names[i] = ini.get_string(sec, selbst_text_key(i), "", kPathBufferSize);
    }
    read_ints(ini, sec, kSwitchesC, o);
    o.copy_path = ini.get_string(sec, "CopyPfad", "", kPathBufferSize);
    const std::string data =
        without_trailing_slash(ini.get_string(sec, "DataPfad", "", kPathBufferSize));
    read_ints(ini, sec, kSwitchesD, o);
    // Restore keeps only bit 0 of its number.
    o.restore_after_long_operations = (ini.get_int(sec, "Restore", 1) & 1) != 0;

    // The stored CatalogDirectory counts only when /dir did not name one. It
    // is kept either way, so a run with /dir does not overwrite it.
    if (!ctx.command_line.dir_given && !data.empty()) ctx.paths.catalog_dir = data;
    if (!data.empty()) {
        o.catalog_dir = data;
    } else {
        o.catalog_dir = ctx.paths.default_catalog_dir.empty() ? ctx.paths.catalog_dir
                                                              : ctx.paths.default_catalog_dir;
    }

    ctx.settings.options = std::move(o);
    ctx.settings.freedb = read_freedb(ini);
    ctx.settings.packer = read_packer(ini);
    ctx.log.set_enabled(ctx.settings.options.log_file);
}

bool write_options(Environment& ctx) {
    using namespace settings_detail;
    const Options& o = ctx.settings.options;
    const FreeDbSettings& f = ctx.settings.freedb;
    return write_profile_group(ctx, ctx.paths.settings_file, [&](IniFile& ini) {
        const char* sec = kSectionOptions;
        write_ints(ini, sec, kSwitchesA, o);
        ini.set_int(sec, "MaxSize", o.max_description_bytes / 1024);
        ini.set_int(sec, "MaxHTML", o.max_html_bytes / 1024);
        write_ints(ini, sec, kSwitchesB, o);
        for (size_t i = 0; i < o.own_descriptions.size(); ++i) {
            ini.set_int(sec, selbst_key(i), o.own_descriptions[i] ? 1 : 0);
        }
        for (size_t i = 0; i < o.own_descriptions.size(); ++i) {
            ini.set(sec, selbst_text_key(i),
                    cut_utf8(o.own_description_names[i], kPathBufferSize - 1));
        }
        write_ints(ini, sec, kSwitchesC, o);
        ini.set(sec, "CopyPfad", cut_utf8(o.copy_path, kPathBufferSize - 1));
        ini.set(sec, "DataPfad", cut_utf8(o.catalog_dir, kPathBufferSize - 1));
        write_ints(ini, sec, kSwitchesD, o);
        write_freedb(ini, f);
    });
}

}  // namespace orbisto
