// Every setting of the settings file, with its default.
//
// Naming: members are English snake_case words for what the setting does,
// whatever its key in the file is; the keys themselves appear only in the
// key tables of the settings readers and writers (settings_keys.h and the
// settings_*.cpp files next to it), with doc/settings-names.md mapping one
// to the other. On/off switches are bool, every mode or radio choice is an
// enum class, everything else keeps the int or string of the file. Numbered
// key families become arrays.
//
// The stored numbers of switches and choices are converted only where the
// file is read and written: a switch is on for any non-zero number unless
// its key row says it is on for 1 only, and a number that names no choice
// leaves the choice at its default.
// Reading and writing live in settings_io.h.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace orbisto {

// Buffer sizes of the string settings, in bytes including the terminating
// NUL of the original buffers: a value keeps at most size - 1 bytes.
inline constexpr size_t kPathBufferSize = 260;     // paths, own description names, output file
inline constexpr size_t kPackerBufferSize = 256;   // packer command templates
inline constexpr size_t kLongBufferSize = 1024;    // freeDB URL and e-mail, own commands
inline constexpr size_t kHistoryBufferSize = 128;  // search and filter histories
inline constexpr size_t kFaceNameBufferSize = 32;  // font face name
inline constexpr size_t kHistoryEntries = 10;
inline constexpr size_t kMaxKillFiles = 200;
inline constexpr size_t kMaxKillFileName = 259;  // characters
inline constexpr size_t kMaxSettingsFiles = 10;

// What a scan does with archives it meets.
enum class ExpansionMode {
    Nothing,          // archives are catalogued as files (the default)
    DescriptionOnly,  // only FILE_ID.DIZ / TOP_ID.DIZ are taken out of them
    All,              // their contents are catalogued as directories
};

// The language of the interface.
enum class Language { German, English };

// How a search matches: the pattern languages and the searches that take
// no pattern.
enum class SearchMode {
    Normal,
    Approximate,  // error-tolerant
    Similarity,
    Thumbnails,
    Regular,
    Favourites,
    Duplicates,
};

// Where an output goes.
enum class OutputTarget { File, Printer };

// Which media an output covers.
enum class OutputScope { AllMedia, LentMedia, Category, CurrentMedium, SearchResult, FromPath };

// The form of an output.
enum class OutputFormat { Files, Tree, Csv, Dbase, MediaList };

// The pattern language of the output filter, or the files it passes.
enum class OutputFilter { Normal, Regular, Thumbnails, Favourites };

// The freeDB server asked when nothing else is configured (the successor of
// the public freeDB service, which answers the same CDDB protocol).
inline constexpr const char* kDefaultFreeDbUrl = "http://gnudb.gnudb.org/~cddb/cddb.cgi";

// The option group.
struct Options {
    bool auto_category = true;
    bool warn_read_only = true;
    bool avi_length_direct = false;
    bool no_mci = false;
    bool show_info_after_scan = false;
    bool test_packers = true;
    bool own_list_drawing = false;
    bool include_subcategories = false;
    bool group_digits = true;
    int time_out = 600;
    bool keep_expanded_files = false;
    bool tool_tips = false;
    bool eject_after_scan = false;
    Language language = Language::German;
    bool description_layout = false;
    bool shell_app_path = false;
    bool shell_folder_verb = false;
    bool shell_drive_verbs = false;
    bool shell_search_verb = false;
    bool open_on_double_click = false;
    bool comments_from_registry = false;
    bool only_listed_files = false;
    bool ignore_file_lists = false;
    int max_description_bytes = 1024;  // stored in KB
    int max_html_bytes = 1024;         // stored in KB, defaults to max_description_bytes
    bool use_file_id_diz = false;
    bool use_etx = false;
    bool use_lsm = false;
    bool use_index = false;
    std::array<bool, 5> own_descriptions{};              // user-defined description files
    std::array<std::string, 5> own_description_names{};  // their name parts
    bool convert_dos_text = false;
    ExpansionMode archive_expansion = ExpansionMode::Nothing;
    bool use_exe = true;
    bool use_rpm = true;
    bool use_zip = true;
    bool use_zoo = true;
    bool use_lha = true;
    bool use_arj = true;
    bool use_ace = true;
    bool use_rar = true;
    bool use_uc2 = true;
    bool use_compress = true;
    bool use_i5comp = true;
    bool use_iscab = true;
    bool use_extract = true;
    bool use_untgz = true;
    bool use_gz = true;
    bool use_expander = true;
    bool multi_line_comments = true;
    bool update_by_name = false;
    bool store_compressed = false;
    bool file_information = false;
    bool image_information = true;
    bool thumbnails = true;
    bool thumbnail_switch = true;
    bool fast_thumbnails = true;
    int thumbnail_quality = 75;
    int thumbnail_width = 256;
    int thumbnail_height = 256;
    int min_image_width = 256;
    int min_image_height = 256;
    int max_picture_bytes = 0;  // MaxMem: largest decode buffer in bytes, 0 = no limit
    bool font_information = true;
    bool module_information = true;
    bool sound_information = true;
    bool multimedia_information = true;
    bool version_information = true;
    bool fast_load = false;
    bool reload_last = true;
    std::string copy_path;
    // The CatalogDirectory as stored; after reading it holds the stored path,
    // or the CatalogDirectory in use when none was stored.
    std::string catalog_dir;
    bool old_scan_option = false;
    bool minimize_during_long_operations = false;
    bool restore_after_long_operations = true;
    bool idle_priority = false;
    bool identify_inserted_media = false;
    bool offer_floppy_drives = false;
    bool auto_scan = false;
    bool cd_drives_only = false;
    bool compute_crc32 = false;
    bool log_file = false;
    bool real_time = true;

    bool operator==(const Options&) const = default;
};

// The CD database settings.
struct FreeDbSettings {
    bool cddb_unix_format = false;
    bool use_freedb = false;
    bool read_cd_text = false;
    std::string local_db_path;  // the local database directory
    bool use_local_db = false;
    bool use_remote_db = false;
    std::string server_url = kDefaultFreeDbUrl;
    std::string email = "anonymous";

    bool operator==(const FreeDbSettings&) const = default;
};

// A packer command template; "%s" stands for the archive path.
struct PackerTemplate {
    std::string command;
    // The settings file held a template longer than 2 characters for this
    // key, which also marks the packer as available.
    bool stored = false;

    bool operator==(const PackerTemplate&) const = default;
};

// The packer command templates.
struct PackerSettings {
    PackerTemplate rpm{"7z x -y -pzvmk \"%s\""};
    PackerTemplate zip{"unzip -qq -o -P zvmk %s"};
    PackerTemplate zoo{"zoo xOq %s"};
    PackerTemplate lha{"lha xfq %s"};
    PackerTemplate arj{"arj x -y -+ -gzvmk %s"};
    PackerTemplate ace{"unace x -y -pzvmk %s"};
    PackerTemplate rar{"unrar x -y -p- %s"};
    PackerTemplate uc2{"uc ESF %s"};
    PackerTemplate extract{"cabextract -q -d %s %s"};
    PackerTemplate untgz{"tar -xf %s"};
    PackerTemplate ungz{"7z x -y -pzvmk %s"};
    std::string own_command;
    std::string own_extensions;
    std::string info_command;
    std::string info_extensions;
    std::string dir_command;

    bool operator==(const PackerSettings&) const = default;
};

// The start and display state.
struct StartState {
    bool show_preview = false;
    bool never_ask_drive = false;  // the drive dialog takes last_drive without asking
    int last_drive = 0;
    int last_catalog = 0;
    int last_category = 0;
    bool show_media_list = false;
    int split_percent = 20;
    int split3_percent = 20;
    int tree_full_percent = 100;
    int tree_preview_percent = 80;
    int sorting = 0;
    // Written when the main window closes, not read at start.
    bool show_crc = false;
    int list_view_style = 0;

    bool operator==(const StartState&) const = default;
};

// Column widths of one list view in pixels: the normal layout and the
// layout with more room for the description.
template <size_t N>
struct ColumnWidths {
    std::array<int, N> normal;
    std::array<int, N> description_layout;

    bool operator==(const ColumnWidths&) const = default;
};

struct ColumnSettings {
    ColumnWidths<5> files{{110, 50, 70, 100, 600}, {110, 50, 0, 0, 2000}};
    ColumnWidths<8> results{{110, 50, 70, 100, 120, 120, 600, 200},
                            {110, 50, 0, 0, 0, 0, 400, 400}};
    ColumnWidths<2> start{{110, 50}, {110, 50}};
    ColumnWidths<8> media_list{{200, 100, 100, 100, 100, 100, 100, 100},
                               {200, 100, 100, 100, 100, 100, 100, 100}};

    bool operator==(const ColumnSettings&) const = default;
};

// The list font. With height -1 the lists keep the system font and the
// other values are not read.
struct FontSettings {
    int height = -1;
    int width = -1;
    int escapement = -1;
    int orientation = -1;
    int weight = -1;
    int italic = -1;
    int underline = -1;
    int strike_out = -1;
    int char_set = -1;
    int out_precision = -1;
    int clip_precision = -1;
    int quality = -1;
    int pitch_and_family = -1;
    std::string face_name;

    bool operator==(const FontSettings&) const = default;
};

// The output settings.
struct OutputSettings {
    OutputScope scope = OutputScope::FromPath;
    OutputFormat format = OutputFormat::Files;
    OutputTarget target = OutputTarget::File;
    bool append = false;
    bool form_feed = false;
    bool header = false;
    bool root_only = false;
    bool dirs_only = false;
    bool media_list_csv = false;
    bool one_line = false;
    int left_margin = 0;
    std::string file_name = "FILES.LST";
    // The columns written.
    bool show_place = false;
    bool show_medium_name = true;
    bool show_name = true;
    bool show_extension = true;
    bool show_size = true;
    bool show_date = true;
    bool show_path = true;
    bool show_comment = true;
    bool show_manufacturer = true;
    bool show_supplier = true;
    bool show_order_number = true;
    bool show_price = true;
    bool show_medium_info = true;
    bool show_last_change = true;
    bool show_category = true;
    bool show_free_space = false;
    bool include_subcategories = true;
    bool use_filter = false;
    OutputFilter filter = OutputFilter::Normal;
    bool only_with_comment = false;
    bool ignore_case = false;
    int max_level = 255;
    // Text and CSV files in Windows-1252 for old readers instead of UTF-8
    // (characters it lacks become '?'). dBase files are always Windows-1252.
    bool windows1252_text = false;
    // The printer target prints into this PDF file; empty: the default
    // printer.
    std::string print_file;
    std::array<std::string, kHistoryEntries> history{};

    bool operator==(const OutputSettings&) const = default;
};

// The search settings. The date fields default to the date of the day the
// settings are read.
struct SearchSettings {
    int scope = 7;  // bits: 1 comments, 2 directory names, 4 file names, 8 medium information
    int from_year = 0;
    int from_month = 0;
    int from_day = 0;
    int to_year = 0;
    int to_month = 0;
    int to_day = 0;
    bool automatic = false;
    bool info = true;
    bool ignore_case = true;
    SearchMode mode = SearchMode::Normal;
    int fuzzy_tolerance = 100;
    int similarity_threshold = 100;
    int max_errors = 0;
    int flags = 0x401F;
    int category = 0;  // 16-bit
    bool include_subcategories = true;
    std::array<std::string, kHistoryEntries> history{};

    bool operator==(const SearchSettings&) const = default;
};

// A window placement as stored, relative to the monitor's top-left corner.
struct WindowPlacement {
    int flags = 2;
    int show_cmd = 5;
    int min_x = 0;
    int min_y = 0;
    int max_x = 0;
    int max_y = 0;
    int left = 100;
    int top = 100;
    int right = 500;
    int bottom = 400;

    bool operator==(const WindowPlacement&) const = default;
};

struct Settings {
    Options options;
    FreeDbSettings freedb;
    PackerSettings packer;
    StartState state;
    ColumnSettings columns;
    FontSettings font;
    OutputSettings output;
    SearchSettings search;
    WindowPlacement placement;  // the main window
    // File names that switch archive expansion off for their directory.
    std::vector<std::string> kill_files;
    // Other settings files in the program directory, full paths, sorted.
    std::vector<std::string> settings_files;

    bool operator==(const Settings&) const = default;
};

}  // namespace orbisto
