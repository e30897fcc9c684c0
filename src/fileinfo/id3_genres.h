// The genre names of ID3 tags: a tag of version 1 stores a number, and
// tags of version 2 often write the number as "(n)".
#pragma once

#include <string_view>

namespace orbisto {

// Numbers 0 to 199 have an entry; only 0 to 125 have a name.
inline constexpr int kId3GenreCount = 200;
inline constexpr int kId3NamedGenres = 126;

// The name of genre n; empty for 126 to 199 and for numbers outside the table.
std::string_view id3_genre_name(int n);

}  // namespace orbisto
