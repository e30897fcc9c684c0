// Builds prepared search patterns for the pattern-language tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "search/search_pattern.h"

namespace orbisto::testing {

struct Prepared {
    SearchPattern p;
    std::vector<std::string> messages;
    bool error = false;
};

inline void prepare(Prepared& out, std::string_view text, SearchMode mode, bool ignore_case = true,
                    int threshold = 100) {
    out.p.mode = mode;
    out.p.IgnoreCase = ignore_case;
    out.p.FuzzyTreffer = threshold;
    out.p.status = [&out](std::string_view m) { out.messages.emplace_back(m); };
    out.error = PrepareSearchString(out.p, text, false).has_value();
}

}  // namespace orbisto::testing

namespace orbisto {
using testing::prepare, testing::Prepared;
}  // namespace orbisto
