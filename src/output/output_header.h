// What the text writers know of a medium and a file (plain data, filled by
// whoever walks the catalogues), the header blocks above the lists and the
// date texts of the lists and tables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace orbisto {

// A moment in local time; `valid` is false for an unknown time.
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    bool valid = false;
};
LocalTime local_time_of(std::int64_t unix_seconds);

// "%02d.%02d.%d  %02d:%02d" (day first) of the file list, empty when unknown.
std::string list_date_text(const LocalTime& t);
// "%d.%02d.%02d  %02d:%02d" (year first) of the CSV and dBase tables.
std::string table_date_text(const LocalTime& t);

struct MediumFacts {
    std::string name;
    std::string number;
    std::string place;
    std::string category;  // the category's name, empty for none
    std::string manufacturer;
    std::string supplier;
    std::string order_number;
    std::string price;
    std::string description;
    std::string lent_to;
    std::string lent_from;
    std::string lent_until;
    float free_kb = 0;
    bool audio_cd = false;  // sizes are playing times
    LocalTime last_change;  // of the catalogue file
};

// What every writer shares: the settings, the language, the digit grouping
// of sizes, the program's name and version ("Orbisto 3.6") and the creation
// time in ctime's form (with its line break).
struct OutputStyle {
    const OutputSettings& settings;
    bool english = false;
    bool group_digits = true;
    std::string program;
    std::string created;
    // The printed forms (a few header lines differ from the file's).
    bool printed = false;

    const char* tr(const char* de, const char* en) const { return english ? en : de; }
};

// The creation time in ctime's form, "Mon Dec  7 11:36:53 2026\n".
std::string created_text();

// "/" followed by 70 '*' and "/" and a line break.
std::string banner_line();

// The header block of a list. `full` adds the manufacturer, supplier, order
// number, price and description lines of the medium (the header at the top
// of a list); without it, the block is the one above each directory.
// `path` is the directory's path ("/" for the root).
std::string header_block(const OutputStyle& style, const MediumFacts& medium, std::string_view path,
                         bool full);

}  // namespace orbisto
