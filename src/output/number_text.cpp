// TEMPORARY
#include "output/number_text.h"
#include <cstdio>
namespace orbisto {
std::string count_text(std::int64_t v, bool) { return std::to_string(v); }
std::string size_text(float kb, bool, bool) { char b[64]; std::snprintf(b, sizeof b, "%.2f", double(kb)); return b; }
}
