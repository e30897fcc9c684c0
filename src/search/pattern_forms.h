// Shared between preparing and matching: compiling a form's regular
// expression on first use.
#pragma once

#include "search/search_pattern.h"

namespace orbisto::pattern {

// Compiles the form's regular expression from its active string unless that
// was done; only the form the user's string is read in (the Windows-1252 one
// when present) reports compile messages.
void ensure_regular(SearchPattern& p, PatternForm& f);
void ensure_regular(SearchPattern& p, WidePatternForm& f);

}  // namespace orbisto::pattern
