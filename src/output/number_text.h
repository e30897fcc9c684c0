// The size and count texts of the list views, the information pages and the
// printed lists. With digit grouping on (the FormatNumber setting) a count
// reads "  1.234.567" and a size "  1.234.567,500": groups of three digits
// separated by dots, the highest group padded with blanks to three places,
// and a size's three decimals after a comma. With it off, counts are plain
// and sizes carry two decimals ("1234567.50").
#pragma once

#include <cstdint>
#include <string>

namespace orbisto {

// A count (files, directories, media). Grouped, zero reads " 0" (a blank and
// a zero) and a negative count carries its minus sign on the highest group
// (" -5", " -1.234").
std::string count_text(std::int64_t value, bool group_digits);

// A size in KB as the records store it. Grouped, the value is rounded to
// three decimals: 0.5 reads "0,500" (no padding below 1), 1.5 "  1,500",
// and a negative size (a deleted file has -1) keeps its sign: " -1,000",
// "-0,500". On an audio CD, grouped, the value is a playing time in seconds
// and reads minutes and seconds, "%d:%02d" (125 reads "2:05", a fraction of
// a second is dropped).
// A value that is not a number or infinite (a damaged catalogue) reads "?".
std::string size_text(float size_kb, bool group_digits, bool audio_cd);

}  // namespace orbisto
