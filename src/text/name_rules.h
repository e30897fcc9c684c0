// Rules on file names shared by the readers, the packers and the walk.
#pragma once

#include <string_view>

namespace orbisto {

// The name ends with an ASCII suffix, case-insensitively (ä, ö, ü folded as
// well).
bool ends_with_ci(std::string_view text, std::string_view suffix);

// True when the file's extension (the text after its last '.') is one of the
// words of an extension list such as "xyz abc" or "*.XYZ;*.ABC"
// (case-insensitive). A name without extension never matches.
bool extension_in_list(std::string_view list, std::string_view name);

}  // namespace orbisto
