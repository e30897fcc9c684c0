#include "fuzz_input.h"
#include "search/search_pattern.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orbisto;
    fuzz::Input in;
    if (!fuzz::split(data, size, in)) return 0;
    SearchPattern p;
    p.mode = SearchMode::Regular;
    p.IgnoreCase = in.ignore_case;
    p.status = [](std::string_view) {};
    PrepareSearchString(p, in.pattern, false);
    MatchText(p, in.text);
    MatchFilter(p, in.text, OutputFilter::Regular);
    return 0;
}
