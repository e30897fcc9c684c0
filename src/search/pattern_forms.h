// Shared between preparing and matching: which form speaks to the user, and
// compiling a form's regular expression on first use.
#pragma once

#include "search/search_pattern.h"

namespace orbisto::pattern {

// The Windows-1252 form when the search string has one, else the UTF-8 form.
PatternForm& primary_form(SearchPattern& p);

// Compiles the form's regular expression from its active string unless that
// was done; only the primary form reports compile messages.
void ensure_regular(SearchPattern& p, PatternForm& f);

}  // namespace orbisto::pattern
