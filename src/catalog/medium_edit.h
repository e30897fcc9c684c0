// Changing one medium as a whole: its name and whether, to whom and from
// when to when it is lent. Each change goes to the medium's catalogue file
// at once, then to its MediaList entry and the fast-load index.
#pragma once

#include <cstdint>
#include <string_view>

#include "catalog/records.h"

namespace orbisto {

struct CatalogContext;

enum class MediumEdit {
    Done,         // written to the catalogue file
    Unchanged,    // the medium already is as asked
    Declined,     // the user answered No to the duplicate-name question
    Empty,        // a name or borrower of blanks only
    TooLong,      // a text longer than its field in the file holds
    NotLent,      // a return of a medium that is not lent
    AlreadyLent,  // a lending of a medium that is lent
    Failed,       // no such medium, or its file could not be read or written
                  // (the store has said why)
};

// True when the text (without NULs) is stored whole in a field of N bytes:
// N - 1 characters of Windows-1252, else N - 1 bytes of UTF-8.
template <std::size_t N>
bool fits_text_field(const TextField<N>&, std::string_view text) {
    return text.find('\0') == std::string_view::npos &&
           stored_prefix_length(text, N - 1) == text.size();
}

// Gives catalogue `number` a new name after CheckMediumName. Only the header
// of the file is rewritten; the MediaList entry, the current Catalog's
// header and the fast-load index follow.
MediumEdit RenameMedium(CatalogContext& ctx, std::uint32_t number, std::string_view name);

struct Lending {
    std::string_view to;
    std::string_view from;   // free text, as the medium sheet takes it
    std::string_view until;  // free text
};

// Lends catalogue `number`: the lent flag and the three lending texts, as
// the medium sheet's place page sets them. The catalogue is loaded (after
// the save question for a changed current Catalog) and saved under its
// number.
MediumEdit LendMedium(CatalogContext& ctx, std::uint32_t number, const Lending& lending);

// Takes a medium back: the lent flag cleared and the lending texts emptied,
// as unchecking "lent" on the place page does.
MediumEdit ReturnMedium(CatalogContext& ctx, std::uint32_t number);

}  // namespace orbisto
