// The text side of the per-directory lists and of imported file lists: the
// comment a list gives one name, and the entries of a FILES.BBS- or
// INDEX-style list. Pure functions over bounded views; the callers read the
// files and put the results into the Catalog.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto {

// The comment a directory list gives `name`. `upper` is the list folded with
// upper_german (same length as `list`). The name up to its first '.' is
// looked for anywhere in the list; after it the rest of its word and the
// blanks are skipped and the line is taken. With `multiline`, lines that
// begin with a blank continue the comment (line breaks kept, leading blanks
// dropped). At most `room` bytes; empty when the list has nothing.
std::string list_comment_text(std::string_view list, std::string_view upper, std::string_view name,
                              bool multiline, std::size_t room);

enum class ContentFormat { FilesBbs = 1, Index = 2 };

struct ContentEntry {
    std::string name;
    std::uint64_t size_bytes = 0;  // FILES.BBS only
    std::string comment;
};

struct ContentList {
    std::string medium_name;  // the first line, at most kContentNameChars characters
    std::vector<ContentEntry> entries;
};

inline constexpr std::size_t kContentNameChars = 55;

// Splits a file list: the first line names the medium; every further line
// not starting with '*' holds a name, with FILES.BBS a size in bytes, and a
// comment that goes on over lines beginning with a blank.
ContentList parse_content_list(std::string_view text, ContentFormat format);

}  // namespace orbisto
