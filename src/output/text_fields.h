// Text fields of the rows the headless commands print: one rule for a field
// of a tab-separated line and one for a JSON string, shared by every command
// and output format so that the same name always comes out the same way.
#pragma once

#include <string>
#include <string_view>

namespace orbisto {

// A text as one field of a tab-separated line. Every character that could
// break the line into columns or rows, or act on a terminal, becomes one
// blank: tab, CR, LF and every other control character (U+0000-U+001F,
// DEL, U+0080-U+009F) as well as the line and paragraph separators U+2028
// and U+2029. "\r\n" counts as one line break and gives one blank. All
// other bytes are kept as they are, invalid UTF-8 included, so a name can
// still be matched byte for byte against the files it came from.
std::string tsv_field(std::string_view text);

// A text as a field of a line shown on a terminal: as tsv_field for tab and
// line breaks (one blank), but every other character a terminal acts on or
// that reorders what is shown is spelled out instead of hidden, so that the
// user sees what the name holds: C0 controls and DEL as \x1b, C1 controls as
// \u0085, the bidirectional controls (U+061C, U+200E/F, U+202A-U+202E,
// U+2066-U+2069) and U+2028/U+2029 as \u202e, a byte that is not part of
// valid UTF-8 as \xff. (A backslash stays as it is: the spelling is for the
// eye, not to be read back.)
std::string terminal_field(std::string_view text);

// A text as a JSON string literal with its quotes. Quotes and backslashes
// are escaped, tab, CR and LF as \t, \r and \n, every other control
// character (as above) and U+2028/U+2029 as \u00xx or \u20xx; each byte
// that is not part of valid UTF-8 becomes U+FFFD, so the result is always
// valid UTF-8 and valid JSON.
std::string json_string(std::string_view text);

}  // namespace orbisto
